#include "base/ProcessImage.h"

#include "base/Handles.h"

#include <tlhelp32.h>

namespace quor {

std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> processes;
    SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return processes;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        processes.push_back({entry.th32ProcessID, entry.szExeFile});
    return processes;
}

std::wstring processImagePath(DWORD processId) {
    if (processId == 0)
        return std::wstring();
    {
        ProcessHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        wchar_t path[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        if (process && QueryFullProcessImageNameW(process.get(), 0, path, &size))
            return std::wstring(path, size);
    }
    SnapshotHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!modules)
        return std::wstring();
    MODULEENTRY32W module = {};
    module.dwSize = sizeof module;
    return Module32FirstW(modules.get(), &module) ? std::wstring(module.szExePath) : std::wstring();
}

bool sameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

} // namespace quor
