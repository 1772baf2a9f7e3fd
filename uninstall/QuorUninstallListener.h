#pragma once

#include <string>

// How the uninstaller's workers report to their controller. Every call may come
// from a worker thread.
class QuorUninstallListener {
public:
    virtual ~QuorUninstallListener() = default;
    virtual void onQuorRunning() = 0;
    virtual void onQuorClosed() = 0;
    virtual void onCleanProgress(const std::wstring& name, unsigned int step, unsigned int total) = 0;
    virtual void onCleanFinish() = 0;
};
