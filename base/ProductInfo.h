#pragma once

#include <windows.h>

// The product's own names, shared by the installer and the uninstaller: the
// uninstaller removes what the installer's payload put in place, so both use
// the same version folder.
namespace quor::product {

inline constexpr const wchar_t* kVersion = L"8.17.0.0";

// Relative to the install directory.
inline constexpr const wchar_t* kProductExe = L"Quor.exe";
inline constexpr const wchar_t* kUninstallExe = L"Uninstall.exe";
inline constexpr const wchar_t* kLauncherXml = L"Launcher.xml";
inline constexpr const wchar_t* kUpdateWizardExe = L"quorwizard.exe";
inline constexpr const wchar_t* kLauncherExe = L"quorlauncher.exe";
// Relative to the versioned directory (install directory + version + "\").
inline constexpr const wchar_t* kAssistantExe = L"quorassistant.exe";
inline constexpr const wchar_t* kRegistrationToolExe = L"quorrun.exe";
inline constexpr const wchar_t* kStatisticsToolExe = L"installstat.exe";
inline constexpr const wchar_t* kDesktopShortcutToolExe = L"quordesktopshortcut_x86.exe";

// How the installer and the uninstaller drive the product's programs (neither
// reads their results): the registration tool takes one of these switches, the
// statistics tool the text "|<version>|<number>|<i or u>|" in double quotes.
inline constexpr const wchar_t* kRegisterSwitch = L"-reg";
inline constexpr const wchar_t* kUnregisterSwitch = L"-unreg";
inline constexpr const wchar_t* kStatisticsInstallMark = L"i";
inline constexpr const wchar_t* kStatisticsRemovalMark = L"u";
inline constexpr int kStatisticsInstallNumber = 1;
// Product-feature shortcut targets are handed to the shell, never read here.
inline constexpr const wchar_t* kFeatureScheme = L"quor://";

enum class ProgramPlace { InstallDirectory, VersionDirectory };

// The product's programs this system detects, stops or starts.
struct ProgramInfo {
    const wchar_t* fileName;
    ProgramPlace place;
};
inline constexpr ProgramInfo kProduct = {kProductExe, ProgramPlace::InstallDirectory};
inline constexpr ProgramInfo kAssistant = {kAssistantExe, ProgramPlace::VersionDirectory};
inline constexpr ProgramInfo kRegistrationTool = {kRegistrationToolExe, ProgramPlace::VersionDirectory};
inline constexpr ProgramInfo kStatisticsTool = {kStatisticsToolExe, ProgramPlace::VersionDirectory};
inline constexpr ProgramInfo kUpdateWizard = {kUpdateWizardExe, ProgramPlace::InstallDirectory};
inline constexpr ProgramInfo kDesktopShortcutTool = {kDesktopShortcutToolExe, ProgramPlace::VersionDirectory};
inline constexpr ProgramInfo kLauncher = {kLauncherExe, ProgramPlace::InstallDirectory};

inline constexpr const wchar_t* kMainWindowClass =
    L"BELVANE SPEAK MAIN FRAME | 4D1BB563-E5FC-4771-AD17-6442A4147044";
inline constexpr UINT kQuitMessage = WM_APP + 601;

} // namespace quor::product
