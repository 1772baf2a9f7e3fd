#pragma once

#include <windows.h>

#include <atomic>

// A thread object with a virtual body and a polled stop request: start runs the
// body on a new thread, stop asks it to end and waits for it. Kept private to the
// uninstaller until the shared worker class of the foundation replaces it.
class UninstallThread {
public:
    UninstallThread() = default;
    virtual ~UninstallThread();
    UninstallThread(const UninstallThread&) = delete;
    UninstallThread& operator=(const UninstallThread&) = delete;

    // Joins a previous run first, so at most one thread exists per object.
    bool start();
    void stop();
    bool running() const { return m_thread != nullptr; }

protected:
    virtual void run() = 0;
    bool stopRequested() const { return m_stop.load(); }

private:
    static DWORD WINAPI threadProc(void* self);

    HANDLE m_thread = nullptr;
    std::atomic<bool> m_stop{false};
};
