#include "uninstall/QuorFileCleaner.h"

#include "base/Handles.h"
#include "base/InstallationLock.h"
#include "base/LogFile.h"
#include "base/ProcessImage.h"
#include "base/ProductInfo.h"
#include "base/ProductPaths.h"
#include "uninstall/ProductInstallation.h"
#include "uninstall/QuorUninstallCore.h"
#include "uninstall/QuorUninstallListener.h"

#include <windows.h>

#include <climits>
#include <cwchar>
#include <cwctype>

namespace {

std::atomic<unsigned int> g_progressCounter{0};

std::wstring versionDirectory(const std::wstring& installPath) {
    return installPath + quor::product::kVersion + L"\\";
}

using quor::FileHandle;

} // namespace

void QuorFileCleaner::setPath(const std::wstring& installPath) {
    if (installPath.empty()) {
        quor::logMessage(L"QuorFileCleaner::setPath, path is empty.");
        return;
    }
    quor::logMessage(L"QuorFileCleaner::setPath, path is %s.", installPath.c_str());
    m_path = installPath;
}

unsigned int QuorFileCleaner::progressCount() {
    return g_progressCounter.load();
}

void QuorFileCleaner::_progressStep(const std::wstring& name) {
    if (!m_listener)
        return;
    unsigned int step = ++g_progressCounter;
    m_listener->onCleanProgress(name, step, kProgressTotal);
}

int QuorFileCleaner::productInfoNumberFromLine(const std::string& line) {
    int n = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &text[0], n);
    size_t equals = text.find(L'=');
    if (equals == std::wstring::npos)
        return 1;
    long value = std::wcstol(text.c_str() + equals + 1, nullptr, 10);
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return value == 0 ? 1 : static_cast<int>(value);
}

int QuorFileCleaner::productInfoNumber(const std::wstring& file) {
    // Read only: the number is only looked at, and a read-only file must still count.
    FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.valid())
        return 1;
    char buffer[1026];
    DWORD got = 0;
    if (!ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr))
        return 1;
    std::string bytes(buffer, got);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    size_t lineEnd = bytes.find('\n');
    std::string line = bytes.substr(0, lineEnd == std::string::npos ? bytes.size() : lineEnd + 1);
    if (line.size() > 1023)
        line.resize(1023);
    return productInfoNumberFromLine(line);
}

void QuorFileCleaner::_startInstallstat() {
    std::wstring dataDir = quor::setupDataDir(m_path);
    int number = dataDir.empty() ? 1 : productInfoNumber(dataDir + L"ProductInfo.txt");
    wchar_t parameter[64];
    swprintf(parameter, 64, L"\"|%ls|%d|u|\"", quor::product::kVersion, number);
    std::wstring program = versionDirectory(m_path) + quor::product::kStatisticsToolExe;
    _progressStep(program);
    QuorUninstallCore::runExeFile(program, parameter, true);
    quor::logMessage(L"QuorFileCleaner::_startInstallstat, path is %s, parameter is %s", program.c_str(),
                     parameter);
}

void QuorFileCleaner::_startQuorRun() {
    std::wstring program = versionDirectory(m_path) + quor::product::kRegistrationToolExe;
    _progressStep(program);
    QuorUninstallCore::runExeFile(program, L"-unreg", true);
    quor::logMessage(L"QuorFileCleaner::_startQuorRun, path is %s, parameter is %s", program.c_str(),
                     L"-unreg");
}

void QuorFileCleaner::_endInstallProcesses() {
    const DWORD self = GetCurrentProcessId();
    for (const quor::ProcessEntry& process : quor::listProcesses()) {
        if (process.id == self)
            continue;
        std::wstring image = quor::processImagePath(process.id);
        size_t cut = image.find_last_of(L'\\');
        if (cut == std::wstring::npos || image.compare(0, cut + 1, m_path) != 0 || cut + 1 != m_path.size())
            continue;
        quor::ProcessHandle handle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, process.id));
        if (!handle)
            continue;
        if (WaitForSingleObject(handle.get(), 500) != WAIT_OBJECT_0) {
            quor::logMessage(L"QuorFileCleaner::_endInstallProcesses, terminate %s (%lu).", image.c_str(),
                             process.id);
            TerminateProcess(handle.get(), 0);
            // Its files can only be deleted once it has really gone.
            WaitForSingleObject(handle.get(), 2000);
        }
    }
}

void QuorFileCleaner::_deleteDirectory(const std::wstring& directory) {
    if (directory.empty()) {
        quor::logMessage(L"QuorFileCleaner::_deleteDirectory, directory is empty.");
        return;
    }
    WIN32_FIND_DATAW data;
    quor::FindHandle find(FindFirstFileW((directory + L"\\*.*").c_str(), &data));
    if (!find)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring full = directory + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or directory link is removed itself; what it points to lies
            // outside the installation and is never entered.
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                _deleteDirectory(full);
            RemoveDirectoryW(full.c_str());
        } else {
            if (DeleteFileW(full.c_str()))
                quor::logMessage(L"delete file %s success", full.c_str());
            else
                quor::logMessage(L"delete file %s fail, last error is %d", full.c_str(),
                                 static_cast<int>(GetLastError()));
            _progressStep(full);
        }
    } while (FindNextFileW(find.get(), &data));
}

void QuorFileCleaner::execute() {
    quor::logMessage(L"QuorFileCleaner::execute begin.");
    m_refused = false;
    wchar_t self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring ownFolder(self, n < MAX_PATH ? n : 0);
    size_t cut = ownFolder.find_last_of(L'\\');
    if (cut != std::wstring::npos)
        SetCurrentDirectoryW(ownFolder.substr(0, cut).c_str());

    if (m_path.empty()) {
        quor::logMessage(L"Exception case.");
        return;
    }
    if (!isProductInstallation(m_path)) {
        // Run from a copy in a folder of someone's own files, or pointed at a wrong
        // directory: nothing there is the product's to delete.
        quor::logMessage(L"QuorFileCleaner::execute, %s is not a product installation, nothing is deleted.",
                         m_path.c_str());
        m_refused = true;
        if (m_listener)
            m_listener->onCleanFinish();
        return;
    }
    // Held until the deletion, and the removal of the registry entries and
    // shortcuts that follows it, are done: an installer started meanwhile
    // refuses, and one that runs already makes this run refuse.
    quor::InstallationLock lock;
    if (!lock.acquire()) {
        quor::logMessage(L"QuorFileCleaner::execute, an installer is changing %s, nothing is deleted.",
                         m_path.c_str());
        m_refused = true;
        if (m_listener)
            m_listener->onCleanFinish();
        return;
    }
    _progressStep(m_path + L"UnInstall.exe");
    _startInstallstat();
    _startQuorRun();
    _endInstallProcesses();
    quor::logMessage(L"Begin delete files, directory is %s", m_path.c_str());
    _deleteDirectory(m_path);
    quor::logMessage(L"End delete files.");
    if (!RemoveDirectoryW(m_path.c_str()))
        quor::logMessage(L"RemoveDirectory %s fail, last error is %d", m_path.c_str(),
                         static_cast<int>(GetLastError()));
    if (m_listener)
        m_listener->onCleanFinish();
}
