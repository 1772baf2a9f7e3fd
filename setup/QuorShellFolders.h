#pragma once

#include <string>

// The current user's shell folders that receive the product's shortcuts, without
// trailing backslashes; a folder the shell could not resolve is empty.
struct QuorShellFolders {
    std::wstring desktop;
    std::wstring programs;
    std::wstring startMenu;
    std::wstring favorites;
    std::wstring quickLaunch;

    // Looks every folder up; failures are logged.
    static QuorShellFolders fromShell();
    // One special folder by its shell identifier (CSIDL); empty on failure, logged.
    static std::wstring specialFolder(int csidl);
};
