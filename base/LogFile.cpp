#include "base/LogFile.h"

#include "base/KnownFolders.h"

#include <cstdio>
#include <cwchar>

namespace quor {

namespace {
// The lock every writer of a log takes: a byte far beyond any real log, so
// that it never stands in a record's way.
OVERLAPPED guardByte() {
    OVERLAPPED guard = {};
    guard.OffsetHigh = 0x40000000;
    return guard;
}
} // namespace

LogFile::LogFile(std::wstring directory, const wchar_t* fileName) : m_directory(std::move(directory)) {
    m_path = m_directory + fileName;
    createDirectoryTree(m_directory);
}

LogFile::~LogFile() {
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

void LogFile::setFileName(const wchar_t* name) {
    AcquireSRWLockExclusive(&m_openLock);
    if (!m_opened.load())
        m_path = m_directory + name;
    ReleaseSRWLockExclusive(&m_openLock);
}

bool LogFile::ensureOpen() {
    if (m_opened.load(std::memory_order_acquire))
        return true;
    // Threads writing their first records at once open the file only once.
    AcquireSRWLockExclusive(&m_openLock);
    bool opened = m_opened.load() || open();
    ReleaseSRWLockExclusive(&m_openLock);
    return opened;
}

bool LogFile::open() {
    // An existing file is opened, a missing one created; a directory in the way fails.
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Another process may open the same log at this moment: the size is looked
    // at, and the file restarted, under the lock of the records.
    OVERLAPPED guard = guardByte();
    bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &guard) != 0;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    if (size.QuadPart == 0 || size.QuadPart > kSizeCap) {
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        static const unsigned char bom[2] = {0xFF, 0xFE};
        DWORD written = 0;
        WriteFile(file, bom, sizeof bom, &written, nullptr);
    }
    if (locked)
        UnlockFileEx(file, 0, 1, 0, &guard);
    CloseHandle(file);
    // Append-only access: every record goes to the end of the file as it is
    // then, never over a record another process wrote meanwhile.
    // (Read access only for the lock; without write-data access the position is always the end.)
    HANDLE append =
        CreateFileW(m_path.c_str(), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (append == INVALID_HANDLE_VALUE)
        return false;
    m_file = append;
    m_opened.store(true, std::memory_order_release);
    return true;
}

void LogFile::writeV(const wchar_t* format, va_list args) {
    wchar_t message[kMessageCapacity];
    // The runtime's own formatter: "%s" takes a wide string here.
    int n = _vsnwprintf(message, kMessageCapacity - 1, format, args);
    message[kMessageCapacity - 1] = 0;
    if (n < 0 || n >= kMessageCapacity - 1)
        message[kMessageCapacity - 1] = 0;

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t record[kMessageCapacity + 32];
    int length =
        _snwprintf(record, sizeof record / sizeof record[0], L"[%4d-%.2d-%.2d %.2d:%.2d:%.2d] %s\r\n",
                   now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, message);
    if (length < 0)
        return;
    if (!ensureOpen())
        return;
    // Appending is one step on Windows, but not everywhere (Wine finds the end
    // and then writes): the records of this process's threads, and of other
    // processes, take their turns.
    AcquireSRWLockExclusive(&m_writeLock);
    OVERLAPPED guard = guardByte();
    bool locked = LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &guard) != 0;
    DWORD written = 0;
    WriteFile(m_file, record, static_cast<DWORD>(length * sizeof(wchar_t)), &written, nullptr);
    if (locked)
        UnlockFileEx(m_file, 0, 1, 0, &guard);
    ReleaseSRWLockExclusive(&m_writeLock);
}

void LogFile::write(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    writeV(format, args);
    va_end(args);
}

LogFile& processLog() {
    static LogFile log(roamingAppDataFolder() + L"\\belvane\\quor\\setup\\");
    return log;
}

namespace {
// Created before the entry function runs, so that its directory exists by then.
[[maybe_unused]] LogFile& g_processLog = processLog();
} // namespace

void setLogFileName(const wchar_t* name) {
    processLog().setFileName(name);
}

void logMessage(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    processLog().writeV(format, args);
    va_end(args);
}

} // namespace quor
