#include "setup/QuorSetupControl.h"

#include "base/CommandLine.h"
#include "base/InstallPath.h"
#include "base/LogFile.h"
#include "setup/DefaultSetupPath.h"
#include "setup/QuorSetupCore.h"
#include "setup/QuorSetupUI.h"
#include "setup/SetupMessages.h"

#include <windows.h>

QuorSetupControl::QuorSetupControl() : m_ui(nullptr), m_core(new QuorSetupCore(this)) {
    m_ui = QuorSetupUI::instance();
    m_ui->setControl(this);
}

QuorSetupControl::~QuorSetupControl() {
    delete m_core;
    QuorSetupUI::destroyInstance();
}

void QuorSetupControl::startSetup() {
    startSetup(GetCommandLineW());
}

void QuorSetupControl::startSetup(const wchar_t* commandLine) {
    bool silent = false;
    std::wstring path = quor::tokenAfter(quor::tokenizeCommandLine(commandLine), L"-silence", &silent);
    int model = silent ? 1 : 0;
    if (silent) {
        m_silent = true;
        m_setupPath = path.empty() ? defaultSetupPath() : path;
    }
    quor::logMessage(L"QuorSetupControl::startSetup, install model is %d.", model);
    if (!silent) {
        m_setupPath = defaultSetupPath();
        quor::logMessage(L"Async check environment.");
        m_ui->showCheckUI();
        m_core->startCheck(true);
        return;
    }
    // The result arrives at onCheckResult before this returns.
    m_core->startCheck(false);
}

void QuorSetupControl::startCheck() {
    m_core->stopCheck();
    m_core->startCheck(true);
}

void QuorSetupControl::stopCheck() {
    m_core->stopCheck();
}

void QuorSetupControl::setSetupPath(const std::wstring& path) {
    m_setupPath = path;
    m_core->setSetupPath(path);
}

void QuorSetupControl::forceQuit() {
    m_core->forceQuit();
}

void QuorSetupControl::startDecompress(bool async) {
    m_core->startDecompress(async);
}

void QuorSetupControl::stopDecompress() {
    m_core->stopDecompress();
}

void QuorSetupControl::finishSetup() {
    m_core->waitCrt();
    quit(kExitFinished);
}

void QuorSetupControl::runQuor() {
    m_core->runQuor();
}

void QuorSetupControl::setAutoRun() {
    m_core->setAutoRun();
}

void QuorSetupControl::viewReleaseNote() {
    m_core->viewReleaseNote();
}

void QuorSetupControl::collectBelvane() {
    m_core->collectBelvane();
}

void QuorSetupControl::openBelvanePage() {
    m_core->openBelvanePage();
}

void QuorSetupControl::createGameBoxShortcut() {
    m_core->createGameBoxShortcut();
}

void QuorSetupControl::quit(int code) {
    if (m_quitRequested) {
        quor::logMessage(L"QuorSetupControl::quit, exit code %d ignored, already quitting.", code);
        return;
    }
    m_quitRequested = true;
    quor::logMessage(L"Quit application, exit code is %d", code);
    PostQuitMessage(code);
}

void QuorSetupControl::onCheckResult(int result) {
    if (result == CR_Success) {
        quor::logMessage(L"Check result is CR_Success, and then prepare to decompress.");
        if (m_silent)
            continueSilently();
        else
            m_ui->onPrepareShowMainUI(m_setupPath);
        return;
    }
    if (result == CR_SetupExist) {
        quor::logMessage(L"Check result is CR_SetupExist");
        if (m_silent)
            quit(kExitSetupExist);
        else
            m_ui->onShowSetupExist();
        return;
    }
    // Anything else cannot be trusted any more than an invalid installer.
    if (result == CR_SetupInvalid)
        quor::logMessage(L"Check result is CR_SetupInvalid");
    else
        quor::logMessage(L"Check result is %d, treated as CR_SetupInvalid", result);
    if (m_silent)
        quit(kExitSetupInvalid);
    else
        m_ui->onShowSetupInvalid();
}

void QuorSetupControl::continueSilently() {
    quor::logMessage(L"QuorSetupControl::continueSilently, setup path is %s.", m_setupPath.c_str());
    // The directory is checked in the very form in which it is then used, so that
    // the running-product guard, the files, the registry and the shortcuts agree.
    std::wstring directory = quor::installDirectoryForm(m_setupPath);
    if (directory.empty() || !quor::isValidInstallPath(directory)) {
        quit(kExitBadInstallPath);
        return;
    }
    m_core->setSetupPath(directory);
    m_core->startDecompress(false);
}

void QuorSetupControl::onQuorRunning() {
    if (m_silent)
        quit(kExitQuorRunning);
    else
        m_ui->onShowQuorRunning();
}

void QuorSetupControl::onDecompressBegin() {
    if (m_silent)
        return;
    m_ui->onDecompressBegin();
    m_core->_installCrt();
}

void QuorSetupControl::onDecompressProgress(int index, int count) {
    if (!m_silent)
        m_ui->onDecompressProgress(index, count);
}

void QuorSetupControl::onDecompressFail(const std::wstring& path) {
    quor::logMessage(L"QuorSetupControl::onDecompressFail, decompress fail, file is %s", path.c_str());
    if (m_silent)
        quit(kExitDecompressFailed);
    else
        m_ui->onShowRetryUI();
}

void QuorSetupControl::onDecompressFinish(bool ok) {
    quor::logMessage(ok ? L"QuorSetupControl::onDecompressFinish, success."
                        : L"QuorSetupControl::onDecompressFinish, fail.");
    if (ok) {
        m_core->doAfterDecompress();
        if (m_silent)
            quit(kExitFinished);
        else
            m_ui->onDecompressFinish();
        return;
    }
    if (m_silent)
        quit(kExitDecompressFailed);
    else
        m_ui->onQuitSetup();
}
