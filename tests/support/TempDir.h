#pragma once

#include <windows.h>

#include <string>

// A fresh directory under the temp folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[64];
        static int counter = 0;
        wsprintfW(name, L"quor-test-%lu-%d\\", GetCurrentProcessId(), ++counter);
        m_path = std::wstring(base) + name;
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempDir() { removeTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Ends with a backslash.
    const std::wstring& path() const { return m_path; }

    static void removeTree(const std::wstring& directory) {
        std::wstring dir = directory;
        if (!dir.empty() && dir.back() != L'\\')
            dir += L'\\';
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((dir + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                std::wstring full = dir + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(full);
                } else {
                    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(dir.c_str());
    }

private:
    std::wstring m_path;
};
