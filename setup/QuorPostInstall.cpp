#include "setup/QuorPostInstall.h"

#include "base/LogFile.h"
#include "base/Processes.h"
#include "base/ProductInfo.h"
#include "base/RegistryKey.h"
#include "base/SystemLibrary.h"
#include "setup/QuorWebAddresses.h"

#include <shellapi.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace product = quor::product;

namespace {

// Starts `path` as the application name with no command line; the handles are not kept.
bool startDetached(const std::wstring& path) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool startsWithIgnoringCase(const std::wstring& text, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    return text.size() > n && CompareStringOrdinal(text.c_str(), static_cast<int>(n), prefix,
                                                   static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

} // namespace

QuorPostInstall::QuorPostInstall(std::wstring installDir, std::wstring productDataDir)
    : m_installDir(std::move(installDir)), m_productDataDir(std::move(productDataDir)) {}

std::wstring QuorPostInstall::versionDir() const {
    return m_installDir + product::kVersion + L"\\";
}

std::wstring QuorPostInstall::installstatParameter() {
    return std::wstring(L"\"|") + product::kVersion + L"|" + std::to_wstring(1) + L"|i|\"";
}

void QuorPostInstall::do3XUpdate() {
    quor::logMessage(L"QuorSetupCore::_do3XUpdate begin.");
    std::wstring wizard = m_installDir + product::kUpdateWizardExe;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!m_installDir.empty() &&
        CreateProcessW(wizard.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        // The old version's update must be complete before the new tools run.
        WaitForSingleObject(pi.hProcess, INFINITE);
        quor::logMessage(L"QuorSetupCore::_do3XUpdate, wait finish.");
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    quor::logMessage(L"QuorSetupCore::_do3XUpdate finish.");
}

void QuorPostInstall::runInstallstat() {
    std::wstring program = versionDir() + product::kStatisticsToolExe;
    std::wstring parameter = installstatParameter();
    quor::runProcess(program, parameter.c_str(), m_installDir.c_str(), false);
    quor::logMessage(L"QuorSetupCore::runInstallstat, run %s parameter is %s.", program.c_str(),
                     parameter.c_str());
}

void QuorPostInstall::runQuorRun() {
    std::wstring program = versionDir() + product::kRegistrationToolExe;
    quor::runProcess(program, L"-reg", m_installDir.c_str(), false);
    quor::logMessage(L"QuorSetupCore::runQuorRun, run %s parameter is -reg.", program.c_str());
}

void QuorPostInstall::runLiveShow() {
    // The x86 build of the tool serves both kinds of system.
    int sysBits = quor::nativeSystemBits();
    if (!startDetached(versionDir() + product::kDesktopShortcutToolExe))
        quor::logMessage(L"QuorSetupCore::_runLiveShow, CreateProcess fail. sysBits=%d", sysBits);
}

void QuorPostInstall::runQuorAssistant() {
    if (!startDetached(versionDir() + product::kAssistantExe))
        quor::logMessage(L"QuorAssistant: QuorSetupCore::_runQuorAssistant, CreateProcess fail. Fail code:");
}

void QuorPostInstall::runQuor() {
    if (m_installDir.empty()) {
        quor::logMessage(L"QuorSetupCore::runQuor, install directory is empty, nothing started.");
        return;
    }
    // Quoted: an unquoted path with blanks would let the system try "C:\Program.exe" first.
    quor::runProcess(L"\"" + m_installDir + product::kProductExe + L"\"", nullptr, m_productDataDir.c_str(),
                     false);
}

void QuorPostInstall::viewReleaseNote() {
    quor::logMessage(L"QuorSetupCore::viewReleaseNote, view new feature.");
    openUrl(quor::web::releaseNotesPage());
}

void QuorPostInstall::openBelvanePage() {
    openUrl(quor::web::portalPage());
}

bool QuorPostInstall::customLsp(const std::wstring& appFilePath) {
    bool result = false;
    if (!appFilePath.empty()) {
        quor::SystemLibrary ws2(L"ws2_32.dll");
        using SetCategory = int(WINAPI*)(LPCWSTR, DWORD, LPCWSTR, DWORD, DWORD, DWORD*, LPINT);
        if (auto setCategory = ws2.function<SetCategory>("WSCSetApplicationCategory")) {
            const DWORD kLspSystem = 0x80000000;
            int error = 0;
            result = setCategory(appFilePath.c_str(), static_cast<DWORD>(appFilePath.size()), nullptr, 0,
                                 kLspSystem, nullptr, &error) == 0;
        }
    }
    quor::logMessage(L"QuorSetupCore::CustomLsp, strAppFilePath=%s, bResult=%d", appFilePath.c_str(),
                     result ? 1 : 0);
    return result;
}

bool QuorPostInstall::openUrl(const std::wstring& address) {
    quor::logMessage(L"open url %s", address.c_str());
    // Only web addresses: anything else handed to the shell could start a program.
    if (!startsWithIgnoringCase(address, L"http://") && !startsWithIgnoringCase(address, L"https://")) {
        quor::logMessage(L"QuorSetupCore::openUrl, not a web address, nothing opened.");
        return false;
    }
    std::wstring command;
    quor::RegistryKey key =
        quor::RegistryKey::open(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", KEY_READ);
    if (key.valid())
        key.readString(nullptr, command, 520);
    std::transform(command.begin(), command.end(), command.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    if (command.find(L"iexplore.exe") != std::wstring::npos) {
        quor::logMessage(L"[IE] open url %s", address.c_str());
        return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", L"iexplore.exe", address.c_str(),
                                                       nullptr, SW_SHOWNORMAL)) > 32;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.lpParameters = L"-new";
    info.nShow = SW_SHOWDEFAULT;
    return ShellExecuteExW(&info) != FALSE;
}
