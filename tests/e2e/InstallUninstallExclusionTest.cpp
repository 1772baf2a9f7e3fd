// The installer and the uninstaller started while the other one changes the
// same installation: the second one refuses, the first one finishes, and the
// end state is either the whole installation or none of it. Each race is made
// certain: the first program waits in a tool of the test (the gate) until the
// second one has had its say.
#include "base/KnownFolders.h"
#include "base/ProductInfo.h"
#include "base/ProductRegistry.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace product = quor::product;

std::wstring testsDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self = path;
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

std::wstring uninstallLog() {
    return utf16Text(readFileBytes(quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\unistV2.log"));
}

// Every file below `directory`, relative to it.
void listFiles(const std::wstring& directory, const std::wstring& prefix, std::vector<std::wstring>* files) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listFiles(directory + name + L"\\", prefix + name + L"\\", files);
        else
            files->push_back(prefix + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

struct Started {
    PROCESS_INFORMATION info = {};
    bool ok = false;
    int wait(DWORD ms) {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) {
            TerminateProcess(info.hProcess, 99);
            return 99;
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return static_cast<int>(code);
    }
    ~Started() {
        if (ok) {
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
};

void start(Started* started, const std::wstring& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    started->ok = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &started->info) != 0;
}

// Freezes or thaws every thread of a process: a program held inside its
// changing phase cannot leave it on a time-out of its own.
bool setSuspended(DWORD processId, bool suspended) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        DWORD result = suspended ? SuspendThread(thread) : ResumeThread(thread);
        if (result != static_cast<DWORD>(-1))
            ++count;
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return count > 0;
}

class InstallUninstallExclusion : public testing::Test {
protected:
    void SetUp() override {
        entered = CreateEventW(nullptr, TRUE, FALSE, L"QuorTestGateEntered");
        release = CreateEventW(nullptr, TRUE, FALSE, L"QuorTestGateRelease");
        ASSERT_NE(entered, nullptr);
        ASSERT_NE(release, nullptr);
        install = temp.path() + L"Quor Exclusion\\";
        setup = testBinDirectory() + L"QuorSetup.exe";
        ProcessResult first = runProgram(setup, L"-silence \"" + installArgument() + L"\"", 120000);
        ASSERT_TRUE(first.ended);
        ASSERT_EQ(first.code(), 0);
        endProcessesUnder(install);
        listFiles(install, L"", &installed);
        ASSERT_GT(installed.size(), 5u);
        // The deletion run as the uninstaller starts it: a copy outside the installation.
        std::wstring copyFolder = temp.path() + L"uninstall copy\\";
        ASSERT_TRUE(CreateDirectoryW(copyFolder.c_str(), nullptr));
        uninstaller = copyFolder + L"uninstall.exe";
        ASSERT_TRUE(CopyFileW((install + product::kUninstallExe).c_str(), uninstaller.c_str(), FALSE));
        DeleteFileW((quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\unistV2.log").c_str());
    }
    void TearDown() override {
        SetEvent(release);
        endProcessesUnder(install);
        TempDir::removeTree(install);
        RegDeleteTreeW(HKEY_CURRENT_USER, product::kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER,
                       (std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry).c_str());
        CloseHandle(entered);
        CloseHandle(release);
    }

    std::wstring installArgument() const { return install.substr(0, install.size() - 1); }
    std::wstring deletionArguments() const { return L"-silencedelete -path \"" + installArgument() + L"\""; }
    bool plantGate(const std::wstring& path) {
        return CopyFileW((testsDirectory() + L"gate_program.exe").c_str(), path.c_str(), FALSE) != 0;
    }
    std::vector<std::wstring> missingFiles() const {
        std::vector<std::wstring> missing;
        for (const std::wstring& file : installed)
            if (!fileExists(install + file))
                missing.push_back(file);
        return missing;
    }

    TempDir temp;
    HANDLE entered = nullptr, release = nullptr;
    std::wstring install, setup, uninstaller;
    std::vector<std::wstring> installed;
};

} // namespace

TEST_F(InstallUninstallExclusion, UninstallationDuringASilentReinstallationChangesNothing) {
    // An old version's update wizard keeps the re-installation waiting in its
    // integration steps, after the extraction.
    ASSERT_TRUE(plantGate(install + product::kUpdateWizardExe));
    Started reinstall;
    start(&reinstall, setup, L"-silence \"" + installArgument() + L"\"");
    ASSERT_TRUE(reinstall.ok);
    ASSERT_EQ(WaitForSingleObject(entered, 120000), WAIT_OBJECT_0) << "the installer reached the wizard";

    ProcessResult removal = runProgram(uninstaller, deletionArguments(), 120000);
    ASSERT_TRUE(removal.ended);
    EXPECT_NE(uninstallLog().find(L"an installer is changing"), std::wstring::npos)
        << "refused with a log line";
    EXPECT_TRUE(missingFiles().empty()) << "the uninstaller changed nothing";

    SetEvent(release);
    EXPECT_EQ(reinstall.wait(120000), 0);
    std::vector<std::wstring> missing = missingFiles();
    EXPECT_TRUE(missing.empty()) << (missing.empty() ? ""
                                                     : std::string(missing[0].begin(), missing[0].end()));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, product::kProductKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS)
        << "still registered";
    RegCloseKey(key);
}

TEST_F(InstallUninstallExclusion, SilentInstallationDuringAnUninstallationIsRefused) {
    // The uninstaller waits for the statistics tool before it deletes anything.
    ASSERT_TRUE(plantGate(install + product::kVersion + L"\\" + product::kStatisticsToolExe));
    Started removal;
    start(&removal, uninstaller, deletionArguments());
    ASSERT_TRUE(removal.ok);
    ASSERT_EQ(WaitForSingleObject(entered, 120000), WAIT_OBJECT_0) << "the uninstaller reached the tool";
    // Its wait for the tool has a time-out of its own: frozen, it stays where it is.
    ASSERT_TRUE(setSuspended(removal.info.dwProcessId, true));

    ProcessResult reinstall = runProgram(setup, L"-silence \"" + installArgument() + L"\"", 120000);
    ASSERT_TRUE(reinstall.ended);
    EXPECT_EQ(reinstall.code(), -1) << "refused as another installer would be";

    SetEvent(release);
    ASSERT_TRUE(setSuspended(removal.info.dwProcessId, false));
    EXPECT_EQ(removal.wait(120000), 0);
    EXPECT_FALSE(directoryExists(install)) << "removed whole";
}
