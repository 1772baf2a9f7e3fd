#pragma once

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <string>

namespace quor {

// A plain-text diagnostic log: UTF-16LE with a byte-order mark, one time-stamped
// record per call, written with a single write call so that threads can share
// the handle. The file is opened for appending, so the records of two processes
// logging at once (a second installer, the uninstaller) all stay. It is opened
// lazily by the first record of any thread and the open is retried while it
// fails; logging never fails a caller.
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
    bool open();

    HANDLE m_file = INVALID_HANDLE_VALUE; // written once, before m_opened is set
    std::atomic<bool> m_opened{false};
    SRWLOCK m_openLock = SRWLOCK_INIT;  // the open and the file name
    SRWLOCK m_writeLock = SRWLOCK_INIT; // one record at a time
    std::wstring m_path;
    std::wstring m_directory;
};

// The process-wide log, created during static initialisation in the roaming
// application-data folder + "\belvane\quor\setup\".
LogFile& processLog();

void setLogFileName(const wchar_t* name);
void logMessage(const wchar_t* format, ...);

} // namespace quor
