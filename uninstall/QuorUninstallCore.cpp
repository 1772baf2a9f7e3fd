#include "uninstall/QuorUninstallCore.h"

#include "base/FileOperations.h"
#include "base/KnownFolders.h"
#include "base/LogFile.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"
#include "base/ProductShortcuts.h"
#include "uninstall/QuorFileCleaner.h"
#include "uninstall/QuorRunningChecker.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace product = quor::product;

QuorUninstallCore::QuorUninstallCore(QuorUninstallListener* listener)
    : m_checker(new QuorRunningChecker(listener)), m_cleaner(new QuorFileCleaner(listener)) {}

QuorUninstallCore::~QuorUninstallCore() {
    m_checker->stop();
    m_cleaner->stop();
    delete m_checker;
    delete m_cleaner;
}

void QuorUninstallCore::setPath(const std::wstring& path) {
    quor::logMessage(L"QuorUninstallCore::setPath, path is %s", path.c_str());
    m_path = path;
    if (m_path.empty() || m_path.back() != L'\\')
        m_path += L'\\';
}

void QuorUninstallCore::setSilent(bool silent) {
    m_silent = silent;
    if (silent) {
        m_checker->setListener(nullptr);
        m_cleaner->setListener(nullptr);
    }
}

void QuorUninstallCore::startCheck() {
    if (m_checker->waitingForAnswer()) {
        m_checker->answer();
        return;
    }
    m_checker->setPath(m_path);
    m_checker->start();
}

void QuorUninstallCore::startClean(bool async) {
    m_cleaner->setPath(m_path);
    if (async)
        m_cleaner->start();
    else
        m_cleaner->execute();
}

bool QuorUninstallCore::prepareUninstall() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);

    GUID guid;
    wchar_t guidText[64] = {};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, guidText, 64) == 0) {
        quor::logMessage(L"QuorUninstallCore::prepareUninstall, CoCreateGuid fail.");
        return false;
    }

    std::wstring dataDir = quor::productDataDir();
    if (dataDir.empty()) {
        // Without it the copy would land relative to the current directory.
        quor::logMessage(L"QuorUninstallCore::prepareUninstall, product data directory unknown.");
        return false;
    }
    std::wstring base = dataDir + L"setup\\uninstall\\";
    // Copies left by earlier uninstalls go; one that still runs keeps its file.
    quor::emptyDirectory(base);
    std::wstring folder = base + guidText;
    quor::createDirectoryTree(folder);
    std::wstring copy = folder + L"\\uninstall.exe";
    if (!CopyFileW(self, copy.c_str(), FALSE))
        quor::logMessage(
            L"QuorUninstallCore::prepareUninstall, copy file fail dest file is %s, last error is %d",
            copy.c_str(), static_cast<int>(GetLastError()));

    std::wstring parameters = m_silent ? L"-silencedelete" : L"-delete";
    std::wstring dir = m_path;
    if (!dir.empty() && dir.back() == L'\\')
        dir.pop_back();
    parameters += L" -path \"" + dir + L"\"";
    quor::logMessage(L"para is %s", parameters.c_str());
    return runExeFile(copy, parameters, false);
}

void QuorUninstallCore::removeRegistry() {
    if (m_cleaner->refused()) {
        quor::logMessage(L"QuorUninstallCore::removeRegistry, the deletion was refused, nothing removed.");
        return;
    }
    quor::logMessage(L"QuorUninstallCore::removeRegistry.");
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, product::kProductRunValue);
        RegCloseKey(key);
    }
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, product::kAssistantRunValue);
        RegCloseKey(key);
    }
    // Only a key without subkeys goes: one with subkeys holds more than what the installer wrote.
    RegDeleteKeyW(HKEY_CURRENT_USER, product::kProductKey);
    std::wstring entry = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;
    RegDeleteKeyW(HKEY_CURRENT_USER, entry.c_str());
}

namespace {

// The path of a shell special folder, or empty.
std::wstring specialFolderPath(int csidl) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return std::wstring();
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    return ok ? std::wstring(path) : std::wstring();
}

void deleteLink(const std::wstring& folder, const wchar_t* name) {
    DeleteFileW((folder + L"\\" + name + L".lnk").c_str());
}

} // namespace

void QuorUninstallCore::removeShortcuts() {
    if (m_cleaner->refused()) {
        quor::logMessage(L"QuorUninstallCore::removeShortcuts, the deletion was refused, nothing removed.");
        return;
    }
    quor::logMessage(L"QuorUninstallCore::removeShortcuts.");
    std::wstring desktop = specialFolderPath(CSIDL_DESKTOPDIRECTORY);
    if (desktop.empty())
        return;
    deleteLink(desktop, product::kProductLinkName);
    deleteLink(desktop, product::kLobbyLinkName);
    deleteLink(desktop, product::kObsoleteLinkName);
    deleteLink(desktop, product::kGlimmerLinkName);
    std::wstring gameBox = desktop + L"\\" + product::kGameBoxLinkName + L".lnk";
    if (GetFileAttributesW(gameBox.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(gameBox.c_str());
    deleteLink(desktop, product::kFenloLinkName);

    std::wstring programs = specialFolderPath(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    std::wstring maker = programs + L"\\" + product::kMakerFolder;
    deleteLink(maker, product::kProductLinkName);
    deleteLink(maker, product::kUninstallLinkName);
    RemoveDirectoryW(maker.c_str());

    std::wstring startMenu = specialFolderPath(CSIDL_STARTMENU);
    if (!startMenu.empty())
        deleteLink(startMenu, product::kProductLinkName);
}

bool QuorUninstallCore::runExeFile(const std::wstring& program, const std::wstring& parameters, bool wait) {
    if (parameters.size() >= kParameterCapacity) {
        quor::logMessage(L"runExeFile, parameter text of %d characters does not fit, %s not started.",
                         static_cast<int>(parameters.size()), program.c_str());
        return false;
    }
    std::vector<wchar_t> buffer(kParameterCapacity, L'\0');
    parameters.copy(buffer.data(), parameters.size());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        quor::logMessage(L"runExeFile, CreateProcess return false, last error is %d.",
                         static_cast<int>(GetLastError()));
        return false;
    }
    if (wait && WaitForSingleObject(info.hProcess, 10000) == WAIT_TIMEOUT)
        quor::logMessage(L"runExeFile, WaitForSingleObject timeout.");
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return true;
}
