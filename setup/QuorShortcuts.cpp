#include "setup/QuorShortcuts.h"

#include "base/KnownFolders.h"
#include "base/LogFile.h"
#include "base/ProcessImage.h"
#include "base/ProductInfo.h"
#include "base/ProductShortcuts.h"
#include "setup/ComScope.h"
#include "setup/QuorWebAddresses.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

namespace {

using quor::product::kFavouriteFile;
using quor::product::kGameBoxLinkName;
using quor::product::kMakerFolder;
using quor::product::kObsoleteLinkName;
using quor::product::kProductLinkName;
using quor::product::kUninstallLinkName;

struct FeatureLink {
    const wchar_t* name;
    const wchar_t* target;
    const wchar_t* icon;
};

const FeatureLink kLobby = {quor::product::kLobbyLinkName,
                            L"quor://join:lobby_gameab=default&from=from_desklby/", L"game.ico"};
const FeatureLink kGlimmer = {quor::product::kGlimmerLinkName,
                              L"quor://glimmer-[tabPid=1011&tabSid=10011&from=desktop]/", L"glimmer.ico"};
const FeatureLink kFenlo = {quor::product::kFenloLinkName,
                            L"quor://jovaro-[showjovarowindow=1&report=0x10008183]/", L"fenlo.ico"};

bool isDirectory(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring linkFile(const std::wstring& folder, const wchar_t* name) {
    return folder + L"\\" + name + L".lnk";
}

} // namespace

QuorShortcuts::QuorShortcuts(std::wstring installDir, QuorShellFolders folders, std::wstring workingDir)
    : m_installDir(std::move(installDir)), m_folders(std::move(folders)),
      m_workingDir(std::move(workingDir)) {}

std::wstring QuorShortcuts::gameBoxTarget() {
    static const char launchText[] = "launch_type:type^=^quordesklnk";
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring target = L"quor://gamebox/";
    for (const char* p = launchText; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        target += digits[c >> 4];
        target += digits[c & 15];
    }
    return target;
}

bool QuorShortcuts::createShortcut(const std::wstring& target, const std::wstring& linkPath,
                                   const std::wstring& icon, const std::wstring& workingDir) {
    ComApartment com;
    if (!com.ok())
        return false;
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.putVoid()))) {
        quor::logMessage(L"QuorSetupCore::_createShortcut, CoCreateInstance fail.");
        return false;
    }
    if (!icon.empty())
        link->SetIconLocation(icon.c_str(), 0);
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingDir.c_str());
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid()))) {
        quor::logMessage(L"QuorSetupCore::_createShortcut, QueryInterface fail.");
        return false;
    }
    // A stale link of the same name goes first, so nothing of it survives.
    DeleteFileW(linkPath.c_str());
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

void QuorShortcuts::createStandardShortcuts() {
    if (m_installDir.empty()) {
        quor::logMessage(L"QuorSetupCore::_createShortcut, install directory is empty, no shortcut made.");
        return;
    }
    const std::wstring product = m_installDir + quor::product::kProductExe;
    const std::wstring icons = m_installDir + quor::product::kVersion + L"\\image\\";
    const std::wstring& desktop = m_folders.desktop;

    if (!desktop.empty())
        createShortcut(product, linkFile(desktop, kProductLinkName), L"", m_workingDir);
    std::wstring makerFolder;
    if (!m_folders.programs.empty()) {
        makerFolder = m_folders.programs + L"\\" + kMakerFolder;
        quor::createDirectoryTree(makerFolder);
        createShortcut(product, linkFile(makerFolder, kProductLinkName), L"", m_workingDir);
    }
    if (!m_folders.startMenu.empty())
        createShortcut(product, linkFile(m_folders.startMenu, kProductLinkName), L"", m_workingDir);
    if (!makerFolder.empty())
        createShortcut(m_installDir + quor::product::kUninstallExe, linkFile(makerFolder, kUninstallLinkName),
                       L"", m_workingDir);
    if (desktop.empty())
        return;
    for (const FeatureLink* feature : {&kLobby, &kGlimmer}) {
        createShortcut(feature->target, linkFile(desktop, feature->name), icons + feature->icon,
                       m_workingDir);
    }
    DeleteFileW(linkFile(desktop, kObsoleteLinkName).c_str());
    createShortcut(kFenlo.target, linkFile(desktop, kFenlo.name), icons + kFenlo.icon, m_workingDir);
}

bool QuorShortcuts::repointPinnedLink(const std::wstring& linkPath) {
    ComApartment com;
    if (!com.ok())
        return false;
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.putVoid())))
        return false;
    ComRef<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) ||
        FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return false;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return false;
    std::wstring current = target;
    size_t slash = current.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return false;
    std::wstring name = current.substr(slash + 1);
    std::wstring directory = current.substr(0, slash + 1);
    if (!quor::sameTextIgnoringCase(name, quor::product::kLauncherExe) &&
        !quor::sameTextIgnoringCase(name, quor::product::kProductExe))
        return false;
    if (!quor::sameTextIgnoringCase(directory, m_installDir))
        return false;
    link->SetPath((m_installDir + quor::product::kProductExe).c_str());
    link->SetWorkingDirectory(m_workingDir.c_str());
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

void QuorShortcuts::updatePinnedShortcuts() {
    if (m_folders.quickLaunch.empty() || m_installDir.empty())
        return;
    const std::wstring folders[] = {m_folders.quickLaunch,
                                    m_folders.quickLaunch + L"\\User Pinned\\StartMenu",
                                    m_folders.quickLaunch + L"\\User Pinned\\TaskBar"};
    for (const std::wstring& folder : folders) {
        if (!isDirectory(folder))
            continue;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"\\*.lnk").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                repointPinnedLink(folder + L"\\" + data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
}

void QuorShortcuts::collectBelvane() {
    quor::logMessage(L"QuorSetupCore::collectBelvane, collect official website.");
    if (m_folders.favorites.empty())
        return;
    std::wstring path = m_folders.favorites + L"\\" + kFavouriteFile;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::wstring content = L"[InternetShortcut]\nURL=" + quor::web::portalFavouritePage();
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

void QuorShortcuts::createGameBoxShortcut() {
    if (m_installDir.empty() || m_folders.desktop.empty())
        return;
    ComApartment com;
    if (!com.ok())
        return;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.putVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())))
        return;
    std::wstring icon = m_installDir + quor::product::kVersion + L"\\image\\tessel.ico";
    if (!isFile(icon))
        return;
    link->SetPath(gameBoxTarget().c_str());
    link->SetIconLocation(icon.c_str(), 0);
    file->Save(linkFile(m_folders.desktop, kGameBoxLinkName).c_str(), TRUE);
}
