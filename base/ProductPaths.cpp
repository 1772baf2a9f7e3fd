#include "base/ProductPaths.h"

#include "base/KnownFolders.h"
#include "base/LogFile.h"
#include "base/Md5.h"

#include <windows.h>

namespace quor {

std::wstring normalizeInstallPath(const std::wstring& path) {
    std::wstring text;
    text.reserve(path.size());
    for (wchar_t c : path) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c == L'/')
            c = L'\\';
        // Collapsing while copying gives the same text as replacing "\\" until none is left.
        if (c == L'\\' && !text.empty() && text.back() == L'\\')
            continue;
        text += c;
    }
    size_t first = text.find_first_not_of(L'\\');
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = text.find_last_not_of(L'\\');
    return text.substr(first, last - first + 1);
}

std::wstring pathKey(const std::wstring& path) {
    std::wstring normalized = normalizeInstallPath(path);
    if (normalized.empty())
        return std::wstring();
    int length = static_cast<int>(normalized.size());
    int bytes = WideCharToMultiByte(CP_ACP, 0, normalized.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        logMessage(L"pathKey, cannot convert %s to the ANSI code page.", normalized.c_str());
        return std::wstring();
    }
    std::string ansi(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, normalized.data(), length, &ansi[0], bytes, nullptr, nullptr);
    return md5Hex(ansi.data(), ansi.size());
}

std::wstring productDataDir() {
    std::wstring appData = roamingAppDataFolder();
    if (appData.empty()) {
        logMessage(L"productDataDir, the application-data folder is unknown.");
        return std::wstring();
    }
    std::wstring directory = appData + L"\\belvane\\quor\\";
    createDirectoryTree(directory);
    return directory;
}

namespace {

std::wstring keyedDir(const wchar_t* folder, const std::wstring& installDirectory, bool create) {
    std::wstring key = pathKey(installDirectory);
    if (key.empty()) {
        logMessage(L"keyedDir, no path key for install directory '%s'.", installDirectory.c_str());
        return std::wstring();
    }
    std::wstring product = productDataDir();
    if (product.empty())
        return std::wstring();
    std::wstring directory = product + folder + key + L"\\";
    if (create)
        createDirectoryTree(directory);
    return directory;
}

} // namespace

std::wstring setupDataDir(const std::wstring& installDirectory) {
    return keyedDir(L"setup\\", installDirectory, true);
}

std::wstring updateCacheDir(const std::wstring& installDirectory) {
    return keyedDir(L"update\\", installDirectory, false);
}

} // namespace quor
