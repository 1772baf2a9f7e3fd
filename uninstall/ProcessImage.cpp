#include "uninstall/ProcessImage.h"

#include <tlhelp32.h>

namespace {

class SnapshotHandle {
public:
    explicit SnapshotHandle(HANDLE h) : m_handle(h) {}
    ~SnapshotHandle() {
        if (valid())
            CloseHandle(m_handle);
    }
    SnapshotHandle(const SnapshotHandle&) = delete;
    SnapshotHandle& operator=(const SnapshotHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> processes;
    SnapshotHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
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
        SnapshotHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
        if (modules.valid()) {
            MODULEENTRY32W module = {};
            module.dwSize = sizeof module;
            if (Module32FirstW(modules.get(), &module))
                return module.szExePath;
        }
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    std::wstring result;
    if (QueryFullProcessImageNameW(process, 0, path, &size))
        result.assign(path, size);
    CloseHandle(process);
    return result;
}
