#pragma once

#include <string>
#include <vector>

// The uninstaller's run modes.
enum UninstallMode : int {
    kUninstallInteractive = 0, // from the install directory, with the prompt window
    kUninstallSilent = 1,      // "-silence": copy and relaunch without windows
    kUninstallDelete = 2,      // "-delete" with an existing "-path": deletion run with the progress window
    kUninstallSilentDelete = 3 // "-silencedelete" with an existing "-path": deletion run without windows
};

struct UninstallRun {
    int mode = kUninstallInteractive;
    std::wstring path; // the "-path" value of modes 2 and 3
};

// Switches match exactly; "-silence" wins; a deletion switch counts only with a
// "-path" value that names something that exists.
UninstallRun chooseUninstallRun(const std::vector<std::wstring>& tokens);
