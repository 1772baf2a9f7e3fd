#pragma once

#include "ui/core/ZuDebugOutput.h"

#include <sstream>
#include <string>

// Collects the toolkit's debug lines while it lives.
class DebugCapture {
public:
    DebugCapture() { m_previous = zuSetDebugStream(&m_stream); }
    ~DebugCapture() { zuSetDebugStream(m_previous); }
    std::wstring text() const { return m_stream.str(); }
    bool contains(const wchar_t* needle) const { return text().find(needle) != std::wstring::npos; }
    void clear() { m_stream.str(L""); }

private:
    std::wostringstream m_stream;
    std::wostream* m_previous = nullptr;
};
