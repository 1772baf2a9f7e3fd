#pragma once

#include <tlhelp32.h>
#include <windows.h>

#include <string>

// Paths of the programs under test: the build's bin folder beside the tests folder,
// or the folder QUOR_TEST_BIN_DIR names (the release tests point it at the 32-bit
// build's bin folder; its tests folder then lies beside that one).
inline std::wstring testBinDirectory() {
    wchar_t path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"QUOR_TEST_BIN_DIR", path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::wstring dir = path;
        return dir.back() == L'\\' ? dir : dir + L"\\";
    }
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self = path;
    std::wstring testsDir = self.substr(0, self.find_last_of(L'\\'));
    return testsDir.substr(0, testsDir.find_last_of(L'\\')) + L"\\bin\\";
}

struct ProcessResult {
    bool started = false;
    bool ended = false;
    DWORD exitCode = 0;
    int code() const { return static_cast<int>(exitCode); }
};

// Runs `program` with the raw argument text and waits at most `timeoutMs`.
inline ProcessResult runProgram(const std::wstring& program, const std::wstring& arguments,
                                DWORD timeoutMs = 60000, const wchar_t* workingDirectory = nullptr) {
    ProcessResult result;
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingDirectory, &si, &pi))
        return result;
    result.started = true;
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        result.ended = true;
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
    } else {
        TerminateProcess(pi.hProcess, 99);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

// Ends every process whose program lies below `directory` (ignoring case): an
// installation leaves its assistant running, which holds its files.
inline void endProcessesUnder(const std::wstring& directory) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                     FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        wchar_t image[MAX_PATH * 2] = {};
        DWORD size = MAX_PATH * 2;
        if (QueryFullProcessImageNameW(process, 0, image, &size) &&
            CompareStringOrdinal(image, static_cast<int>(directory.size()), directory.c_str(),
                                 static_cast<int>(directory.size()), TRUE) == CSTR_EQUAL) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
}
