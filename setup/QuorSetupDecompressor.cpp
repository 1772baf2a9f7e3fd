#include "setup/QuorSetupDecompressor.h"

#include "base/LogFile.h"
#include "setup/QuorSetupListener.h"

QuorSetupDecompressor::~QuorSetupDecompressor() {
    stop();
}

int QuorSetupDecompressor::start(bool async) {
    if (async)
        return WorkerThread::start(0) ? 1 : 0;
    return decompress() ? 1 : 0;
}

void QuorSetupDecompressor::stop() {
    WorkerThread::stop();
}

void QuorSetupDecompressor::setListener(QuorSetupListener* listener) {
    m_listener = listener;
}

void QuorSetupDecompressor::forceQuit() {
    m_forceQuit.store(true);
}

void QuorSetupDecompressor::setSetupPath(const std::wstring& installDirectory) {
    m_installDirectory = installDirectory;
}

void QuorSetupDecompressor::run() {
    decompress();
}

bool QuorSetupDecompressor::decompress() {
    quor::logMessage(L"QuorSetupDecompressor::decompress, install directory is %s.",
                     m_installDirectory.c_str());
    if (m_listener) {
        m_listener->onDecompressBegin();
        m_listener->onDecompressFinish(true);
    }
    return true;
}
