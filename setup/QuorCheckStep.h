#pragma once

#include "base/WorkerThread.h"

class QuorSetupListener;

// The environment check: takes the installer mutex, which a running installer
// keeps for the rest of its process, and reports whether another one runs.
class QuorCheckStep : public quor::WorkerThread {
public:
    QuorCheckStep() = default;
    ~QuorCheckStep() override;

    // Async: starts the thread and returns 1 when it runs (0 otherwise).
    // Otherwise runs the check here and returns its result.
    virtual int start(bool async);
    virtual void stop();
    virtual void setListener(QuorSetupListener* listener);

    void run() override;

private:
    int check();

    QuorSetupListener* m_listener = nullptr;
};
