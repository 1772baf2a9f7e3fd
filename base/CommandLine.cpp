#include "base/CommandLine.h"

#include <cwchar>

namespace quor {

namespace {

bool isSeparator(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'=';
}

} // namespace

std::vector<std::wstring> tokenizeCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> tokens;
    if (!commandLine)
        return tokens;
    const wchar_t* p = commandLine;
    while (*p) {
        while (*p && isSeparator(*p))
            ++p;
        if (!*p)
            break;
        if (*p == L'"') {
            const wchar_t* close = std::wcschr(p + 1, L'"');
            if (close) {
                tokens.emplace_back(p + 1, close);
                p = close + 1;
                continue;
            }
            ++p; // unterminated: the quote is dropped, the token ends at a separator
        }
        const wchar_t* start = p;
        while (*p && !isSeparator(*p))
            ++p;
        if (p > start)
            tokens.emplace_back(start, p);
    }
    return tokens;
}

std::wstring tokenAfter(const std::vector<std::wstring>& tokens, const wchar_t* name, bool* present) {
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == name) {
            if (present)
                *present = true;
            return i + 1 < tokens.size() ? tokens[i + 1] : std::wstring();
        }
    }
    if (present)
        *present = false;
    return std::wstring();
}

} // namespace quor
