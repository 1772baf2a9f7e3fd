#pragma once

#include <windows.h>

#include <utility>

namespace quor {

// One owner per system handle, closed when the owner goes. The kinds differ
// only in what the system returns for "no handle" and how the handle is closed.
template <typename Kind> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    // Neither the kind's own "no handle" value nor null.
    bool valid() const { return m_handle && m_handle != Kind::invalid(); }
    explicit operator bool() const { return valid(); }
    HANDLE get() const { return m_handle; }
    HANDLE release() { return std::exchange(m_handle, Kind::invalid()); }
    void reset(HANDLE handle = Kind::invalid()) {
        if (valid())
            Kind::close(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = Kind::invalid();
};

// Processes, threads, mutexes, events: null when there is none.
struct KernelHandleKind {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
// Files and Tool Help snapshots: INVALID_HANDLE_VALUE when there is none.
struct FileHandleKind {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { CloseHandle(handle); }
};
// Directory listings of FindFirstFileW.
struct FindHandleKind {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) { FindClose(handle); }
};

using ProcessHandle = UniqueHandle<KernelHandleKind>;
using KernelHandle = UniqueHandle<KernelHandleKind>;
using FileHandle = UniqueHandle<FileHandleKind>;
using SnapshotHandle = UniqueHandle<FileHandleKind>;
using FindHandle = UniqueHandle<FindHandleKind>;

} // namespace quor
