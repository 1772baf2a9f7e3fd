// The real installer, silent, under Wine: where the payload's entries land, how
// files in use, running product programs, broken payloads and leftovers of an
// earlier installation are handled.
#include "base/KnownFolders.h"
#include "base/ProductPaths.h"

#include "tests/support/Files.h"
#include "tests/support/Payloads.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

namespace {

constexpr int kProductRunning = -4;
constexpr int kExtractionFailed = -5;

std::wstring testsDirectory() {
    return testBinDirectory() + L"..\\tests\\";
}
std::wstring sampleTree() {
    return testBinDirectory() + L"..\\payload\\tree\\";
}
std::wstring setupLogPath() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\setupV2.log";
}
std::wstring bzqDirectory() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\business\\quorpip\\";
}
std::wstring tempDirectory() {
    wchar_t temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    return std::wstring(temp) + L"\\";
}

ProcessResult installSilently(const std::wstring& setup, const std::wstring& directory) {
    return runProgram(setup, L"-silence \"" + directory + L"\"", 120000);
}

std::wstring logText() {
    return utf16Text(readFileBytes(setupLogPath()));
}

// The mapped place of a staged entry ("InstallDir\..." and so on).
std::wstring mappedPath(const std::wstring& entry, const std::wstring& installDirectory) {
    size_t slash = entry.find(L'\\');
    if (slash == std::wstring::npos)
        return installDirectory + entry;
    std::wstring root = entry.substr(0, slash);
    std::wstring rest = entry.substr(slash + 1);
    if (root == L"AppData")
        return quor::setupDataDir(installDirectory) + rest;
    if (root == L"TEMP")
        return tempDirectory() + rest;
    if (root == L"BZQ")
        return bzqDirectory() + rest;
    return installDirectory + rest;
}

// Every file of the staged tree is at its mapped place with the same bytes;
// folders exist. Returns how many files matched.
size_t expectTreeInstalled(const std::wstring& tree, const std::wstring& installDirectory, bool all = true) {
    size_t matched = 0;
    for (const TreeFile& f : listTree(tree)) {
        bool isRoot = f.relative == L"InstallDir" || f.relative == L"AppData" || f.relative == L"TEMP" ||
                      f.relative == L"BZQ";
        if (isRoot)
            continue;
        std::wstring target = mappedPath(f.relative, installDirectory);
        if (f.isDirectory) {
            if (all) {
                EXPECT_TRUE(directoryExists(target)) << "missing folder for an entry";
            }
            continue;
        }
        bool ok = false;
        std::string installed = readFileBytes(target, &ok);
        if (ok && installed == readFileBytes(tree + f.relative))
            ++matched;
        else if (all)
            ADD_FAILURE() << "file differs or is missing at its mapped place";
    }
    return matched;
}

