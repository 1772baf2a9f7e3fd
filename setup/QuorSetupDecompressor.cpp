#include "setup/QuorSetupDecompressor.h"

#include "base/Handles.h"
#include "base/LogFile.h"
#include "base/ProcessImage.h"
#include "base/Processes.h"
#include "base/ProductInfo.h"
#include "setup/CDiskOutputer.h"
#include "setup/ExtractArchive.h"
#include "setup/ExtractionCheck.h"
#include "setup/QuorSetupListener.h"

namespace {

constexpr int kPayloadResourceId = 101;

// Stray processes are ended, the product itself only when asked to quit.
quor::ProcessHandle openToEnd(DWORD processId) {
    return quor::ProcessHandle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
}

} // namespace

QuorSetupDecompressor::~QuorSetupDecompressor() {
    quor::WorkerThread::stop();
}

int QuorSetupDecompressor::start(bool async) {
    if (async)
        return quor::WorkerThread::start(0) ? 1 : 0;
    return _syncDecompress() ? 1 : 0;
}

void QuorSetupDecompressor::stop() {
    quor::WorkerThread::stop();
}

void QuorSetupDecompressor::setListener(QuorSetupListener* listener) {
    m_listener = listener;
}

void QuorSetupDecompressor::forceQuit() {
    quor::logMessage(L"QuorSetupDecompressor::forceQuit, User want to force quit Quor.");
    m_forceQuit = true;
}

void QuorSetupDecompressor::execute() {
    quor::logMessage(L"QuorSetupDecompressor::execute, aync decompress.");
    bool result = true;
    DWORD processId = 0;
    if (_isQuorRunning(&processId)) {
        if (m_listener)
            m_listener->onQuorRunning();
        while (!isStopRequested()) {
            if (m_forceQuit) {
                // A product that cannot be ended must not hold the worker forever: a stop still ends the
                // wait.
                do {
                    _quitQuor(processId);
                    Sleep(10);
                } while (_isQuorRunning(&processId) && !isStopRequested());
                break;
            }
            Sleep(10);
        }
    }
    if (isStopRequested())
        return;
    if (m_listener)
        m_listener->onDecompressBegin();
    _terminateVersionProcesses();
    if (!_decompress()) {
        quor::logMessage(L"QuorSetupDecompressor::execute, _decompress return false.");
        result = false;
    }
    if (m_listener)
        m_listener->onDecompressFinish(result);
}

bool QuorSetupDecompressor::_syncDecompress() {
    quor::logMessage(L"QuorSetupDecompressor::_syncDecompress begin [silence model].");
    DWORD processId = 0;
    if (_isQuorRunning(&processId)) {
        quor::logMessage(L"QuorSetupDecompressor::_syncDecompress, _isQuorRunning return true.");
        if (m_listener)
            m_listener->onQuorRunning();
        return false;
    }
    _terminateVersionProcesses();
    bool result = false;
    DWORD size = 0;
    HGLOBAL resource = _load7zDataFromResource(&size);
    if (resource)
        result = _extract(resource, size, nullptr);
    if (m_listener)
        m_listener->onDecompressFinish(result);
    return result;
}

bool QuorSetupDecompressor::_decompress() {
    DWORD size = 0;
    HGLOBAL resource = _load7zDataFromResource(&size);
    if (!resource) {
        quor::logMessage(L"QuorSetupDecompressor::_decompress, _load7zDataFromResource fail.");
        return false;
    }
    return _extract(resource, size, this);
}

bool QuorSetupDecompressor::_extract(HGLOBAL resource, DWORD size, IDecompressCancel* cancel) {
    const void* bytes = LockResource(resource);
    if (!bytes) {
        quor::logMessage(L"QuorSetupDecompressor::_extract, LockResource(quor.7z) fail.");
        return false;
    }
    CDiskOutputer outputer(m_installDirectory, m_listener, cancel);
    // Whatever makes the installation fail for sure shows before the clean-up
    // removes the old version and before the first file is written.
    bool result = checkBeforeExtraction(bytes, size, outputer);
    if (result) {
        cleanUpFile();
        result = extractArchive(bytes, size, outputer, cancel);
    } else {
        quor::logMessage(
            L"QuorSetupDecompressor::_extract, the payload cannot be installed here; nothing written.");
    }
    FreeResource(resource);
    return result;
}

