#pragma once

#include <windows.h>

#include <string>

// Raw registry reads for assertions: the type and the exact bytes stored.
struct RegistryValue {
    bool found = false;
    DWORD type = 0;
    std::string bytes;
    // The stored code units, without a terminator if one was stored.
    std::wstring text() const {
        std::wstring s(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        if (!s.empty() && s.back() == L'\0')
            s.pop_back();
        return s;
    }
};

inline RegistryValue readRegistryValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    RegistryValue value;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(handle, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.found = RegQueryValueExW(handle, name, nullptr, &value.type,
                                       reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(handle);
    return value;
}

inline void deleteRegistryValue(HKEY root, const std::wstring& key, const wchar_t* name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueW(handle, name);
        RegCloseKey(handle);
    }
}

inline void setRegistryString(HKEY root, const std::wstring& key, const wchar_t* name,
                              const std::wstring& data) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
}

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
    deleteRegistryValue(HKEY_CURRENT_USER, key, name);
}
