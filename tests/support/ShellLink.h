#pragma once

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

#include <string>

// A shell link as the shell link object reads it back.
struct ShellLinkInfo {
    bool loaded = false;
    std::wstring target;
    std::wstring workingDir;
    std::wstring icon;
    int iconIndex = -1;
};

inline ShellLinkInfo readShellLink(const std::wstring& path) {
    ShellLinkInfo info;
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        info.loaded = true;
        wchar_t buffer[MAX_PATH * 2] = {};
        if (SUCCEEDED(link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH)))
            info.target = buffer;
        buffer[0] = 0;
        if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH * 2)))
            info.workingDir = buffer;
        buffer[0] = 0;
        if (SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH * 2, &info.iconIndex)))
            info.icon = buffer;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(init))
        CoUninitialize();
    return info;
}

// The target a link to `address` (a "quor://" address) reads back as: Windows
// keeps the text, Wine's link object makes a full file path of it.
inline bool sameLinkAddress(const std::wstring& stored, const std::wstring& address) {
    if (stored == address)
        return true;
    wchar_t full[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameW(address.c_str(), MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 && stored == full;
}

// Writes a link to `target` the way an earlier installation or the user would have.
inline bool writeShellLink(const std::wstring& path, const std::wstring& target,
                           const std::wstring& workingDir) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&link))) &&
              SUCCEEDED(link->SetPath(target.c_str())) &&
              SUCCEEDED(link->SetWorkingDirectory(workingDir.c_str())) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Save(path.c_str(), TRUE));
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}
