#include "setup/QuorSetupUI.h"

#include "base/LogFile.h"
#include "setup/QuorSetupWindow.h"
#include "setup/SetupMessages.h"

namespace {

QuorSetupUI* volatile g_instance = nullptr;

const wchar_t* kCheckWindow = L"check window";
const wchar_t* kMainWindow = L"main window";

} // namespace

QuorSetupUI* QuorSetupUI::instance() {
    if (QuorSetupUI* existing = g_instance)
        return existing;
    auto* created = new QuorSetupUI;
    if (!installInstance(created))
        delete created;
    return g_instance;
}

bool QuorSetupUI::installInstance(QuorSetupUI* ui) {
    return InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_instance), ui, nullptr) ==
           nullptr;
}

void QuorSetupUI::destroyInstance() {
    auto* ui = static_cast<QuorSetupUI*>(
        InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_instance), nullptr));
    delete ui;
}

QuorSetupUI::~QuorSetupUI() {
    delete m_checkWindow;
    delete m_mainWindow;
}

// The windows of the installer are built by their own classes; until a build
// has them, there is nothing to show and messages for them are dropped.
QuorSetupWindow* QuorSetupUI::createCheckWindow() {
    return nullptr;
}

QuorSetupWindow* QuorSetupUI::createMainWindow(const std::wstring&) {
    return nullptr;
}

void QuorSetupUI::showCheckUI() {
    if (!m_checkWindow)
        m_checkWindow = createCheckWindow();
    if (!m_checkWindow) {
        quor::logMessage(L"QuorSetupUI::showCheckUI, no check window to show.");
        return;
    }
    m_checkWindow->showWindow();
}

void QuorSetupUI::showSetupMainUI(const std::wstring& path) {
    quor::logMessage(L"QuorSetupUI::showSetupMainUI, setup path is %s", path.c_str());
    if (!m_mainWindow)
        m_mainWindow = createMainWindow(path);
    if (!m_mainWindow) {
        quor::logMessage(L"QuorSetupUI::showSetupMainUI, no main window to show.");
        return;
    }
    m_mainWindow->showWindow();
}

void QuorSetupUI::setControl(QuorSetupControl* control) {
    m_control = control;
}

bool QuorSetupUI::post(QuorSetupWindow* window, UINT message, WPARAM wParam, LPARAM lParam,
                       const wchar_t* operation, const wchar_t* messageName, const wchar_t* target,
                       bool log) {
    if (log)
        quor::logMessage(L"QuorSetupUI::%s, post message %s to %s.", operation, messageName, target);
    HWND handle = window ? window->nativeHandle() : nullptr;
    if (!handle || !PostMessageW(handle, message, wParam, lParam)) {
        if (log)
            quor::logMessage(L"QuorSetupUI::%s, %s dropped, the window does not exist.", operation,
                             messageName);
        return false;
    }
    return true;
}

void QuorSetupUI::onShowRetryUI() {
    post(m_mainWindow, MSG_RETRY_DECOMPRESS, 0, 0, L"onShowRetryUI", L"MSG_RETRY_DECOMPRESS", kMainWindow);
}

void QuorSetupUI::onShowQuorRunning() {
    post(m_mainWindow, MSG_QUOR_RUNNING, 0, 0, L"onShowQuorRunning", L"MSG_QUOR_RUNNING", kMainWindow);
}

void QuorSetupUI::onShowSetupExist() {
    post(m_checkWindow, MSG_SETUP_EXIST, 0, 0, L"onShowSetupExist", L"MSG_SETUP_EXIST", kCheckWindow);
}

void QuorSetupUI::onShowSetupInvalid() {
    post(m_checkWindow, MSG_SETUP_INVALID, 0, 0, L"onShowSetupInvalid", L"MSG_SETUP_INVALID", kCheckWindow);
}

void QuorSetupUI::onDecompressBegin() {
    post(m_mainWindow, MSG_DECOMPRESS_BEGIN, 0, 0, L"onDecompressBegin", L"MSG_DECOMPRESS_BEGIN",
         kMainWindow);
}

void QuorSetupUI::onDecompressProgress(int index, int count) {
    post(m_mainWindow, MSG_DECOMPRESS_PROGRESS, static_cast<WPARAM>(index), static_cast<LPARAM>(count),
         L"onDecompressProgress", L"MSG_DECOMPRESS_PROGRESS", kMainWindow, false);
}

void QuorSetupUI::onPrepareShowMainUI(const std::wstring& path) {
    // The receiving window owns the copy; when nothing receives it, it is freed here.
    auto* copy = new std::wstring(path);
    // The line names the main window that the check window is about to open.
    if (!post(m_checkWindow, MSG_SHOW_MAIN_UI, reinterpret_cast<WPARAM>(copy), 0, L"onPrepareShowMainUI",
              L"MSG_SHOW_MAIN_UI", kMainWindow))
        delete copy;
}

void QuorSetupUI::onDecompressFinish() {
    post(m_mainWindow, MSG_DECOMPRESS_FINISH, 0, 0, L"onDecompressFinish", L"MSG_DECOMPRESS_FINISH",
         kMainWindow);
}

void QuorSetupUI::onQuitSetup() {
    post(m_mainWindow, MSG_QUIT_SETUP, 0, 0, L"onQuitSetup", L"MSG_QUIT_SETUP", kMainWindow);
}
