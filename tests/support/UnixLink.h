#pragma once

#include <windows.h>

#include <string>

// A folder link for tests under Wine: CreateSymbolicLinkW makes none there, but
// a Unix symbolic link appears to Windows programs as a directory with
// FILE_ATTRIBUTE_REPARSE_POINT. Wine runs a Unix program started by
// CreateProcessW without a waitable handle, so the link is awaited instead.
inline std::string unixPathOf(const std::wstring& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* name = toUnix(path.c_str());
    if (!name)
        return std::string();
    std::string text = name;
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Makes `link` (which must not exist) point at the folder `target`. False when
// this is not Wine or the link did not appear within five seconds.
inline bool makeFolderLink(const std::wstring& link, const std::wstring& target) {
    std::string from = unixPathOf(target), to = unixPathOf(link);
    if (from.empty() || to.empty())
        return false;
    while (to.size() > 1 && to.back() == '/')
        to.pop_back();
    std::wstring commandLine = L"ln -sT \"" + std::wstring(from.begin(), from.end()) + L"\" \"" +
                               std::wstring(to.begin(), to.end()) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\ln", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    std::wstring bare = link;
    while (bare.size() > 3 && bare.back() == L'\\')
        bare.pop_back();
    for (int i = 0; i < 250; ++i) {
        DWORD attributes = GetFileAttributesW(bare.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
        Sleep(20);
    }
    return false;
}

// Removes a link made by makeFolderLink (Wine cannot remove it itself), and
// only the link. True once it is gone.
inline bool removeFolderLink(const std::wstring& link) {
    std::string to = unixPathOf(link);
    while (to.size() > 1 && to.back() == '/')
        to.pop_back();
    if (to.empty())
        return false;
    std::wstring commandLine = L"rm -f \"" + std::wstring(to.begin(), to.end()) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\rm", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    std::wstring bare = link;
    while (bare.size() > 3 && bare.back() == L'\\')
        bare.pop_back();
    for (int i = 0; i < 250; ++i) {
        if (GetFileAttributesW(bare.c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(20);
    }
    return false;
}

// A folder link that goes again, link only, when the test ends.
class FolderLink {
public:
    FolderLink(const std::wstring& link, const std::wstring& target)
        : m_link(link), m_made(makeFolderLink(link, target)) {}
    ~FolderLink() {
        DWORD attributes = GetFileAttributesW(m_link.c_str());
        if (m_made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            removeFolderLink(m_link);
    }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;
    bool made() const { return m_made; }

private:
    std::wstring m_link;
    bool m_made;
};
