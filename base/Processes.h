#pragma once

#include <windows.h>

#include <string>

namespace quor {

// The first top-level window of process `processId` whose class is `className`
// (compared ignoring case); null when there is none.
HWND findProcessWindow(DWORD processId, const wchar_t* className);

// 64 on an x64 or Itanium system (also for a 32-bit process on it), otherwise 32.
int nativeSystemBits();

// Starts `program` with the command line "program" "parameters" (both quoted),
// or the bare program path when `parameters` is null or empty, in
// `workingDirectory` (null or empty: the caller's). With `wait`, returns after
// the process has ended. False when the process could not be started or the
// command line does not fit its 1023-character buffer.
bool runProcess(const std::wstring& program, const wchar_t* parameters, const wchar_t* workingDirectory,
                bool wait);

} // namespace quor
