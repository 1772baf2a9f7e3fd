#pragma once

#include "tests/support/Files.h"
#include "tests/support/Process.h"

#include <windows.h>

#include <string>
#include <vector>

// Test payloads built with the tests: an archive and the tree it was packed from.
inline std::wstring testPayloadDirectory() {
    return testBinDirectory() + L"..\\tests\\payloads\\";
}

struct TreeFile {
    std::wstring relative; // "\" separators, relative to the tree's root
    bool isDirectory = false;
};

// Every file and folder below `root` (ends with "\"), parents before children.
inline void listTree(const std::wstring& root, const std::wstring& prefix, std::vector<TreeFile>& out) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + prefix + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out.push_back({prefix + name, directory});
        if (directory)
            listTree(root, prefix + name + L"\\", out);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

inline std::vector<TreeFile> listTree(const std::wstring& root) {
    std::vector<TreeFile> files;
    listTree(root, L"", files);
    return files;
}
