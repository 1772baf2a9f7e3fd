#pragma once

#include <windows.h>

#include <string>

// A fresh directory under the temp folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[80];
        static int counter = 0;
        // Wine gives the first process of a fresh server the same id every time,
        // so the id alone would meet what an earlier suite could not remove.
        LARGE_INTEGER now = {};
        QueryPerformanceCounter(&now);
        wsprintfW(name, L"quor-test-%lu-%lx-%d\\", GetCurrentProcessId(), static_cast<unsigned long>(now.LowPart),
                  ++counter);
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
