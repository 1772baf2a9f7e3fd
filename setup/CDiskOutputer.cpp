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

// The system's temp folder as the system itself resolves it (TMP, TEMP, the
// user's profile, the Windows folder); empty when it does not fit a path.
std::wstring systemTempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    std::wstring folder(buffer, length);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring withTrailingBackslash(std::wstring directory) {
    for (wchar_t& c : directory)
        if (c == L'/')
            c = L'\\';
    if (!directory.empty() && directory.back() != L'\\')
        directory += L'\\';
    return directory;
}

} // namespace

TargetRoots TargetRoots::forInstallDirectory(const std::wstring& installDirectory) {
    TargetRoots roots;
    roots.install = withTrailingBackslash(installDirectory);
    if (!roots.install.empty())
        roots.appData = quor::setupDataDir(roots.install);
    roots.temp = systemTempFolder();
    std::wstring appData = quor::roamingAppDataFolder();
    if (!appData.empty())
        roots.bzq = appData + L"\\belvane\\quor\\business\\quorpip\\";
    return roots;
}

CDiskOutputer::CDiskOutputer(const std::wstring& rootDirectory, QuorSetupListener* listener,
                             IDecompressCancel* cancel)
    : CDiskOutputer(TargetRoots::forInstallDirectory(rootDirectory), listener, cancel) {}

CDiskOutputer::CDiskOutputer(const TargetRoots& roots, QuorSetupListener* listener, IDecompressCancel* cancel)
    : m_roots(roots), m_listener(listener), m_cancel(cancel) {
    m_roots.install = withTrailingBackslash(m_roots.install);
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
        return m_roots.appData;
    if (sameText(root, L"TEMP"))
        return m_roots.temp;
    if (sameText(root, L"BZQ"))
        return m_roots.bzq;
    return m_roots.install;
}

bool CDiskOutputer::_map(const std::wstring& name, EntryTarget* target) const {
    target->isRootEntry = isRootName(name);
    if (target->isRootEntry)
        return true;
    size_t separator = name.find(L'\\');
    std::wstring root = separator == std::wstring::npos ? std::wstring() : name.substr(0, separator);
    std::wstring rest = separator == std::wstring::npos ? name : name.substr(separator + 1);
    // A rooted name ("\x") has an empty root and would otherwise land in the install directory.
    if ((separator != std::wstring::npos && root.empty()) || !isContainedEntryPath(rest) || rest.empty()) {
        quor::logMessage(L"CDiskOutputer::output, refuse entry %s: it leaves its target directory.",
                         name.c_str());
        return false;
    }
    target->directory = separator == std::wstring::npos ? m_roots.install : _rootTarget(root);
    if (target->directory.empty() || m_roots.install.empty()) {
        quor::logMessage(L"CDiskOutputer::output, refuse entry %s: its target directory is unknown.",
                         name.c_str());
        return false;
    }
    target->path = target->directory + rest;
    return true;
}

std::wstring CDiskOutputer::mapEntry(const std::wstring& name, bool* isRootEntry) const {
    EntryTarget target;
    bool mapped = _map(name, &target);
    *isRootEntry = target.isRootEntry;
    return mapped ? target.path : std::wstring();
}

bool CDiskOutputer::_unlinkedFolder(const std::wstring& folder) {
    if (m_realFolders.count(folder))
        return true;
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    const bool isDirectory = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (isDirectory)
            m_realFolders.insert(folder);
        return true;
    }
    // Removing a junction or symbolic link removes the link itself, never
    // what it points to; writing through it would put the product's files
    // among someone else's.
    BOOL removed = isDirectory ? RemoveDirectoryW(folder.c_str()) : DeleteFileW(folder.c_str());
    if (!removed || GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) {
        quor::logMessage(L"CDiskOutputer::prepareEntry, %s is a link that cannot be removed, last error is "
                         L"%d; nothing is written through it.",
                         folder.c_str(), static_cast<int>(GetLastError()));
        return false;
    }
    quor::logMessage(L"CDiskOutputer::prepareEntry, removed the link %s; a real one takes its place.",
                     folder.c_str());
    return true;
}

bool CDiskOutputer::prepareEntry(const std::wstring& name, EntryTarget* target) {
    std::wstring entry = name;
    for (wchar_t& c : entry)
        if (c == L'/')
            c = L'\\';
    *target = EntryTarget();
    if (!_map(entry, target))
        return false;
    if (target->isRootEntry)
        return true;
    const std::wstring& path = target->path;
    for (size_t at = target->directory.size(); at < path.size();) {
        size_t end = path.find(L'\\', at);
        if (end == std::wstring::npos)
            end = path.size();
        if (end > at && !_unlinkedFolder(path.substr(0, end)))
            return false;
        at = end + 1;
    }
    return true;
}

bool CDiskOutputer::output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) {
    quor::logMessage(L"CDiskOutputer::output, file is %s", name);
    EntryTarget target;
    if (!prepareEntry(name, &target))
        return false;
    if (target.isRootEntry)
        return true;
    const std::wstring& path = target.path;
    if (wcschr(name, L'\\') || wcschr(name, L'/')) {
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

HANDLE CDiskOutputer::_createTarget(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool CDiskOutputer::_writeAll(HANDLE file, const unsigned char* data, size_t size) {
    size_t total = 0;
    while (total < size) {
        DWORD chunk = static_cast<DWORD>(size - total < kWriteChunk ? size - total : kWriteChunk);
        DWORD written = 0;
        if (!WriteFile(file, data + total, chunk, &written, nullptr))
            return false;
        if (written == 0)
            break;
        total += written;
    }
    return total == size;
}

// A file in use that may still be renamed (a running program, a loaded library)
// makes room for the new one under its name + ".old".
void CDiskOutputer::_moveAside(const std::wstring& path) {
    std::wstring old = path + L".old";
    if (GetFileAttributesW(old.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(old.c_str());
    quor::moveFile(path, old);
}

bool CDiskOutputer::_tryToDecompressItem(bool isDirectory, const unsigned char* data, size_t size,
                                         const std::wstring& path) {
    if (isDirectory) {
        quor::createDirectoryTree(path);
        return true;
    }
    const std::wstring old = path + L".old";
    FileHandle file;
    bool movedAside = false;
    for (int attempt = 1; attempt <= kMaxTries; ++attempt) {
        file.reset(_createTarget(path));
        if (file.valid())
            break;
        // After the last failed attempt the target stays where it is.
        if (attempt < kMaxTries) {
            _moveAside(path);
            movedAside = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                         GetFileAttributesW(old.c_str()) != INVALID_FILE_ATTRIBUTES;
        }
    }
    int tryCount = kMaxTries;
    bool written = false;
    if (file.valid()) {
        // The first write and up to five repetitions. A repetition starts our own
        // file afresh in place: moving it aside would replace the ".old" that may
        // hold the file this one replaces.
        for (int repetition = 0; repetition <= kMaxTries; ++repetition) {
            if (repetition > 0) {
                LARGE_INTEGER start = {};
                if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
                    continue;
            }
            if (_writeAll(file.get(), data, size)) {
                tryCount = repetition;
                written = true;
                break;
            }
        }
        file.reset();
        if (!written) {
            // A partial file helps nobody and holds the space that was missing;
            // what was moved aside for it takes its place again.
            DeleteFileW(path.c_str());
            if (movedAside)
                quor::moveFile(old, path);
        }
    }
    quor::logMessage(L"CDiskOutputer::_tryToDecompressItem, strFilePath=%s, nTryCount=%d, bResult=%d",
                     path.c_str(), tryCount, written ? 1 : 0);
    return written;
}
