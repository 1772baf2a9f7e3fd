// Loads "gdiplus.dll" by name; with "restricted" it first restricts the DLL
// search as the programs do.
#include "base/DllSearch.h"

#include <windows.h>

#include <cstring>

int main(int argc, char** argv) {
    // The base library restricts the search before main for every program that
    // links it; "plain" undoes that to show what an unprotected program loads.
    if (argc > 1 && std::strcmp(argv[1], "plain") == 0) {
        using SetFn = BOOL(WINAPI*)(DWORD);
        auto set = reinterpret_cast<SetFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
        if (set)
            set(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
        SetDllDirectoryW(nullptr);
    } else {
        quor::restrictDllSearchToSystem();
    }
    return LoadLibraryW(L"gdiplus.dll") ? 0 : 1;
}
