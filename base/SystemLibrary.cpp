#include "base/SystemLibrary.h"

namespace quor {

std::wstring systemLibraryPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::wstring();
    std::wstring path(folder, n);
    if (path.back() != L'\\')
        path += L'\\';
    return path + name;
}

HMODULE loadSystemLibrary(const wchar_t* name, LoadLibraryExFn load) {
    if (!name || !*name)
        return nullptr;
    HMODULE module = load(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    // The flag is unknown to this system: a full path never searches, and the
    // altered search path makes the DLL's own imports come from its folder too.
    std::wstring path = systemLibraryPath(name);
    if (path.empty())
        return nullptr;
    return load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

} // namespace quor
