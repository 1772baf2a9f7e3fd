#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace quor {

struct ProcessEntry {
    DWORD id = 0;
    std::wstring exeName; // as the process snapshot names it
};

// Every process of the system, from one snapshot; empty when the snapshot fails.
std::vector<ProcessEntry> listProcesses();

// The full path of a process's executable, or empty when it cannot be read.
// The system's image name is asked first: it is cheap and also answers for a
// 64-bit process seen from a 32-bit program. Only when it is refused is a
// module snapshot taken (its first module is the executable).
std::wstring processImagePath(DWORD processId);

bool sameTextIgnoringCase(const std::wstring& a, const std::wstring& b);

} // namespace quor
