#pragma once

#include "tests/support/Files.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// Lines of the tool recorder's journal (tests/setup/ToolRecorder.cpp), sorted by
// process creation time, that is in the order the programs were started.
struct JournalEntry {
    unsigned long long created = 0;
    std::wstring program;
    std::wstring commandLine;
    std::wstring currentDir;
};

inline std::vector<JournalEntry> readJournal(const std::wstring& path) {
    std::vector<JournalEntry> entries;
    std::wstring text = utf16Text(readFileBytes(path));
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L"\r\n", at);
        if (end == std::wstring::npos)
            break;
        std::wstring line = text.substr(at, end - at);
        at = end + 2;
        std::vector<std::wstring> fields;
        size_t from = 0;
        for (size_t tab; (tab = line.find(L'\t', from)) != std::wstring::npos; from = tab + 1)
            fields.push_back(line.substr(from, tab - from));
        fields.push_back(line.substr(from));
        if (fields.size() != 4)
            continue;
        entries.push_back({std::stoull(fields[0]), fields[1], fields[2], fields[3]});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const JournalEntry& a, const JournalEntry& b) { return a.created < b.created; });
    return entries;
}

// Waits until the journal holds at least `count` lines (or the time is up).
inline std::vector<JournalEntry> waitForJournal(const std::wstring& path, size_t count,
                                                DWORD timeoutMs = 30000) {
    DWORD start = GetTickCount();
    std::vector<JournalEntry> entries = readJournal(path);
    while (entries.size() < count && GetTickCount() - start < timeoutMs) {
        Sleep(100);
        entries = readJournal(path);
    }
    return entries;
}

// The arguments after the program name, as the C runtime of the started program splits them.
inline std::vector<std::wstring> argumentsOf(const std::wstring& commandLine) {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
    if (!argv)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}

inline std::wstring withoutTrailingBackslash(std::wstring path) {
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    return path;
}
