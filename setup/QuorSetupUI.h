#pragma once

#include <windows.h>

#include <string>

class QuorSetupControl;
class QuorSetupWindow;

// The installer's process-wide notification object: turns the controller's
// reports into messages posted to the check window or the main window. Safe
// to call from worker threads; a message for a window that does not exist is
// dropped with a log line.
class QuorSetupUI {
public:
    // The process-wide instance, created on first request.
    static QuorSetupUI* instance();
    // Makes `ui` the instance if there is none yet; false otherwise (the caller keeps it).
    static bool installInstance(QuorSetupUI* ui);
    // Deletes the instance and with it both windows.
    static void destroyInstance();

    QuorSetupUI() = default;
    virtual ~QuorSetupUI();
    QuorSetupUI(const QuorSetupUI&) = delete;
    QuorSetupUI& operator=(const QuorSetupUI&) = delete;

    virtual void showCheckUI();
    virtual void showSetupMainUI(const std::wstring& path);
    virtual void setControl(QuorSetupControl* control);
    virtual void onShowRetryUI();
    virtual void onShowQuorRunning();
    virtual void onShowSetupExist();
    virtual void onShowSetupInvalid();
    virtual void onDecompressBegin();
    virtual void onDecompressProgress(int index, int count);
    virtual void onPrepareShowMainUI(const std::wstring& path);
    virtual void onDecompressFinish();
    virtual void onQuitSetup();

    QuorSetupControl* control() const { return m_control; }
    QuorSetupWindow* checkWindow() const { return m_checkWindow; }
    QuorSetupWindow* mainWindow() const { return m_mainWindow; }

protected:
    // The two windows, created on the UI thread; null while a build has none.
    virtual QuorSetupWindow* createCheckWindow();
    virtual QuorSetupWindow* createMainWindow(const std::wstring& path);

private:
    bool post(QuorSetupWindow* window, UINT message, WPARAM wParam, LPARAM lParam, const wchar_t* operation,
              const wchar_t* messageName, const wchar_t* target, bool log = true);

    QuorSetupWindow* m_checkWindow = nullptr;
    QuorSetupWindow* m_mainWindow = nullptr;
    QuorSetupControl* m_control = nullptr;
};
