#include "setup/QuorCheckStep.h"

#include "base/LogFile.h"
#include "setup/QuorSetupListener.h"
#include "setup/SetupMessages.h"

namespace {

// The installer mutex lives as long as the process: a later instance must see it.
HANDLE g_setupMutex = nullptr;

} // namespace

QuorCheckStep::~QuorCheckStep() {
    stop();
}

int QuorCheckStep::start(bool async) {
    if (async)
        return WorkerThread::start(0) ? 1 : 0;
    return check();
}

void QuorCheckStep::stop() {
    WorkerThread::stop();
}

void QuorCheckStep::setListener(QuorSetupListener* listener) {
    m_listener = listener;
}

void QuorCheckStep::run() {
    check();
}

int QuorCheckStep::check() {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kSetupMutexName);
    DWORD error = GetLastError();
    int result = CR_Success;
    // A mutex of another user's installer cannot be opened at all, which
    // means just the same: an installer is running.
    if ((mutex && error == ERROR_ALREADY_EXISTS) || (!mutex && error == ERROR_ACCESS_DENIED)) {
        if (mutex)
            CloseHandle(mutex);
        quor::logMessage(L"Check step, _isSetupExist return false [CR_SetupExist].");
        result = CR_SetupExist;
    } else {
        // A second check of this process finds its own mutex and reports it
        // above; the first handle is the one that stays open.
        if (mutex && !g_setupMutex)
            g_setupMutex = mutex;
        quor::logMessage(L"Check step finish, return [CR_Success].");
    }
    if (m_listener)
        m_listener->onCheckResult(result);
    return result;
}
