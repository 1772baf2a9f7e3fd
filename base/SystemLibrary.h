#pragma once

#include <windows.h>

#include <string>

namespace quor {

// Every DLL this system loads by name comes from the system folder, never from
// beside the program (both programs run elevated from folders anyone can write
// to). Windows 7 without the update that adds LOAD_LIBRARY_SEARCH_SYSTEM32
// refuses the flag with ERROR_INVALID_PARAMETER; there the DLL is loaded by its
// full path in the system folder instead.
using LoadLibraryExFn = HMODULE(WINAPI*)(LPCWSTR name, HANDLE file, DWORD flags);

HMODULE loadSystemLibrary(const wchar_t* name, LoadLibraryExFn load = LoadLibraryExW);

// The system folder's path of `name`; empty when the folder is unknown.
std::wstring systemLibraryPath(const wchar_t* name);

// A loaded system DLL, freed with its owner.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* name) : m_module(loadSystemLibrary(name)) {}
    ~SystemLibrary() {
        if (m_module)
            FreeLibrary(m_module);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const { return m_module != nullptr; }
    HMODULE get() const { return m_module; }
    // A function of the DLL as the typed pointer `Fn`, or null.
    template <typename Fn> Fn function(const char* name) const {
        return m_module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_module, name)))
                        : nullptr;
    }

private:
    HMODULE m_module;
};

} // namespace quor
