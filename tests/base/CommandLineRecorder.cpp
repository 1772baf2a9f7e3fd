// Writes its own command line and working directory to "recorded.txt" in the
// working directory (UTF-16, one per line), then waits for the given number of
// milliseconds if the environment asks for it.
#include <windows.h>

#include <cstdlib>
#include <string>

int wmain() {
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    wchar_t delay[32] = {};
    if (GetEnvironmentVariableW(L"QUOR_RECORDER_DELAY_MS", delay, 32))
        Sleep(static_cast<DWORD>(_wtoi(delay)));
    std::wstring text = std::wstring(GetCommandLineW()) + L"\n" + directory + L"\n";
    HANDLE file = CreateFileW(L"recorded.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}
