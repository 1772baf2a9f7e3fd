#pragma once

// Names of the product's shortcuts (".lnk" is appended to each link name): the
// installer creates them, the uninstaller removes them.
namespace quor::product {

// On the desktop, in the maker's programs folder and at the top of the start menu.
inline constexpr const wchar_t* kProductLinkName = L"Quor语音";
// In the maker's programs folder.
inline constexpr const wchar_t* kUninstallLinkName = L"卸载Quor语音";
// The maker's folder under the start menu's programs.
inline constexpr const wchar_t* kMakerFolder = L"Belvane";

// Desktop links that open product features.
inline constexpr const wchar_t* kLobbyLinkName = L"Quor游戏大厅";
inline constexpr const wchar_t* kGlimmerLinkName = L"看直播";
inline constexpr const wchar_t* kFenloLinkName = L"Fenlo-神秘聊天室";
// Made only on request from the installer's last page.
inline constexpr const wchar_t* kGameBoxLinkName = L"Tessel游戏";
// Left on the desktop by older versions.
inline constexpr const wchar_t* kObsoleteLinkName = L"QuorGlimmer";

// The portal favourite (an Internet shortcut): written on request, never removed.
inline constexpr const wchar_t* kFavouriteFile = L"Belvane游戏网.url";

} // namespace quor::product
