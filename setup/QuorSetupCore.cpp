#include "setup/QuorSetupCore.h"

#include "base/InstallPath.h"
#include "base/LogFile.h"
#include "base/ProductInfo.h"
#include "base/ProductPaths.h"
#include "setup/CInstallAssembly.h"
#include "setup/QuorCheckStep.h"
#include "setup/QuorPostInstall.h"
#include "setup/QuorRegistryWriter.h"
#include "setup/QuorSetupDecompressor.h"
#include "setup/QuorShortcuts.h"

#include <shlobj.h>

namespace {

// The runtime-assembly thread: owns its copy of the install directory.
DWORD WINAPI installCrtThread(LPVOID parameter) {
    std::wstring* installDir = static_cast<std::wstring*>(parameter);
    quor::logMessage(L"----------------begin install crt----------------------");
    CInstallAssembly installer;
    int result = installer.installAsm(*installDir + L"Microsoft.VC90.CRT", *installDir + L"quor.exe");
    quor::logMessage(L"QuorSetupCore::_installCrt, installAsm return-value is %d.", result);
    quor::logMessage(L"----------------end install crt----------------------");
    delete installDir;
    return 0;
}

} // namespace

QuorSetupCore::QuorSetupCore(QuorSetupListener* listener)
    : m_checkStep(new QuorCheckStep), m_decompressor(new QuorSetupDecompressor) {
    m_checkStep->setListener(listener);
    m_decompressor->setListener(listener);
}

QuorSetupCore::~QuorSetupCore() {
    m_checkStep->stop();
    delete m_checkStep;
    m_decompressor->stop();
    delete m_decompressor;
    // The runtime-assembly thread is waited for only by finishSetup.
    for (HANDLE thread : {m_crtThread, m_lateCrtThread})
        if (thread)
            CloseHandle(thread);
}

void QuorSetupCore::setSetupPath(const std::wstring& path) {
    std::wstring directory = quor::installDirectoryForm(path);
    if (directory.empty()) {
        quor::logMessage(L"QuorSetupCore::setSetupPath, refused the path '%s'.", path.c_str());
        return;
    }
    m_installDirectory = directory;
    m_decompressor->setSetupPath(m_installDirectory);
}

int QuorSetupCore::startCheck(bool async) {
    return m_checkStep->start(async);
}

void QuorSetupCore::stopCheck() {
    m_checkStep->stop();
}

int QuorSetupCore::startDecompress(bool async) {
    return m_decompressor->start(async);
}

void QuorSetupCore::stopDecompress() {
    m_decompressor->stop();
}

void QuorSetupCore::forceQuit() {
    m_decompressor->forceQuit();
}

void QuorSetupCore::doAfterDecompress() {
    quor::logMessage(L"QuorSetupCore::doAfterDecompress, decompress finished.");
    _writeRegedit();
    _createShortcuts();
    _updatePinnedShortcuts();
    _do3XUpdate();
    runInstallstat();
    runQuorRun();
    _runLiveShow();
    _runQuorAssistant();
    CustomLsp(m_installDirectory.empty() ? std::wstring() : m_installDirectory + quor::product::kProductExe);
}

void QuorSetupCore::_writeRegedit() {
    QuorRegistryWriter(m_installDirectory).writeRegedit();
}

void QuorSetupCore::_createShortcuts() {
    QuorShortcuts(m_installDirectory, QuorShellFolders::fromShell(), quor::productDataDir())
        .createStandardShortcuts();
}

void QuorSetupCore::_updatePinnedShortcuts() {
    QuorShortcuts(m_installDirectory, QuorShellFolders::fromShell(), quor::productDataDir())
        .updatePinnedShortcuts();
}

void QuorSetupCore::_do3XUpdate() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).do3XUpdate();
}

void QuorSetupCore::runInstallstat() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).runInstallstat();
}

void QuorSetupCore::runQuorRun() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).runQuorRun();
}

void QuorSetupCore::_runLiveShow() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).runLiveShow();
}

void QuorSetupCore::_runQuorAssistant() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).runQuorAssistant();
}

bool QuorSetupCore::CustomLsp(const std::wstring& appFilePath) {
    return QuorPostInstall::customLsp(appFilePath);
}

bool QuorSetupCore::openUrl(const std::wstring& address) {
    return QuorPostInstall::openUrl(address);
}

void QuorSetupCore::_installCrt() {
    if (m_installDirectory.empty()) {
        quor::logMessage(L"QuorSetupCore::_installCrt, no install directory, nothing to install.");
        return;
    }
    std::wstring* parameter = new std::wstring(m_installDirectory);
    HANDLE thread = CreateThread(nullptr, 0, installCrtThread, parameter, 0, nullptr);
    if (!thread) {
        quor::logMessage(L"QuorSetupCore::_installCrt, CreateThread fail.");
        delete parameter;
        return;
    }
    setCrtThread(thread);
}

void QuorSetupCore::setCrtThread(HANDLE thread) {
    if (m_crtThread)
        CloseHandle(m_crtThread);
    m_crtThread = thread;
}

bool QuorSetupCore::waitCrt() {
    if (!m_crtThread)
        return true;
    if (WaitForSingleObject(m_crtThread, kCrtWaitMs) == WAIT_TIMEOUT) {
        // Never killed: a thread ended inside the loader, sxs or the heap keeps
        // their locks, and the exit that follows would wait on them for ever.
        quor::logMessage(L"QuorSetupCore::waitCrt, the runtime installation did not end in time; the "
                         L"installer ends without it.");
        if (m_lateCrtThread)
            CloseHandle(m_lateCrtThread);
        m_lateCrtThread = m_crtThread;
        m_crtThread = nullptr;
        return false;
    }
    CloseHandle(m_crtThread);
    m_crtThread = nullptr;
    return true;
}

bool QuorSetupCore::crtRunning() const {
    for (HANDLE thread : {m_crtThread, m_lateCrtThread})
        if (thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT)
            return true;
    return false;
}

void QuorSetupCore::runQuor() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).runQuor();
}

void QuorSetupCore::setAutoRun() {
    QuorRegistryWriter(m_installDirectory).setAutoRun();
}

void QuorSetupCore::viewReleaseNote() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).viewReleaseNote();
}

void QuorSetupCore::collectBelvane() {
    QuorShellFolders folders;
    folders.favorites = QuorShellFolders::specialFolder(CSIDL_FAVORITES);
    QuorShortcuts(m_installDirectory, folders, quor::productDataDir()).collectBelvane();
}

void QuorSetupCore::openBelvanePage() {
    QuorPostInstall(m_installDirectory, quor::productDataDir()).openBelvanePage();
}

void QuorSetupCore::createGameBoxShortcut() {
    QuorShellFolders folders;
    folders.desktop = QuorShellFolders::specialFolder(CSIDL_DESKTOPDIRECTORY);
    QuorShortcuts(m_installDirectory, folders, std::wstring()).createGameBoxShortcut();
}
