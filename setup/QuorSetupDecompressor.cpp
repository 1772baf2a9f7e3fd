#include "setup/QuorSetupDecompressor.h"

#include "base/LogFile.h"
#include "base/Processes.h"
#include "base/ProductInfo.h"
#include "setup/CDiskOutputer.h"
#include "setup/ExtractArchive.h"
#include "setup/ExtractionCheck.h"
#include "setup/ProcessImage.h"
#include "setup/QuorSetupListener.h"

#include <tlhelp32.h>

namespace {

constexpr int kPayloadResourceId = 101;

class Snapshot {
public:
    Snapshot() : m_handle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)) {}
    ~Snapshot() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    // Calls `visit(entry)` for each process until it returns true; true then.
    template <typename Visit> bool find(Visit visit) {
        if (m_handle == INVALID_HANDLE_VALUE)
            return false;
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(m_handle, &entry); more; more = Process32NextW(m_handle, &entry))
            if (visit(entry))
                return true;
        return false;
    }

private:
    HANDLE m_handle;
};

class ProcessHandle {
public:
    explicit ProcessHandle(DWORD processId)
        : m_handle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId)) {}
    ~ProcessHandle() {
        if (m_handle)
            CloseHandle(m_handle);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

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
    Snapshot snapshot;
    return snapshot.find([&](const PROCESSENTRY32W& entry) {
        if (sameTextIgnoringCase(entry.szExeFile, quor::product::kProductExe)) {
            if (!m_installDirectory.empty() &&
                sameTextIgnoringCase(processImagePath(entry.th32ProcessID), product)) {
                *processId = entry.th32ProcessID;
                return true;
            }
        } else if (sameTextIgnoringCase(entry.szExeFile, quor::product::kAssistantExe)) {
            quor::logMessage(
                L"QuorAssistant: QuorSetupDecompressor::_isQuorRunning, try to quit QuorAssistant.");
            _quitQuorAssistant(entry.th32ProcessID);
        }
        return false;
    });
}

void QuorSetupDecompressor::_quitQuorAssistant(DWORD processId) {
    ProcessHandle process(processId);
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
    ProcessHandle process(processId);
    if (!process.get()) {
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
    Snapshot snapshot;
    snapshot.find([&](const PROCESSENTRY32W& entry) {
        // Never this installer itself, even when it was started from there.
        if (entry.th32ProcessID == self || entry.th32ProcessID == 0)
            return false;
        std::wstring image = processImagePath(entry.th32ProcessID);
        size_t slash = image.find_last_of(L'\\');
        if (slash == std::wstring::npos ||
            !sameTextIgnoringCase(image.substr(0, slash + 1), versionDirectory))
            return false;
        ProcessHandle process(entry.th32ProcessID);
        bool ended = process.get() && TerminateProcess(process.get(), 0);
        quor::logMessage(ended ? L"Terminate %s success.\n" : L"Terminate %s fail.\n", image.c_str());
        return false;
    });
}
