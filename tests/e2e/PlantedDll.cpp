// Stands in for a system DLL planted in a download folder. When loaded it
// writes a marker file beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
        while (n && path[n - 1] != L'\\')
            --n;
        lstrcpyW(path + n, L"planted-dll-loaded.txt");
        HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
    }
    return TRUE;
}
