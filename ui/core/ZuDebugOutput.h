#pragma once

#include <ostream>

// The toolkit's diagnostics: each line goes to the debugger output and,
// prefixed with "Debug: ", to a process-wide wide text stream.
void zuDebugLine(const wchar_t* text);
void zuDebugLine(const wchar_t* text, long long number);
void zuDebugLine(const wchar_t* text, double number);
// Null restores the default stream (standard error). Returns the previous one.
std::wostream* zuSetDebugStream(std::wostream* stream);
