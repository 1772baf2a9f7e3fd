#include "setup/ProcessImage.h"

#include <tlhelp32.h>

std::wstring processImagePath(DWORD processId) {
    // The image name is the path of the process's first module. Asking for it
    // directly is cheap; a module snapshot reads the other process's loader data
    // (tenths of a second per process under Wine), so it is only the fallback.
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        BOOL ok = QueryFullProcessImageNameW(process, 0, path, &length);
        CloseHandle(process);
        if (ok)
            return std::wstring(path, length);
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return std::wstring();
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    BOOL found = Module32FirstW(snapshot, &module);
    CloseHandle(snapshot);
    return found ? std::wstring(module.szExePath) : std::wstring();
}

bool sameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}
