#include "base/KnownFolders.h"

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

namespace {

std::wstring setupLogPath() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\setupV2.log";
}

const wchar_t* kStartBanner =
    L"\n\n--------------------------------- Setup start, command line is %s ----------------------------";
const wchar_t* kEndBanner = L"-------------------------------------end "
                            L"install---------------------------------------------------\n\n";

std::wstring format(const wchar_t* pattern, const std::wstring& value) {
    std::wstring s = pattern;
    return s.replace(s.find(L"%s"), 2, value);
}

} // namespace

TEST(SetupEntry, LogsStartAndEndBannersAndExitsZero) {
    DeleteFileW(setupLogPath().c_str());
    ProcessResult run = runProgram(testBinDirectory() + L"QuorSetup.exe", L"hello \"a b\"");
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);

    std::string bytes = readFileBytes(setupLogPath());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    std::wstring text = utf16Text(bytes);
    // Records are "[YYYY-MM-DD hh:mm:ss] " + message + "\r\n".
    std::wstring start = format(kStartBanner, L"hello \"a b\"") + L"\r\n";
    size_t at = text.find(start);
    ASSERT_NE(at, std::wstring::npos) << "start banner missing";
    ASSERT_EQ(at, 22u) << "the start banner is the first record";
    EXPECT_EQ(text[0], L'[');
    EXPECT_EQ(text.substr(20, 2), L"] ");
    // Without windows the loop ends at once; the check worker may still log
    // while the controller is destroyed, which happens after the end banner.
    std::wstring end = std::wstring(L"] ") + kEndBanner + L"\r\n";
    size_t model = text.find(L"] QuorSetupControl::startSetup, install model is 0.\r\n");
    ASSERT_NE(model, std::wstring::npos);
    EXPECT_NE(text.find(end, model), std::wstring::npos) << "the end banner follows the controller's start";
}

namespace {

// Fills `folder` with the planted DLL under the names a program would load at run
// time or that a careless import would pull in. Not "version.dll": Wine's own
// user32 imports it (the system's does not), so under Wine it loads from beside
// any program before the program's first line.
bool plantDlls(const std::wstring& folder) {
    std::wstring planted = testBinDirectory() + L"..\\tests\\planted.dll";
    const wchar_t* names[] = {L"gdiplus.dll", L"uxtheme.dll",  L"dwmapi.dll",    L"oleacc.dll", L"sxs.dll",
                              L"ws2_32.dll",  L"comctl32.dll", L"cryptbase.dll", L"winmm.dll"};
    for (const wchar_t* name : names)
        if (!CopyFileW(planted.c_str(), (folder + name).c_str(), FALSE))
            return false;
    return true;
}

// Waits until no process runs a program below `directory` (ignoring case).
bool waitUntilNothingRunsUnder(const std::wstring& directory, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 100) {
        bool running = false;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
             more = Process32NextW(snapshot, &entry)) {
            HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
            if (!process)
                continue;
            wchar_t image[MAX_PATH * 2] = {};
            DWORD size = MAX_PATH * 2;
            running = QueryFullProcessImageNameW(process, 0, image, &size) &&
                      CompareStringOrdinal(image, static_cast<int>(directory.size()), directory.c_str(),
                                           static_cast<int>(directory.size()), TRUE) == CSTR_EQUAL;
            CloseHandle(process);
        }
        CloseHandle(snapshot);
        if (!running)
            return true;
        if (waited >= timeoutMs)
            return false;
        Sleep(100);
    }
}

} // namespace

// The test's environment makes Wine prefer native DLLs of the planted names
// (tests/e2e/CMakeLists.txt), as Windows would prefer a file beside a program.
TEST(SetupEntry, PlantedDllBesideTheProgramNeverLoads) {
    TempDir downloads;
    std::wstring setup = downloads.path() + L"QuorSetup.exe";
    ASSERT_TRUE(CopyFileW((testBinDirectory() + L"QuorSetup.exe").c_str(), setup.c_str(), FALSE));
    ASSERT_TRUE(plantDlls(downloads.path()));
    ProcessResult run = runProgram(setup, L"", 60000, downloads.path().c_str());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_FALSE(fileExists(downloads.path() + L"planted-dll-loaded.txt"));
}

// The uninstaller in a folder full of planted DLLs relaunches itself; its copy
// starts in that folder as its current directory. Neither may load one. The
// folder holds no installation, so the copy deletes nothing.
TEST(SetupEntry, PlantedDllLoadsNeitherInTheUninstallerNorInItsTemporaryCopy) {
    TempDir folder;
    std::wstring uninstall = folder.path() + L"Uninstall.exe";
    ASSERT_TRUE(CopyFileW((testBinDirectory() + L"Uninstall.exe").c_str(), uninstall.c_str(), FALSE));
    ASSERT_TRUE(plantDlls(folder.path()));
    std::wstring dataDir = quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\";
    DeleteFileW((dataDir + L"unistV2.log").c_str());

    ProcessResult run = runProgram(uninstall, L"-silence", 60000, folder.path().c_str());
    // The copy was started before the first instance ended. A program that loaded
    // a planted DLL may hang in it, so the marker is looked at first.
    bool copyEnded = run.ended && waitUntilNothingRunsUnder(dataDir + L"uninstall\\", 60000);
    EXPECT_FALSE(fileExists(folder.path() + L"planted-dll-loaded.txt")) << "a planted DLL loaded";
    if (!copyEnded)
        endProcessesUnder(dataDir + L"uninstall\\");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    ASSERT_TRUE(copyEnded);
    std::wstring log = utf16Text(readFileBytes(dataDir + L"unistV2.log"));
    EXPECT_NE(log.find(L"QuorUninstallControl::uninstall, run model is 3."), std::wstring::npos)
        << "the copy ran";
    EXPECT_NE(log.find(L"is not a product installation, nothing is deleted."), std::wstring::npos);
}

struct ProbeCase {
    const wchar_t* mode;
    bool loads;
};

class PlantedDllProbe : public testing::TestWithParam<ProbeCase> {};

// The probe loads "gdiplus.dll" by name from its own folder, once as any program
// would and once after restricting the search as our programs do: the planted
// file loads only in the first case, which shows that the check above can fail.
TEST_P(PlantedDllProbe, LoadsOnlyWithoutTheRestriction) {
    TempDir folder;
    std::wstring probe = folder.path() + L"probe.exe";
    ASSERT_TRUE(
        CopyFileW((testBinDirectory() + L"..\\tests\\dll_search_probe.exe").c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((testBinDirectory() + L"..\\tests\\planted.dll").c_str(),
                          (folder.path() + L"gdiplus.dll").c_str(), FALSE));
    ProcessResult run = runProgram(probe, GetParam().mode, 60000, folder.path().c_str());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(fileExists(folder.path() + L"planted-dll-loaded.txt"), GetParam().loads);
}

INSTANTIATE_TEST_SUITE_P(Modes, PlantedDllProbe,
                         testing::Values(ProbeCase{L"plain", true}, ProbeCase{L"restricted", false}));
