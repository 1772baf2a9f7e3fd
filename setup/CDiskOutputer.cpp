#include "setup/CDiskOutputer.h"

#include "base/FileOperations.h"
#include "base/Handles.h"
#include "base/KnownFolders.h"
#include "base/LogFile.h"
#include "base/ProductPaths.h"
#include "setup/EntryPath.h"
#include "setup/QuorSetupListener.h"

#include <shlobj.h>
#include <windows.h>

namespace {

const wchar_t* const kRootNames[] = {L"InstallDir", L"AppData", L"TEMP", L"BZQ"};

bool sameText(const std::wstring& a, const wchar_t* b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}

bool isRootName(const std::wstring& name) {
    for (const wchar_t* root : kRootNames)
        if (sameText(name, root))
            return true;
    return false;
}

using quor::FileHandle;

HANDLE createTarget(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A file in use that may still be renamed (a running program, a loaded library)
// makes room for the new one under its name + ".old".
void moveAside(const std::wstring& path) {
    std::wstring old = path + L".old";
    if (GetFileAttributesW(old.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(old.c_str());
    quor::moveFile(path, old);
}

bool writeAll(HANDLE file, const unsigned char* data, size_t size) {
    size_t total = 0;
    while (total < size) {
        DWORD chunk = static_cast<DWORD>(
            size - total < CDiskOutputer::kWriteChunk ? size - total : CDiskOutputer::kWriteChunk);
        DWORD written = 0;
        if (!WriteFile(file, data + total, chunk, &written, nullptr))
            return false;
        if (written == 0)
            break;
        total += written;
    }
    return total == size;
}

} // namespace

CDiskOutputer::CDiskOutputer(const std::wstring& rootDirectory, QuorSetupListener* listener,
                             IDecompressCancel* cancel)
    : m_rootDirectory(rootDirectory), m_listener(listener), m_cancel(cancel) {
    for (wchar_t& c : m_rootDirectory)
        if (c == L'/')
            c = L'\\';
    if (!m_rootDirectory.empty() && m_rootDirectory.back() != L'\\')
        m_rootDirectory += L'\\';
}

bool CDiskOutputer::accept(const wchar_t*) {
    return true;
}

bool CDiskOutputer::shouldContinue() {
    return true;
}

void CDiskOutputer::progress(int index, int count) {
    if (m_listener)
        m_listener->onDecompressProgress(index, count);
}

std::wstring CDiskOutputer::_rootTarget(const std::wstring& root) const {
    if (sameText(root, L"AppData"))
        return quor::setupDataDir(m_rootDirectory);
    if (sameText(root, L"TEMP")) {
        wchar_t temp[261] = {};
        DWORD length = GetEnvironmentVariableW(L"TEMP", temp, 261);
        if (length == 0 || length > 260)
            return std::wstring();
        return std::wstring(temp) + L"\\";
    }
    if (sameText(root, L"BZQ")) {
        std::wstring appData = quor::roamingAppDataFolder();
        return appData.empty() ? std::wstring() : appData + L"\\belvane\\quor\\business\\quorpip\\";
    }
    return m_rootDirectory;
}

std::wstring CDiskOutputer::mapEntry(const std::wstring& name, bool* isRootEntry) const {
    *isRootEntry = isRootName(name);
    if (*isRootEntry)
        return std::wstring();
    size_t separator = name.find(L'\\');
    std::wstring root = separator == std::wstring::npos ? std::wstring() : name.substr(0, separator);
    std::wstring rest = separator == std::wstring::npos ? name : name.substr(separator + 1);
    // A rooted name ("\x") has an empty root and would otherwise land in the install directory.
    if ((separator != std::wstring::npos && root.empty()) || !isContainedEntryPath(rest) || rest.empty()) {
        quor::logMessage(L"CDiskOutputer::output, refuse entry %s: it leaves its target directory.",
                         name.c_str());
        return std::wstring();
    }
    std::wstring directory = separator == std::wstring::npos ? m_rootDirectory : _rootTarget(root);
    if (directory.empty() || m_rootDirectory.empty()) {
        quor::logMessage(L"CDiskOutputer::output, refuse entry %s: its target directory is unknown.",
                         name.c_str());
        return std::wstring();
    }
    return directory + rest;
}

bool CDiskOutputer::output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) {
    quor::logMessage(L"CDiskOutputer::output, file is %s", name);
    std::wstring entry = name;
    for (wchar_t& c : entry)
        if (c == L'/')
            c = L'\\';
    bool isRootEntry = false;
    std::wstring path = mapEntry(entry, &isRootEntry);
    if (isRootEntry)
        return true;
    if (path.empty())
        return false;
    if (entry.find(L'\\') != std::wstring::npos) {
        std::wstring cut = path.substr(0, 259);
        size_t last = cut.find_last_of(L'\\');
        std::wstring parent = last == std::wstring::npos ? std::wstring() : cut.substr(0, last);
        if (!parent.empty() && GetFileAttributesW(parent.c_str()) == INVALID_FILE_ATTRIBUTES) {
            int rc = SHCreateDirectoryExW(nullptr, parent.c_str(), nullptr);
            if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS)
                quor::logMessage(L"SHCreateDirectory fail, path is %s, last error is %d", parent.c_str(), rc);
        }
    }
    return _tryToDecompressItem(isDirectory, data, size, path);
}

bool CDiskOutputer::_tryToDecompressItem(bool isDirectory, const unsigned char* data, size_t size,
                                         const std::wstring& path) {
    if (isDirectory) {
        quor::createDirectoryTree(path);
        return true;
    }
    FileHandle file;
    int attempts = 0;
    for (; attempts < kMaxTries; ++attempts) {
        file.reset(createTarget(path));
        if (file.valid())
            break;
        moveAside(path);
    }
    int tryCount = kMaxTries;
    bool written = false;
    if (file.valid()) {
        for (int repetition = 0; repetition < kMaxTries; ++repetition) {
            if (repetition > 0) {
                // Start afresh: the partly written file goes aside with our handle closed.
                file.reset();
                moveAside(path);
                file.reset(createTarget(path));
                if (!file.valid())
                    continue;
            }
            if (writeAll(file.get(), data, size)) {
                tryCount = repetition;
                written = true;
                break;
            }
        }
        file.reset();
    }
    quor::logMessage(L"CDiskOutputer::_tryToDecompressItem, strFilePath=%s, nTryCount=%d, bResult=%d",
                     path.c_str(), tryCount, written ? 1 : 0);
    return written;
}
