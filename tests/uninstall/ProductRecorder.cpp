// Stands in for the product's programs in the uninstaller's tests: appends one
// line "program|command line|working directory" to a journal in the temp
// folder. Copied as "Quor.exe" it stays alive (until ended or 60 s) like the product.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring line = std::wstring(self) + L"|" + GetCommandLineW() + L"|" + cwd + L"\n";
    std::wstring journal = std::wstring(temp) + L"quor-recorder-journal.txt";
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"quor-recorder-journal");
    WaitForSingleObject(mutex, 5000);
    HANDLE file = CreateFileW(journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    std::wstring name = self;
    name = name.substr(name.find_last_of(L'\\') + 1);
    if (name == L"Quor.exe")
        Sleep(60000);
    return 0;
}
