#pragma once

#include "setup/QuorSetupListener.h"

#include <string>

class QuorSetupCore;
class QuorSetupUI;

// The installer's controller: picks the run mode, finds the default install
// directory, runs the check, starts and stops the extraction, reacts to the
// workers' reports and ends the program with an exit code. Windows call the
// control operations on the UI thread; workers report through the listener.
class QuorSetupControl : public QuorSetupListener {
public:
    QuorSetupControl();
    // Deletes the core (stopping its workers), then the notification object and its windows.
    ~QuorSetupControl() override;
    QuorSetupControl(const QuorSetupControl&) = delete;
    QuorSetupControl& operator=(const QuorSetupControl&) = delete;

    virtual void startCheck();
    virtual void stopCheck();
    virtual void setSetupPath(const std::wstring& path);
    virtual void forceQuit();
    virtual void startDecompress(bool async);
    virtual void stopDecompress();
    virtual void finishSetup();
    virtual void runQuor();
    virtual void setAutoRun();
    virtual void viewReleaseNote();
    virtual void collectBelvane();
    virtual void openBelvanePage();
    virtual void createGameBoxShortcut();

    // Reads the process command line.
    void startSetup();
    // The same for a given command line (program path first).
    void startSetup(const wchar_t* commandLine);

    void onCheckResult(int result) override;
    void onQuorRunning() override;
    void onDecompressBegin() override;
    void onDecompressProgress(int index, int count) override;
    void onDecompressFail(const std::wstring& path) override;
    void onDecompressFinish(bool ok) override;

    const std::wstring& setupPath() const { return m_setupPath; }
    bool isSilent() const { return m_silent; }
    QuorSetupCore* core() const { return m_core; }

private:
    void continueSilently();
    // Posts the quit request with `code` once; later requests are ignored.
    void quit(int code);

    QuorSetupUI* m_ui;
    QuorSetupCore* m_core;
    std::wstring m_setupPath;
    bool m_silent = false;
    bool m_quitRequested = false;
};
