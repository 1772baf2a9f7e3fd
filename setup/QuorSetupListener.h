#pragma once

#include <string>

// How the installer's workers report to the controller. Called on the
// workers' own threads, or on the main thread in silent mode.
class QuorSetupListener {
public:
    virtual ~QuorSetupListener() = default;
    virtual void onCheckResult(int result) = 0;
    virtual void onQuorRunning() = 0;
    virtual void onDecompressBegin() = 0;
    virtual void onDecompressProgress(int index, int count) = 0;
    virtual void onDecompressFail(const std::wstring& path) = 0;
    virtual void onDecompressFinish(bool ok) = 0;
};
