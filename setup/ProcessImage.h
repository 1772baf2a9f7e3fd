#pragma once

#include <windows.h>

#include <string>

// The full path of a process's executable: the first module of its module
// snapshot, or the system's image name when the snapshot is refused (a 32-bit
// caller looking at a 64-bit process). Empty when neither tells.
std::wstring processImagePath(DWORD processId);

bool sameTextIgnoringCase(const std::wstring& a, const std::wstring& b);
