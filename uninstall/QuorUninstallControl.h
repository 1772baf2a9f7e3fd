#pragma once

#include "uninstall/QuorUninstallControlInterface.h"
#include "uninstall/QuorUninstallListener.h"

#include <string>

class QuorUninstallCore;
class QuorUninstallUI;

// The uninstaller's controller: chooses the run mode from the command line and
// routes the workers' reports to the notification object and the core.
class QuorUninstallControl : public QuorUninstallControlInterface, public QuorUninstallListener {
public:
    // Takes ownership of `ui`; a default notification object when null.
    explicit QuorUninstallControl(QuorUninstallUI* ui = nullptr);
    ~QuorUninstallControl() override;
    QuorUninstallControl(const QuorUninstallControl&) = delete;
    QuorUninstallControl& operator=(const QuorUninstallControl&) = delete;

    // Parses `commandLine` and runs its mode; returns the mode.
    int uninstall(const wchar_t* commandLine);

    void startCheck() override;

    void onQuorRunning() override;
    void onQuorClosed() override;
    void onCleanProgress(const std::wstring& name, unsigned int step, unsigned int total) override;
    void onCleanFinish() override;

    QuorUninstallCore& core() { return *m_core; }

private:
    void _initPath();

    QuorUninstallCore* m_core;
    QuorUninstallUI* m_ui;
};
