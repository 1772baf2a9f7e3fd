#pragma once

#include <windows.h>

#include <atomic>

namespace quor {

// A thread object: `run` is the thread body, `start` creates the thread and
// `stop` asks it to end through a polled flag and waits for it. A derived class
// must call `stop` in its own destructor, because once it is destroyed its run
// can no longer be executed safely; the base destructor calls it again as a
// last resort.
class WorkerThread {
public:
    WorkerThread() = default;
    virtual ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    virtual void run() = 0;

    // Creates the thread, running at once. False when a previous thread of this
    // object still runs or the thread cannot be created.
    bool start(int parameter = 0);
    // Waits for the thread without a time limit; returns at once without one.
    void wait();
    // Sets the stop flag, waits for the thread and forgets it.
    void stop();

    bool isStopRequested() const { return m_stop.load() != 0; }
    bool hasThread() const { return m_thread != nullptr; }
    DWORD threadId() const { return m_threadId; }
    int parameter() const { return m_start.parameter; }

private:
    static DWORD WINAPI threadProc(LPVOID argument);

    HANDLE m_thread = nullptr;
    std::atomic<int> m_stop{0};
    DWORD m_threadId = 0;
    struct StartBlock {
        WorkerThread* self = nullptr;
        int parameter = 0;
    } m_start;
};

} // namespace quor
