#pragma once

#include <windows.h>

#include <string>

namespace quor {

// An open registry key, closed when the object goes.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Creates the key (and missing parents) or opens it when it exists.
    static RegistryKey create(HKEY root, const wchar_t* subKey);
    // Opens an existing key only.
    static RegistryKey open(HKEY root, const wchar_t* subKey, REGSAM access);

    bool valid() const { return m_key != nullptr; }
    HKEY handle() const { return m_key; }

    // REG_SZ holding the string's code units without the terminating null, as
    // every value of the product is stored; readers accept both forms.
    bool setString(const wchar_t* name, const std::wstring& value);
    // Reads a string value with a buffer of `bufferBytes` bytes; false when the
    // value is missing, not a string, or larger than the buffer.
    bool readString(const wchar_t* name, std::wstring& value, DWORD bufferBytes = 2046) const;

private:
    explicit RegistryKey(HKEY key) : m_key(key) {}
    HKEY m_key = nullptr;
};

} // namespace quor
