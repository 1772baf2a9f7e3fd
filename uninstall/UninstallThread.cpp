#include "uninstall/UninstallThread.h"

UninstallThread::~UninstallThread() {
    stop();
}

DWORD WINAPI UninstallThread::threadProc(void* self) {
    static_cast<UninstallThread*>(self)->run();
    return 0;
}

bool UninstallThread::start() {
    stop();
    m_thread = CreateThread(nullptr, 0, threadProc, this, 0, nullptr);
    return m_thread != nullptr;
}

void UninstallThread::stop() {
    if (!m_thread)
        return;
    m_stop = true;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_stop = false;
}
