#include "uninstall/QuorUninstallUI.h"

#include "base/LogFile.h"
#include "uninstall/QuorUninstallMessages.h"

bool QuorUninstallUI::post(HWND window, const wchar_t* operation, UINT message, LPARAM lParam) {
    if (!window) {
        quor::logMessage(L"QuorUninstallUI::%s, no window, message %d not posted.", operation,
                         static_cast<int>(message));
        return false;
    }
    if (!PostMessageW(window, message, 0, lParam)) {
        quor::logMessage(L"QuorUninstallUI::%s, PostMessage fail, last error is %d.", operation,
                         static_cast<int>(GetLastError()));
        return false;
    }
    return true;
}

void QuorUninstallUI::showPromptWindow() {
    quor::logMessage(L"QuorUninstallUI::showPromptWindow, the prompt window is not available.");
}

void QuorUninstallUI::onShowRunning() {
    post(promptWindowHandle(), L"onShowRunning", MSG_UNINSTALL_RUNNING, 0);
}

void QuorUninstallUI::onClosePrompt() {
    post(promptWindowHandle(), L"onClosePrompt", MSG_UNINSTALL_CLOSE_PROMPT, 0);
}

void QuorUninstallUI::showMainWindow() {
    quor::logMessage(L"QuorUninstallUI::showMainWindow, the progress window is not available.");
}

void QuorUninstallUI::onProgress(const std::wstring&, unsigned int step, unsigned int total) {
    double* fraction = new double(total ? static_cast<double>(step) / static_cast<double>(total) : 1.0);
    // The window owns the value once posted; an unposted one is ours to free.
    if (!post(mainWindowHandle(), L"onProgress", MSG_UNINSTALL_PROGRESS, reinterpret_cast<LPARAM>(fraction)))
        delete fraction;
}

void QuorUninstallUI::onCleanFinish() {
    post(mainWindowHandle(), L"onCleanFinish", MSG_CLEAN_FINISH, 0);
}
