#include "ui/core/ZuDebugOutput.h"

#include <windows.h>

#include <iostream>
#include <string>

namespace {
std::wostream* g_stream = nullptr;

void emitLine(const std::wstring& line) {
    OutputDebugStringW(line.c_str());
    std::wostream& out = g_stream ? *g_stream : std::wcerr;
    out << L"Debug: " << line << L"\n";
}
} // namespace

void zuDebugLine(const wchar_t* text) {
    emitLine(text ? text : L"");
}

void zuDebugLine(const wchar_t* text, long long number) {
    emitLine(std::wstring(text ? text : L"") + L" " + std::to_wstring(number));
}

void zuDebugLine(const wchar_t* text, double number) {
    wchar_t digits[64];
    _snwprintf(digits, 63, L"%g", number);
    digits[63] = 0;
    emitLine(std::wstring(text ? text : L"") + L" " + digits);
}

std::wostream* zuSetDebugStream(std::wostream* stream) {
    std::wostream* old = g_stream;
    g_stream = stream;
    return old;
}
