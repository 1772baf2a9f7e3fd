#include "setup/QuorShellFolders.h"

#include "base/LogFile.h"

#include <shlobj.h>
#include <windows.h>

std::wstring QuorShellFolders::specialFolder(int csidl) {
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) {
        quor::logMessage(L"QuorSetupCore::_createShortcut, SHGetSpecialFolderLocation fail.");
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    if (!ok) {
        quor::logMessage(L"QuorSetupCore::_createShortcut, SHGetPathFromIDList fail.");
        return std::wstring();
    }
    return path;
}

QuorShellFolders QuorShellFolders::fromShell() {
    QuorShellFolders folders;
    folders.desktop = specialFolder(CSIDL_DESKTOPDIRECTORY);
    folders.programs = specialFolder(CSIDL_PROGRAMS);
    folders.startMenu = specialFolder(CSIDL_STARTMENU);
    folders.favorites = specialFolder(CSIDL_FAVORITES);
    wchar_t quickLaunch[MAX_PATH] = {};
    DWORD n = ExpandEnvironmentStringsW(L"%APPDATA%\\Microsoft\\Internet Explorer\\Quick Launch", quickLaunch,
                                        MAX_PATH);
    // An unexpanded variable means there is no application-data folder to look in.
    if (n > 0 && n <= MAX_PATH && quickLaunch[0] != L'%')
        folders.quickLaunch = quickLaunch;
    return folders;
}
