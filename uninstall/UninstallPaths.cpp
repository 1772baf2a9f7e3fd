#include "uninstall/UninstallPaths.h"

#include "base/KnownFolders.h"

#include <windows.h>

#include <wincrypt.h>

#include <cwchar>

std::wstring uninstallProductDataDir() {
    std::wstring dir = quor::roamingAppDataFolder() + L"\\belvane\\quor\\";
    quor::createDirectoryTree(dir);
    return dir;
}

std::wstring uninstallPathKey(const std::wstring& path) {
    std::wstring s;
    for (wchar_t c : path) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c == L'/')
            c = L'\\';
        if (c == L'\\' && !s.empty() && s.back() == L'\\')
            continue;
        s += c;
    }
    size_t first = s.find_first_not_of(L'\\');
    if (first == std::wstring::npos)
        return std::wstring();
    s = s.substr(first, s.find_last_not_of(L'\\') - first + 1);
    int n =
        WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), &bytes[0], n, nullptr, nullptr);
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return std::wstring();
    std::wstring key;
    HCRYPTHASH hash = 0;
    if (CryptCreateHash(provider, CALG_MD5, 0, 0, &hash)) {
        BYTE digest[16];
        DWORD size = sizeof digest;
        if (CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                          0) &&
            CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
            wchar_t hex[3];
            for (BYTE b : digest) {
                swprintf(hex, 3, L"%02x", b);
                key += hex;
            }
        }
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    return key;
}

std::wstring uninstallSetupDataDir(const std::wstring& installDir) {
    std::wstring dir = uninstallProductDataDir() + L"setup\\" + uninstallPathKey(installDir) + L"\\";
    quor::createDirectoryTree(dir);
    return dir;
}

void uninstallEmptyDirectory(const std::wstring& directory) {
    std::wstring dir = directory;
    if (!dir.empty() && dir.back() != L'\\')
        dir += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring full = dir + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                uninstallEmptyDirectory(full);
            RemoveDirectoryW(full.c_str());
        } else {
            DeleteFileW(full.c_str());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}
