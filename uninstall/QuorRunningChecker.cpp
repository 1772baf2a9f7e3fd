#include "uninstall/QuorRunningChecker.h"

#include "base/LogFile.h"
#include "base/ProcessImage.h"
#include "base/ProductInfo.h"
#include "uninstall/QuorUninstallListener.h"

bool QuorRunningChecker::isQuorRunning(const std::wstring& installPath) {
    const std::wstring product = installPath + quor::product::kProductExe;
    for (const quor::ProcessEntry& process : quor::listProcesses()) {
        if (process.exeName != quor::product::kProductExe)
            continue;
        if (quor::processImagePath(process.id) == product)
            return true;
    }
    return false;
}

void QuorRunningChecker::run() {
    QuorUninstallListener* listener = m_listener;
    if (listener) {
        while (isQuorRunning(m_path)) {
            quor::logMessage(L"QuorRunningChecker::run, Quor is running from %s.", m_path.c_str());
            m_answer = false;
            m_waiting = true;
            listener->onQuorRunning();
            while (!m_answer && !isStopRequested())
                Sleep(10);
            m_waiting = false;
            if (isStopRequested())
                return;
        }
    }
    quor::logMessage(L"QuorRunningChecker::run, Quor is not running.");
    if (listener)
        listener->onQuorClosed();
}
