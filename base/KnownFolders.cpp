#include "base/KnownFolders.h"

#include <shlobj.h>
#include <windows.h>

namespace quor {

std::wstring roamingAppDataFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

bool createDirectoryTree(const std::wstring& directory) {
    if (directory.empty())
        return false;
    int rc = SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);
    if (rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS || rc == ERROR_FILE_EXISTS)
        return GetFileAttributesW(directory.c_str()) & FILE_ATTRIBUTE_DIRECTORY;
    return false;
}

} // namespace quor
