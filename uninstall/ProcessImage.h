#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ProcessEntry {
    DWORD id = 0;
    std::wstring exeName; // as the process snapshot names it
};

// Every process of the system, from one snapshot; empty when the snapshot fails.
std::vector<ProcessEntry> listProcesses();

// The full path of the process's first module, or empty when it cannot be read.
// A 32-bit uninstaller cannot read a 64-bit process's modules: then the image
// name the system keeps for the process is used.
std::wstring processImagePath(DWORD processId);
