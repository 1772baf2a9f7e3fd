#include "base/WorkerThread.h"

#include "base/LogFile.h"

namespace quor {

WorkerThread::~WorkerThread() {
    stop();
}

DWORD WINAPI WorkerThread::threadProc(LPVOID argument) {
    auto* block = static_cast<StartBlock*>(argument);
    block->self->run();
    return 0;
}

bool WorkerThread::start(int parameter) {
    if (m_thread) {
        // A finished thread of an earlier start is simply forgotten; a running
        // one must be stopped first, or two threads would share this object.
        if (WaitForSingleObject(m_thread, 0) != WAIT_OBJECT_0) {
            logMessage(L"WorkerThread::start, thread %d is still running.", static_cast<int>(m_threadId));
            return false;
        }
        CloseHandle(m_thread);
        m_thread = nullptr;
        m_threadId = 0;
    }
    m_stop.store(0);
    m_start.self = this;
    m_start.parameter = parameter;
    m_thread = CreateThread(nullptr, 0, &WorkerThread::threadProc, &m_start, 0, &m_threadId);
    if (!m_thread) {
        logMessage(L"WorkerThread::start, CreateThread failed, error %d.", static_cast<int>(GetLastError()));
        m_threadId = 0;
        return false;
    }
    return true;
}

void WorkerThread::wait() {
    // A thread waiting for itself would never wake up.
    if (m_thread && GetCurrentThreadId() != m_threadId)
        WaitForSingleObject(m_thread, INFINITE);
}

void WorkerThread::stop() {
    if (m_thread) {
        m_stop.store(1);
        if (GetCurrentThreadId() == m_threadId) {
            logMessage(L"WorkerThread::stop, called on its own thread; not waiting.");
            return;
        }
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    m_thread = nullptr;
    m_threadId = 0;
    m_stop.store(0);
}

} // namespace quor
