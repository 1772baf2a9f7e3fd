#include "setup/QuorSetupCore.h"

#include "base/LogFile.h"
#include "setup/QuorCheckStep.h"
#include "setup/QuorSetupDecompressor.h"

QuorSetupCore::QuorSetupCore(QuorSetupListener* listener)
    : m_checkStep(new QuorCheckStep), m_decompressor(new QuorSetupDecompressor) {
    m_checkStep->setListener(listener);
    m_decompressor->setListener(listener);
}

QuorSetupCore::~QuorSetupCore() {
    m_checkStep->stop();
    delete m_checkStep;
    m_decompressor->stop();
    delete m_decompressor;
    // The runtime-assembly thread is waited for only by finishSetup.
    if (m_crtThread)
        CloseHandle(m_crtThread);
}

void QuorSetupCore::setSetupPath(const std::wstring& path) {
    std::wstring directory = path;
    // Trailing separators of either kind count as one, so that "C:/" or "C:\\"
    // is recognised as the bare drive root it names.
    while (!directory.empty() && (directory.back() == L'\\' || directory.back() == L'/'))
        directory.pop_back();
    if (directory.empty()) {
        quor::logMessage(L"QuorSetupCore::setSetupPath, refused the path '%s'.", path.c_str());
        return;
    }
    directory += L'\\';
    if (directory.size() == 3)
        directory += L"belvane\\quor\\";
    m_installDirectory = directory;
    m_decompressor->setSetupPath(m_installDirectory);
}

int QuorSetupCore::startCheck(bool async) {
    return m_checkStep->start(async);
}

void QuorSetupCore::stopCheck() {
    m_checkStep->stop();
}

int QuorSetupCore::startDecompress(bool async) {
    return m_decompressor->start(async);
}

void QuorSetupCore::stopDecompress() {
    m_decompressor->stop();
}

void QuorSetupCore::forceQuit() {
    m_decompressor->forceQuit();
}

void QuorSetupCore::doAfterDecompress() {}

void QuorSetupCore::_installCrt() {}

void QuorSetupCore::setCrtThread(HANDLE thread) {
    if (m_crtThread)
        CloseHandle(m_crtThread);
    m_crtThread = thread;
}

void QuorSetupCore::waitCrt() {
    if (!m_crtThread)
        return;
    if (WaitForSingleObject(m_crtThread, kCrtWaitMs) == WAIT_TIMEOUT) {
        quor::logMessage(
            L"QuorSetupCore::waitCrt, the runtime installation did not end in time; terminated.");
        TerminateThread(m_crtThread, 0);
    }
    CloseHandle(m_crtThread);
    m_crtThread = nullptr;
}

void QuorSetupCore::runQuor() {}

void QuorSetupCore::setAutoRun() {}

void QuorSetupCore::viewReleaseNote() {}

void QuorSetupCore::collectBelvane() {}

void QuorSetupCore::openBelvanePage() {}

void QuorSetupCore::createGameBoxShortcut() {}
