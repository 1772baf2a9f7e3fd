#pragma once

// Files that the product kept directly in the install directory before it moved
// into versioned directories. A re-installation removes them, or moves a file
// in use aside to its name + ".old". Never the product's current root files
// ("Quor.exe", "Uninstall.exe", "Launcher.xml") nor the update wizard.
inline constexpr const wchar_t* kOldLayoutFiles[] = {
    L"quorassistant.exe", L"quorrun.exe",      L"installstat.exe", L"quordesktopshortcut_x86.exe",
    L"quorlauncher.exe",  L"quorsamplert.dll", L"quor.res",        L"version.ini",
    L"ReleaseNotes.txt",  L"ProductInfo.txt",
};
