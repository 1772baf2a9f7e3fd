#pragma once

#include "base/WorkerThread.h"

#include <atomic>
#include <string>

class QuorSetupListener;

// The extraction worker: extracts the payload into the install directory and
// runs the system integration after it, reporting through the listener.
// Until the extraction exists it writes nothing and reports success.
class QuorSetupDecompressor : public quor::WorkerThread {
public:
    QuorSetupDecompressor() = default;
    ~QuorSetupDecompressor() override;

    // Async: starts the thread and returns 1 when it runs (0 otherwise).
    // Otherwise extracts on the caller's thread and returns 1 on success.
    virtual int start(bool async);
    virtual void stop();
    virtual void setListener(QuorSetupListener* listener);
    // The user agreed that the running product be closed.
    virtual void forceQuit();

    void setSetupPath(const std::wstring& installDirectory);
    const std::wstring& setupPath() const { return m_installDirectory; }
    bool isForceQuit() const { return m_forceQuit.load(); }

    void run() override;

private:
    bool decompress();

    QuorSetupListener* m_listener = nullptr;
    std::wstring m_installDirectory;
    std::atomic<bool> m_forceQuit{false};
};
