#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

namespace quor {

// A plain-text diagnostic log: UTF-16LE with a byte-order mark, one time-stamped
// record per call, written with a single write call so that threads can share
// the handle. The file is opened lazily by the first record and the open is
// retried while it fails; logging never fails a caller.
class LogFile {
public:
    static constexpr DWORD kSizeCap = 1048576;    // larger files are restarted at open
    static constexpr int kMessageCapacity = 2048; // wide characters, terminator included

    explicit LogFile(std::wstring directory, const wchar_t* fileName = L"setupV2.log");
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Only takes effect before the file is opened.
    void setFileName(const wchar_t* name);
    void write(const wchar_t* format, ...);
    void writeV(const wchar_t* format, va_list args);

    const std::wstring& path() const { return m_path; }
    const std::wstring& directory() const { return m_directory; }

private:
    bool ensureOpen();

    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_opened = false;
    std::wstring m_path;
    std::wstring m_directory;
};

// The process-wide log, created during static initialisation in the roaming
// application-data folder + "\belvane\quor\setup\".
LogFile& processLog();

void setLogFileName(const wchar_t* name);
void logMessage(const wchar_t* format, ...);

} // namespace quor
