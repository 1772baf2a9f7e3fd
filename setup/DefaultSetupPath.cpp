#include "setup/DefaultSetupPath.h"

#include "base/LogFile.h"

#include <shlobj.h>
#include <windows.h>

#include <cwchar>

namespace {

// Closes the key on every way out.
struct RegistryKey {
    HKEY key = nullptr;
    ~RegistryKey() {
        if (key)
            RegCloseKey(key);
    }
};

} // namespace

std::wstring defaultSetupPath() {
    std::wstring path;
    wchar_t programFiles[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)) ||
        !programFiles[0]) {
        path = L"C:\\Program Files\\belvane\\quor";
    } else {
        path = std::wstring(programFiles) + L"\\belvane\\quor";
        RegistryKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\belvane\\quor", 0, KEY_QUERY_VALUE, &key.key) ==
            ERROR_SUCCESS) {
            wchar_t value[1023] = {};
            DWORD type = 0;
            DWORD size = sizeof value - sizeof(wchar_t); // room for a terminator the value may lack
            if (RegQueryValueExW(key.key, L"RootPath", nullptr, &type, reinterpret_cast<BYTE*>(value),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ) {
                size_t length = wcsnlen(value, size / sizeof(wchar_t));
                if (length > 3)
                    path.assign(value, length);
            }
        }
    }
    quor::logMessage(L"Initialized setup path is %s", path.c_str());
    return path;
}
