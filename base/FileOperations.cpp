#include "base/FileOperations.h"

#include "base/KnownFolders.h"
#include "base/LogFile.h"

#include <shellapi.h>
#include <windows.h>

namespace quor {

namespace {

constexpr size_t kShellPathLimit = 258;

bool isAbsoluteBelowRoot(const std::wstring& path) {
    // "x:\something" or "\\server\share\something".
    bool drive = path.size() > 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    bool network = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || network;
}

bool pathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void emptyTree(const std::wstring& directory) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const wchar_t* name = data.cFileName;
        if (!wcscmp(name, L".") || !wcscmp(name, L".."))
            continue;
        std::wstring full = directory + L"\\" + name;
        bool isDirectory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        bool isLink = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (isDirectory) {
            if (!isLink)
                emptyTree(full);
            RemoveDirectoryW(full.c_str());
        } else {
            DeleteFileW(full.c_str());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

} // namespace

void emptyDirectory(const std::wstring& directory) {
    std::wstring dir = directory;
    while (dir.size() > 3 && (dir.back() == L'\\' || dir.back() == L'/'))
        dir.pop_back();
    if (!isAbsoluteBelowRoot(dir)) {
        logMessage(L"emptyDirectory, refused to empty '%s'.", directory.c_str());
        return;
    }
    // A linked directory is never entered, at the top no more than below it.
    DWORD attributes = GetFileAttributesW(dir.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        logMessage(L"emptyDirectory, '%s' is a link; what it points to is not touched.", directory.c_str());
        return;
    }
    emptyTree(dir);
}

unsigned long moveFile(const std::wstring& from, const std::wstring& to) {
    if (from.empty() || to.empty() || from.size() > kShellPathLimit || to.size() > kShellPathLimit) {
        logMessage(L"moveFile, refused to move '%s' to '%s'.", from.c_str(), to.c_str());
        return ERROR_FILENAME_EXCED_RANGE;
    }
    // The shell takes lists ended by an empty entry.
    std::wstring source = from + L'\0';
    std::wstring target = to + L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_MOVE;
    operation.pFrom = source.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
    // Some shells report success for a source that does not exist, so the
    // result is believed only when the file really moved.
    if (SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted && !pathExists(from) &&
        pathExists(to))
        return 0;
    size_t slash = to.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 2)
        createDirectoryTree(to.substr(0, slash));
    if (MoveFileW(from.c_str(), to.c_str()))
        return 0;
    DWORD error = GetLastError();
    return error ? error : 1;
}

} // namespace quor
