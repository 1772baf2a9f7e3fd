#include "base/DllSearch.h"

#include <windows.h>

namespace quor {

void restrictDllSearchToSystem() {
    // Looked up by name: systems without the call still start, with the
    // current directory at least taken out of the search.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

namespace {
// Runs before any other static initialiser of ours (the log among them).
__attribute__((constructor(101))) void restrictBeforeStaticInit() {
    restrictDllSearchToSystem();
}
} // namespace

} // namespace quor