struct RunningProgram {
    PROCESS_INFORMATION pi = {};
    bool started = false;
    explicit RunningProgram(const std::wstring& path) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring commandLine = L"\"" + path + L"\"";
        started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &si, &pi);
    }
    ~RunningProgram() {
        if (!started)
            return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool alive() const { return started && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    bool endsWithin(DWORD ms) const {
        return started && WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
    }
};

HWND findWindowOf(DWORD processId) {
    struct Search {
        DWORD id;
        HWND found;
    } search = {processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM p) -> BOOL {
            Search* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[300] = {};
            GetClassNameW(window, name, 300);
            if (owner == s->id &&
                std::wstring(name) == L"BELVANE SPEAK MAIN FRAME | 4D1BB563-E5FC-4771-AD17-6442A4147044") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until the product stand-in shows its main window, so it surely runs.
bool waitForProductWindow(const RunningProgram& product) {
    for (int i = 0; i < 500 && product.alive(); ++i) {
        if (findWindowOf(product.pi.dwProcessId))
            return true;
        Sleep(20);
    }
    return false;
}

bool copyProgram(const wchar_t* program, const std::wstring& to) {
    quor::createDirectoryTree(to.substr(0, to.find_last_of(L'\\')));
    return CopyFileW((testBinDirectory() + program).c_str(), to.c_str(), FALSE) != 0;
}

} // namespace

TEST(PayloadInstall, SamplePayloadArrivesByteIdenticalAtItsMappedPlaces) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    DeleteFileW(setupLogPath().c_str());
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(run.code(), 0);
    size_t files = 0;
    for (const TreeFile& f : listTree(sampleTree()))
        files += f.isDirectory ? 0 : 1;
    EXPECT_EQ(expectTreeInstalled(sampleTree(), install), files) << "every file of the staged tree";
    EXPECT_FALSE(directoryExists(install + L"InstallDir"));
    EXPECT_FALSE(directoryExists(install + L"AppData"));
    EXPECT_FALSE(directoryExists(quor::setupDataDir(install) + L"AppData"));
    // One output line per entry, folders included.
    std::wstring log = logText();
    size_t outputs = 0;
    for (size_t at = log.find(L"CDiskOutputer::output, file is "); at != std::wstring::npos;
         at = log.find(L"CDiskOutputer::output, file is ", at + 1))
        ++outputs;
    EXPECT_EQ(outputs, listTree(sampleTree()).size());
}

TEST(PayloadInstall, EveryRootOfATestPayloadLandsInItsDirectory) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::wstring tree = testPayloadDirectory() + L"roots\\";
    const std::wstring outside[] = {tempDirectory() + L"quor-e2e-roots-temp.txt",
                                    bzqDirectory() + L"quor-e2e-roots-bzq.txt"};
    for (const std::wstring& f : outside)
        DeleteFileW(f.c_str());
    ProcessResult run = installSilently(testsDirectory() + L"QuorSetupRoots.exe", install);
    ASSERT_TRUE(run.ended);
    ASSERT_EQ(run.code(), 0);
    expectTreeInstalled(tree, install);
    EXPECT_TRUE(fileExists(install + L"loose.txt"))
        << "a name without a folder goes to the install directory";
    EXPECT_TRUE(fileExists(install + L"other-root.txt")) << "an unknown root is dropped like InstallDir";
    EXPECT_TRUE(directoryExists(install + L"empty-folder"));
    EXPECT_EQ(readFileBytes(install + L"8.17.0.0\\big.dat").size(), 81u * 65536u + 10u * 2u + 71u * 3u)
        << "a file larger than one write chunk";
    for (const wchar_t* root : {L"InstallDir", L"AppData", L"TEMP", L"BZQ"})
        EXPECT_FALSE(directoryExists(install + root));
    for (const std::wstring& f : outside) {
        EXPECT_TRUE(fileExists(f));
        DeleteFileW(f.c_str());
    }
}

TEST(PayloadInstall, FileHeldOpenIsMovedAsideAndReplacesAnOlderOldFile) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    quor::createDirectoryTree(install);
    std::wstring target = install + L"Quor.exe";
    ASSERT_TRUE(writeFileBytes(target, "the previous product"));
    ASSERT_TRUE(writeFileBytes(target + L".old", "an even older product"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    CloseHandle(held);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_EQ(readFileBytes(target + L".old"), "the previous product");
    EXPECT_EQ(readFileBytes(target), readFileBytes(sampleTree() + L"InstallDir\\Quor.exe"));
}

TEST(PayloadInstall, ProductRunningFromTheInstallDirectoryStopsTheSilentRun) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    ASSERT_TRUE(copyProgram(L"Quor.exe", install + L"Quor.exe"));
    RunningProgram product(install + L"Quor.exe");
    ASSERT_TRUE(waitForProductWindow(product));
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), kProductRunning);
    EXPECT_TRUE(product.alive()) << "a silent run closes nothing";
    std::vector<TreeFile> files = listTree(install);
    ASSERT_EQ(files.size(), 1u) << "nothing written";
    EXPECT_FALSE(fileExists(quor::setupDataDir(install) + L"lang.config"));
}

TEST(PayloadInstall, ProductRunningElsewhereDoesNotStopTheInstallation) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    ASSERT_TRUE(copyProgram(L"Quor.exe", temp.path() + L"elsewhere\\Quor.exe"));
    RunningProgram product(temp.path() + L"elsewhere\\Quor.exe");
    ASSERT_TRUE(waitForProductWindow(product));
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_TRUE(product.alive());
    EXPECT_TRUE(fileExists(install + L"Quor.exe"));
}

TEST(PayloadInstall, AssistantAnywhereAndProgramsOfTheVersionDirectoryAreEnded) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    ASSERT_TRUE(copyProgram(L"quorassistant.exe", temp.path() + L"elsewhere\\quorassistant.exe"));
    // Stays alive like the assistant but has another name: only its place can end it.
    ASSERT_TRUE(copyProgram(L"quorassistant.exe", install + L"8.17.0.0\\lingering.exe"));
    ASSERT_TRUE(copyProgram(L"quorassistant.exe", install + L"8.17.0.0\\sub\\deeper.exe"));
    RunningProgram assistant(temp.path() + L"elsewhere\\quorassistant.exe");
    RunningProgram lingering(install + L"8.17.0.0\\lingering.exe");
    RunningProgram deeper(install + L"8.17.0.0\\sub\\deeper.exe");
    ASSERT_TRUE(assistant.alive() && lingering.alive() && deeper.alive());
    Sleep(300);
    DeleteFileW(setupLogPath().c_str());
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_TRUE(assistant.endsWithin(5000));
    EXPECT_TRUE(lingering.endsWithin(5000));
    EXPECT_TRUE(deeper.alive()) << "a sub-directory of the version directory is not matched";
    std::wstring log = logText();
    EXPECT_NE(log.find(L"QuorAssistant: QuorSetupDecompressor::_quitQuorAssistant, terminate process:" +
                       std::to_wstring(assistant.pi.dwProcessId) + L"."),
              std::wstring::npos);
    EXPECT_NE(log.find(L"Terminate " + install + L"8.17.0.0\\lingering.exe success.\n"), std::wstring::npos);
}

