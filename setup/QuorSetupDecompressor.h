#pragma once

#include "base/WorkerThread.h"
#include "setup/IDecompressOutput.h"

#include <windows.h>

#include <atomic>
#include <string>

class QuorSetupListener;

// The extraction worker: makes sure the product does not run, ends what runs
// from the versioned directory, removes leftovers of earlier installations and
// writes the embedded payload ("ZIP" resource 101) into its target directories.
// Runs on its own thread (interactive) or on the caller's (silent).
class QuorSetupDecompressor : public quor::WorkerThread, public IDecompressCancel {
public:
    QuorSetupDecompressor() = default;
    ~QuorSetupDecompressor() override;

    // Async: starts the thread and returns 1 when it runs (0 otherwise).
    // Otherwise runs the silent extraction on the caller's thread and returns 1 on success.
    virtual int start(bool async);
    virtual void stop();
    virtual void setListener(QuorSetupListener* listener);
    virtual void forceQuit();

    bool isStopRequested() override { return quor::WorkerThread::isStopRequested(); }

    // The normalised install directory (ends with "\").
    void setSetupPath(const std::wstring& installDirectory) { m_installDirectory = installDirectory; }
    const std::wstring& setupPath() const { return m_installDirectory; }
    bool isForceQuit() const { return m_forceQuit.load(); }

    void run() override { execute(); }
    void execute();
    bool _syncDecompress();

    bool _isQuorRunning(DWORD* processId);
    void _quitQuor(DWORD processId);
    void _quitQuorAssistant(DWORD processId);
    void _terminateVersionProcesses();
    HGLOBAL _load7zDataFromResource(DWORD* size);
    bool _decompress();
    void cleanUpFile();

private:
    // Checks the payload's places and room, then cleans up and extracts.
    bool _extract(HGLOBAL resource, DWORD size, IDecompressCancel* cancel);

    QuorSetupListener* m_listener = nullptr;
    std::wstring m_installDirectory;
    std::atomic<bool> m_forceQuit{false};
};
