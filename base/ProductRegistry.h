#pragma once

// Registry locations of the product (all under HKEY_CURRENT_USER): the
// installer writes them, the uninstaller removes them.
namespace quor::product {

inline constexpr const wchar_t* kProductKey = L"Software\\belvane\\quor";
inline constexpr const wchar_t* kInstallDirValue = L"InstallDir";
inline constexpr const wchar_t* kRootPathValue = L"RootPath";

inline constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kAssistantRunValue = L"QuorAssistant";
inline constexpr const wchar_t* kProductRunValue = L"Quor";

inline constexpr const wchar_t* kUninstallRoot = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const wchar_t* kUninstallEntry = L"Quor8";
inline constexpr const wchar_t* kPublisher = L"Belvane游戏网";

} // namespace quor::product
