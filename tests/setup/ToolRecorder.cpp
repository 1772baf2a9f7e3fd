// Stands in for a product tool or a browser: appends one line to the journal
// named by QUOR_RECORDER_LOG (or "recorder.log" beside itself) and ends. The
// line holds the process creation time, so readers can sort by start order
// even when several recorders run at once:
//   creation time (100 ns units) TAB program file name TAB command line TAB current directory CR LF
// Started as "quorwizard.exe" it first waits a moment, so a caller that does
// not wait for it would be caught.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring selfPath = self;
    std::wstring name = selfPath.substr(selfPath.find_last_of(L'\\') + 1);
    if (lstrcmpiW(name.c_str(), L"quorwizard.exe") == 0)
        Sleep(1500);

    wchar_t journal[MAX_PATH] = {};
    std::wstring journalPath;
    if (GetEnvironmentVariableW(L"QUOR_RECORDER_LOG", journal, MAX_PATH))
        journalPath = journal;
    else
        journalPath = selfPath.substr(0, selfPath.find_last_of(L'\\') + 1) + L"recorder.log";

    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULONGLONG start = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring line =
        std::to_wstring(start) + L"\t" + name + L"\t" + GetCommandLineW() + L"\t" + cwd + L"\r\n";

    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileW(journalPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
                      nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
