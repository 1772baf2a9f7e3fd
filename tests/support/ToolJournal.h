#pragma once

#include "tests/support/Files.h"

#include <windows.h>

#include <string>
#include <vector>

// The journal that tests/uninstall/ToolRecorder.cpp appends to.
struct ToolRun {
    std::wstring program, commandLine, workingDirectory;
};

inline std::wstring toolJournalPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"quor-recorder-journal.txt";
}

inline std::vector<ToolRun> readToolJournal() {
    std::vector<ToolRun> runs;
    std::wstring text = utf16Text(readFileBytes(toolJournalPath()));
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(at, end - at);
        size_t a = line.find(L'|'), b = line.rfind(L'|');
        if (a != std::wstring::npos && b != a)
            runs.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
        at = end + 1;
    }
    return runs;
}