HGLOBAL QuorSetupDecompressor::_load7zDataFromResource(DWORD* size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(kPayloadResourceId), L"zip");
    if (!info) {
        quor::logMessage(L"QuorSetupDecompressor::_load7zDataFromResource, Find resource(quor.7z) fail.");
        return nullptr;
    }
    HGLOBAL resource = LoadResource(module, info);
    if (!resource) {
        quor::logMessage(L"QuorSetupDecompressor::_load7zDataFromResource, Load resource(quor.7z) fail.");
        return nullptr;
    }
    *size = SizeofResource(module, info);
    return resource;
}

bool QuorSetupDecompressor::_isQuorRunning(DWORD* processId) {
    const std::wstring product = m_installDirectory + quor::product::kProductExe;
    for (const quor::ProcessEntry& process : quor::listProcesses()) {
        if (quor::sameTextIgnoringCase(process.exeName, quor::product::kProductExe)) {
            if (!m_installDirectory.empty() &&
                quor::sameTextIgnoringCase(quor::processImagePath(process.id), product)) {
                *processId = process.id;
                return true;
            }
        } else if (quor::sameTextIgnoringCase(process.exeName, quor::product::kAssistantExe)) {
            quor::logMessage(
                L"QuorAssistant: QuorSetupDecompressor::_isQuorRunning, try to quit QuorAssistant.");
            _quitQuorAssistant(process.id);
        }
    }
    return false;
}

void QuorSetupDecompressor::_quitQuorAssistant(DWORD processId) {
    quor::ProcessHandle process = openToEnd(processId);
    quor::logMessage(L"QuorAssistant: QuorSetupDecompressor::_quitQuorAssistant, terminate process:%d.",
                     static_cast<int>(processId));
    if (process.get())
        TerminateProcess(process.get(), 0);
}

void QuorSetupDecompressor::_quitQuor(DWORD processId) {
    if (HWND window = quor::findProcessWindow(processId, quor::product::kMainWindowClass)) {
        PostMessageW(window, quor::product::kQuitMessage, 0, 0);
        quor::logMessage(L"QuorSetupDecompressor::_quitQuor, post message (WM_APP + 601) to Quor for quit.");
    }
    quor::ProcessHandle process = openToEnd(processId);
    if (!process) {
        quor::logMessage(L"QuorSetupDecompressor::_quitQuor, OpenProcess return NULL, Quor already quit.");
        return;
    }
    if (WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) {
        quor::logMessage(
            L"QuorSetupDecompressor::_quitQuor, WaitForSingleObject time-out, will terminate process.");
        TerminateProcess(process.get(), 0);
    }
}

void QuorSetupDecompressor::_terminateVersionProcesses() {
    if (m_installDirectory.empty())
        return;
    const std::wstring versionDirectory = m_installDirectory + quor::product::kVersion + L"\\";
    const DWORD self = GetCurrentProcessId();
    for (const quor::ProcessEntry& entry : quor::listProcesses()) {
        // Never this installer itself, even when it was started from there.
        if (entry.id == self || entry.id == 0)
            continue;
        std::wstring image = quor::processImagePath(entry.id);
        size_t slash = image.find_last_of(L'\\');
        if (slash == std::wstring::npos ||
            !quor::sameTextIgnoringCase(image.substr(0, slash + 1), versionDirectory))
            continue;
        quor::ProcessHandle process = openToEnd(entry.id);
        bool ended = process && TerminateProcess(process.get(), 0);
        quor::logMessage(ended ? L"Terminate %s success.\n" : L"Terminate %s fail.\n", image.c_str());
    }
}
