#include "uninstall/ProductInstallation.h"

#include "base/ProductInfo.h"

#include <windows.h>

#include <shlwapi.h>

namespace {

bool isFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool isProductInstallation(const std::wstring& directory) {
    if (directory.empty())
        return false;
    std::wstring dir = directory;
    if (dir.back() != L'\\')
        dir += L'\\';
    DWORD a = GetFileAttributesW(dir.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(dir.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH || PathIsRootW(full))
        return false;
    return isFile(dir + quor::product::kLauncherXml) || isFile(dir + quor::product::kProductExe);
}
