#include "uninstall/QuorUninstallControl.h"

#include "base/CommandLine.h"
#include "base/LogFile.h"
#include "uninstall/QuorUninstallCore.h"
#include "uninstall/QuorUninstallUI.h"
#include "uninstall/UninstallMode.h"

#include <windows.h>

QuorUninstallControl::QuorUninstallControl(QuorUninstallUI* ui)
    : m_core(new QuorUninstallCore(static_cast<QuorUninstallListener*>(this))),
      m_ui(ui ? ui : new QuorUninstallUI()) {
    m_ui->setControl(this);
}

QuorUninstallControl::~QuorUninstallControl() {
    // The workers call back into the UI object: they end first.
    delete m_core;
    delete m_ui;
}

void QuorUninstallControl::_initPath() {
    wchar_t module[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module, n < MAX_PATH ? n : 0);
    path = path.substr(0, path.find_last_of(L'\\') + 1);
    quor::logMessage(L"QuorUninstallControl::_initPath, current path is : %s", path.c_str());
    m_core->setPath(path);
}

int QuorUninstallControl::uninstall(const wchar_t* commandLine) {
    UninstallRun run = chooseUninstallRun(quor::tokenizeCommandLine(commandLine));
    if (run.mode == kUninstallDelete || run.mode == kUninstallSilentDelete)
        m_core->setPath(run.path);
    quor::logMessage(L"QuorUninstallControl::uninstall, run model is %d.", run.mode);
    switch (run.mode) {
    case kUninstallSilent:
        _initPath();
        m_core->setSilent(true);
        m_core->prepareUninstall();
        PostQuitMessage(0);
        break;
    case kUninstallDelete:
        m_ui->showMainWindow();
        m_core->startClean(true);
        break;
    case kUninstallSilentDelete:
        m_core->setSilent(true);
        m_core->startClean(false);
        PostQuitMessage(0);
        break;
    default:
        _initPath();
        m_ui->showPromptWindow();
        break;
    }
    return run.mode;
}

void QuorUninstallControl::startCheck() {
    m_core->startCheck();
}

void QuorUninstallControl::onQuorRunning() {
    m_ui->onShowRunning();
}

void QuorUninstallControl::onQuorClosed() {
    m_ui->onClosePrompt();
    m_core->prepareUninstall();
}

void QuorUninstallControl::onCleanProgress(const std::wstring& name, unsigned int step, unsigned int total) {
    Sleep(1);
    m_ui->onProgress(name, step, total);
}

void QuorUninstallControl::onCleanFinish() {
    m_core->removeRegistry();
    m_core->removeShortcuts();
    m_ui->onCleanFinish();
}
