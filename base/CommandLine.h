#pragma once

#include <string>
#include <vector>

namespace quor {

// Splits a command line into tokens. Separators are blank, tab, newline and "=".
// A token that starts with a double quote runs to the next double quote, which
// is dropped; without a closing quote it runs to the next separator.
std::vector<std::wstring> tokenizeCommandLine(const wchar_t* commandLine);

// The token after the first token equal to `name`, or empty. `present` tells
// whether the switch was there at all.
std::wstring tokenAfter(const std::vector<std::wstring>& tokens, const wchar_t* name, bool* present);

} // namespace quor
