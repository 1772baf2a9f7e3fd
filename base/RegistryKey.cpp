#include "base/RegistryKey.h"

#include <utility>
#include <vector>

namespace quor {

RegistryKey::~RegistryKey() {
    if (m_key)
        RegCloseKey(m_key);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        if (m_key)
            RegCloseKey(m_key);
        m_key = std::exchange(other.m_key, nullptr);
    }
    return *this;
}

RegistryKey RegistryKey::create(HKEY root, const wchar_t* subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return RegistryKey();
    return RegistryKey(key);
}

RegistryKey RegistryKey::open(HKEY root, const wchar_t* subKey, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey, 0, access, &key) != ERROR_SUCCESS)
        return RegistryKey();
    return RegistryKey(key);
}

bool RegistryKey::setString(const wchar_t* name, const std::wstring& value) {
    if (!m_key)
        return false;
    // The registry adds a terminator when the code unit after the counted data
    // is a null; a non-null sentinel there keeps the stored size at length x 2.
    std::vector<wchar_t> data(value.begin(), value.end());
    data.push_back(L'\x1');
    const DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.data()), bytes) ==
           ERROR_SUCCESS;
}

bool RegistryKey::readString(const wchar_t* name, std::wstring& value, DWORD bufferBytes) const {
    if (!m_key || bufferBytes < sizeof(wchar_t))
        return false;
    std::vector<wchar_t> buffer(bufferBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD type = 0;
    DWORD size = bufferBytes;
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    // The stored data may or may not carry a terminator; the extra slot keeps one.
    size_t count = size / sizeof(wchar_t);
    buffer[count] = L'\0';
    value.assign(buffer.data());
    return true;
}

} // namespace quor
