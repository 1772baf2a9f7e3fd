#include "base/LogFile.h"

#include "base/KnownFolders.h"

#include <cstdio>
#include <cwchar>

namespace quor {

LogFile::LogFile(std::wstring directory, const wchar_t* fileName) : m_directory(std::move(directory)) {
    m_path = m_directory + fileName;
    createDirectoryTree(m_directory);
}

LogFile::~LogFile() {
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

void LogFile::setFileName(const wchar_t* name) {
    if (!m_opened)
        m_path = m_directory + name;
}

bool LogFile::ensureOpen() {
    if (m_opened)
        return true;
    DWORD attributes = GetFileAttributesW(m_path.c_str());
    bool existingFile = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              existingFile ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    if (size.QuadPart > 0 && size.QuadPart <= kSizeCap) {
        SetFilePointer(file, 0, nullptr, FILE_END);
    } else {
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        static const unsigned char bom[2] = {0xFF, 0xFE};
        DWORD written = 0;
        WriteFile(file, bom, sizeof bom, &written, nullptr);
    }
    m_file = file;
    m_opened = true;
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
    DWORD written = 0;
    WriteFile(m_file, record, static_cast<DWORD>(length * sizeof(wchar_t)), &written, nullptr);
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
