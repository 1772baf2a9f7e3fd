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
