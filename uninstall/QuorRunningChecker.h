#pragma once

#include "base/WorkerThread.h"

#include <atomic>
#include <string>

class QuorUninstallListener;

// Waits on its own thread until the product no longer runs from the install
// directory, asking the listener each time it still does, then reports it closed.
class QuorRunningChecker : public quor::WorkerThread {
public:
    explicit QuorRunningChecker(QuorUninstallListener* listener) : m_listener(listener) {}
    ~QuorRunningChecker() override { stop(); }

    void setPath(const std::wstring& installPath) { m_path = installPath; }
    void setListener(QuorUninstallListener* listener) { m_listener = listener; }
    QuorUninstallListener* listener() const { return m_listener; }

    // True while a running product was reported and the user's answer is awaited.
    bool waitingForAnswer() const { return m_waiting.load(); }
    // The user's answer: check again.
    void answer() { m_answer = true; }

    // Whether "Quor.exe" runs from exactly installPath + "Quor.exe" (names and
    // paths compared case-sensitively).
    static bool isQuorRunning(const std::wstring& installPath);

protected:
    void run() override;

private:
    std::wstring m_path;
    QuorUninstallListener* m_listener;
    std::atomic<bool> m_answer{false};
    std::atomic<bool> m_waiting{false};
};
