#pragma once

#include <windows.h>

#include <string>

class QuorUninstallControlInterface;

// Turns the workers' reports into window messages posted to the uninstaller's
// prompt and progress windows. May be called from any thread.
class QuorUninstallUI {
public:
    QuorUninstallUI() = default;
    virtual ~QuorUninstallUI() = default;
    QuorUninstallUI(const QuorUninstallUI&) = delete;
    QuorUninstallUI& operator=(const QuorUninstallUI&) = delete;

    virtual void showPromptWindow();
    virtual void onShowRunning();
    virtual void onClosePrompt();
    virtual void showMainWindow();
    virtual void onProgress(const std::wstring& name, unsigned int step, unsigned int total);
    virtual void onCleanFinish();
    virtual void setControl(QuorUninstallControlInterface* control) { m_control = control; }

    QuorUninstallControlInterface* control() const { return m_control; }

protected:
    // Native handles of the two windows; none until the windows exist.
    virtual HWND promptWindowHandle() const { return nullptr; }
    virtual HWND mainWindowHandle() const { return nullptr; }

private:
    // False (and logged) when there is no window to post to.
    bool post(HWND window, const wchar_t* operation, UINT message, LPARAM lParam);

    QuorUninstallControlInterface* m_control = nullptr;
};