TEST(PayloadInstall, BrokenPayloadsFailWithMinusFiveAndKeepWhatWasWritten) {
    TempDir temp;
    std::wstring tree = testPayloadDirectory() + L"roots\\";
    std::wstring damaged = temp.path() + L"damaged\\";
    ProcessResult run = installSilently(testsDirectory() + L"QuorSetupDamaged.exe", damaged);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), kExtractionFailed);
    size_t written = expectTreeInstalled(tree, damaged, false);
    EXPECT_GT(written, 0u) << "the blocks before the damaged one stay on disk";
    EXPECT_FALSE(fileExists(damaged + L"loose.txt")) << "the damaged last block is not written";

    std::wstring truncated = temp.path() + L"truncated\\";
    run = installSilently(testsDirectory() + L"QuorSetupTruncated.exe", truncated);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), kExtractionFailed);
    EXPECT_FALSE(fileExists(truncated + L"Quor.exe"));
    DeleteFileW((tempDirectory() + L"quor-e2e-roots-temp.txt").c_str());
    DeleteFileW((bzqDirectory() + L"quor-e2e-roots-bzq.txt").c_str());
}

TEST(PayloadInstall, EntryClimbingOutOfItsDirectoryFailsAndLandsNowhere) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    DeleteFileW(setupLogPath().c_str());
    ProcessResult run = installSilently(testsDirectory() + L"QuorSetupEscape.exe", install);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), kExtractionFailed);
    EXPECT_FALSE(fileExists(temp.path() + L"escaped.txt"));
    EXPECT_FALSE(fileExists(install + L"escaped.txt"));
    EXPECT_NE(logText().find(L"it leaves its target directory."), std::wstring::npos);
}

TEST(PayloadInstall, ReinstallRemovesTheVersionDirectoriesOfTheOldLauncherList) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    ASSERT_EQ(installSilently(testBinDirectory() + L"QuorSetup.exe", install).code(), 0);
    ASSERT_TRUE(writeFileBytes(install + L"8.17.0.0\\stale.txt", "left by the old version"));
    quor::createDirectoryTree(install + L"8.16.0.0\\image");
    ASSERT_TRUE(writeFileBytes(install + L"8.16.0.0\\image\\old.ico", "old"));
    quor::createDirectoryTree(temp.path() + L"outside");
    ASSERT_TRUE(writeFileBytes(temp.path() + L"outside\\keep.txt", "not the product's"));
    ASSERT_TRUE(writeFileBytes(
        install + L"Launcher.xml",
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<LauncherInfo>\n"
        "<VersionInfo No=\"8.16.0.0\" quorPath=\"8.16.0.0\" Enable=\"0\" First=\"0\" Index=\"0\"/>\n"
        "<VersionInfo No=\"8.17.0.0\" quorPath=\"8.17.0.0\" Enable=\"1\" First=\"0\" Index=\"1\"/>\n"
        "<VersionInfo No=\"0\" quorPath=\"..\\outside\" Enable=\"0\" First=\"0\" Index=\"2\"/>\n"
        "<VersionInfo No=\"0\" quorPath=\"\" Enable=\"0\" First=\"0\" Index=\"3\"/>\n"
        "<VersionInfo No=\"8.15.0.0\" quorPath=\"8.15.0.0\" Enable=\"0\" First=\"0\" Index=\"4\"/>\n"
        "</LauncherInfo>\n"));
    ProcessResult run = installSilently(testBinDirectory() + L"QuorSetup.exe", install);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_FALSE(fileExists(install + L"8.17.0.0\\stale.txt"));
    EXPECT_FALSE(directoryExists(install + L"8.16.0.0"));
    EXPECT_EQ(readFileBytes(temp.path() + L"outside\\keep.txt"), "not the product's")
        << "a listed path outside the install directory is never removed";
    expectTreeInstalled(sampleTree(), install);
}
