#pragma once

#include <windows.h>

#include <string>

// Registry set-up and checks under HKEY_CURRENT_USER for tests.
inline bool setUserValue(const wchar_t* key, const wchar_t* name, const std::wstring& data) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size() * 2));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

inline bool userKeyExists(const wchar_t* key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

inline bool userValueExists(const wchar_t* key, const wchar_t* name) {
    return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

inline void deleteUserValue(const wchar_t* key, const wchar_t* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
        RegDeleteValueW(h, name);
        RegCloseKey(h);
    }
}
