#include "product/ProductJournal.h"

#include "base/KnownFolders.h"

#include <windows.h>

namespace quor::product {

namespace {

std::string toUtf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                            nullptr);
    return bytes;
}

} // namespace

std::wstring journalLine() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    return std::wstring(program) + L"\t" + GetCommandLineW() + L"\t" + directory + L"\r\n";
}

bool appendToJournal() {
    std::wstring folder = roamingAppDataFolder();
    if (folder.empty())
        return false;
    folder += L"\\belvane\\quor\\";
    createDirectoryTree(folder);
    std::string line = toUtf8(journalLine());
    // Programs started together may race for the file; appends are whole lines,
    // so a short wait for a sharing conflict is all that is needed.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file = CreateFileW((folder + kJournalFileName).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(20);
            continue;
        }
        DWORD written = 0;
        BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(file);
        return ok && written == line.size();
    }
    return false;
}

} // namespace quor::product
