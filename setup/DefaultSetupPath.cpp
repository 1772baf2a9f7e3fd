#include "setup/DefaultSetupPath.h"

#include "base/LogFile.h"
#include "base/ProductRegistry.h"
#include "base/RegistryKey.h"

#include <shlobj.h>
#include <windows.h>

std::wstring defaultSetupPath() {
    std::wstring path;
    wchar_t programFiles[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)) ||
        !programFiles[0]) {
        path = L"C:\\Program Files\\belvane\\quor";
    } else {
        path = std::wstring(programFiles) + L"\\belvane\\quor";
        quor::RegistryKey key =
            quor::RegistryKey::open(HKEY_CURRENT_USER, quor::product::kProductKey, KEY_QUERY_VALUE);
        std::wstring root;
        // A stored bare drive root (3 characters or fewer) is no install directory.
        if (key.valid() && key.readString(quor::product::kRootPathValue, root) && root.size() > 3)
            path = root;
    }
    quor::logMessage(L"Initialized setup path is %s", path.c_str());
    return path;
}
