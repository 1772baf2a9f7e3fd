// After "QuorSetup.exe -silence DIR" under Wine: the registry entries and the
// shortcuts the installation leaves, read back from the test prefix.
#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/Files.h"
#include "tests/support/Journal.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

namespace {

namespace product = quor::product;

const std::wstring kUninstallKey = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;

std::wstring shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring quickLaunch() {
    return quor::roamingAppDataFolder() + L"\\Microsoft\\Internet Explorer\\Quick Launch";
}

std::wstring setupLog() {
    return utf16Text(readFileBytes(quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\setupV2.log"));
}

int runSilent(const std::wstring& arguments) {
    ProcessResult run = runProgram(testBinDirectory() + L"QuorSetup.exe", arguments, 120000);
    EXPECT_TRUE(run.ended);
    return run.code();
}

void expectString(const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    RegistryValue v = readRegistryValue(HKEY_CURRENT_USER, key, name);
    ASSERT_TRUE(v.found) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v.bytes.size(), data.size() * 2)
        << "no terminator: " << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(v.text(), data);
}

class SilentIntegration : public testing::Test {
protected:
    void SetUp() override {
        desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
        makerFolder = shellFolder(CSIDL_PROGRAMS) + L"\\Belvane";
        startMenu = shellFolder(CSIDL_STARTMENU);
        taskBar = quickLaunch() + L"\\User Pinned\\TaskBar";
        cleanUp();
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &run, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(run);
    }
    void TearDown() override { cleanUp(); }

    // Everything an installation writes outside its own directories.
    void cleanUp() {
        RegDeleteTreeW(HKEY_CURRENT_USER, product::kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey.c_str());
        deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kAssistantRunValue);
        deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kProductRunValue);
        for (const wchar_t* name :
             {L"Quor语音", L"Quor游戏大厅", L"看直播", L"Fenlo-神秘聊天室", L"QuorGlimmer"})
            DeleteFileW((desktop + L"\\" + name + L".lnk").c_str());
        DeleteFileW((startMenu + L"\\Quor语音.lnk").c_str());
        TempDir::removeTree(makerFolder);
        TempDir::removeTree(taskBar);
    }

    TempDir root;
    std::wstring desktop, makerFolder, startMenu, taskBar;
};

} // namespace

TEST_F(SilentIntegration, RegistryAndShortcutsOfTheInstalledProduct) {
    const std::wstring dir = root.path() + L"Quor Target\\";
    const std::wstring product = dir + L"Quor.exe";
    const std::wstring other = root.path() + L"Elsewhere\\quorlauncher.exe";
    ASSERT_TRUE(writeShellLink(desktop + L"\\QuorGlimmer.lnk", product, L"C:\\"));
    ASSERT_TRUE(writeShellLink(desktop + L"\\Quor语音.lnk", other, L"C:\\"));
    ASSERT_TRUE(quor::createDirectoryTree(taskBar));
    ASSERT_TRUE(writeShellLink(taskBar + L"\\Quor.lnk", dir + L"quorlauncher.exe", L"C:\\"));
    ASSERT_TRUE(writeShellLink(taskBar + L"\\Other.lnk", other, L"C:\\"));

    ASSERT_EQ(runSilent(L"-silence \"" + root.path() + L"Quor Target\""), 0);

    expectString(product::kProductKey, L"InstallDir", dir);
    expectString(product::kProductKey, L"RootPath", dir);
    expectString(product::kRunKey, L"QuorAssistant", dir + L"8.17.0.0\\quorassistant.exe");
    expectString(kUninstallKey, L"UninstallString", dir + L"Uninstall.exe");
    expectString(kUninstallKey, L"DisplayName", L"Quor8");
    expectString(kUninstallKey, L"Publisher", L"Belvane游戏网");
    expectString(kUninstallKey, L"URLInfoAbout", quor::web::officialHomePage());
    expectString(kUninstallKey, L"DisplayVersion", L"8.17.0.0");
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kRunKey, L"Quor").found);

    const std::wstring work = quor::productDataDir();
    const std::wstring images = dir + L"8.17.0.0\\image\\";
    struct Link {
        std::wstring path, target, icon;
    } links[] = {
        {desktop + L"\\Quor语音.lnk", product, L""},
        {makerFolder + L"\\Quor语音.lnk", product, L""},
        {startMenu + L"\\Quor语音.lnk", product, L""},
        {makerFolder + L"\\卸载Quor语音.lnk", dir + L"Uninstall.exe", L""},
        {desktop + L"\\Quor游戏大厅.lnk", L"quor://join:lobby_gameab=default&from=from_desklby/",
         images + L"game.ico"},
        {desktop + L"\\看直播.lnk", L"quor://glimmer-[tabPid=1011&tabSid=10011&from=desktop]/",
         images + L"glimmer.ico"},
        {desktop + L"\\Fenlo-神秘聊天室.lnk", L"quor://jovaro-[showjovarowindow=1&report=0x10008183]/",
         images + L"fenlo.ico"},
    };
    for (const Link& link : links) {
        ShellLinkInfo info = readShellLink(link.path);
        ASSERT_TRUE(info.loaded) << testing::PrintToString(link.path);
        if (link.icon.empty())
            EXPECT_EQ(info.target, link.target) << "re-installing replaces the link";
        else
            EXPECT_TRUE(sameLinkAddress(info.target, link.target)) << testing::PrintToString(info.target);
        EXPECT_EQ(info.workingDir, work);
        EXPECT_EQ(info.icon, link.icon);
    }
    EXPECT_FALSE(fileExists(desktop + L"\\QuorGlimmer.lnk"));

    ShellLinkInfo pinned = readShellLink(taskBar + L"\\Quor.lnk");
    EXPECT_EQ(pinned.target, product);
    EXPECT_EQ(pinned.workingDir, work);
    ShellLinkInfo untouched = readShellLink(taskBar + L"\\Other.lnk");
    EXPECT_EQ(untouched.target, other);
    EXPECT_EQ(untouched.workingDir, L"C:\\");
}

TEST_F(SilentIntegration, NextRunWithoutDirectoryProposesTheStoredRoot) {
    const std::wstring first = root.path() + L"First\\";
    ASSERT_EQ(runSilent(L"-silence " + root.path() + L"First"), 0);
    expectString(product::kProductKey, L"RootPath", first);
    size_t before = setupLog().size();
    ASSERT_EQ(runSilent(L"-silence"), 0);
    std::wstring log = setupLog().substr(before);
    EXPECT_NE(log.find(L"Initialized setup path is " + first), std::wstring::npos);
    expectString(product::kProductKey, L"InstallDir", first);
    expectString(kUninstallKey, L"UninstallString", first + L"Uninstall.exe");
}

// The prefix's own system drive: the product lands in C:\belvane\quor\, which
// the test removes again (it refuses to run if that folder was already there).
TEST_F(SilentIntegration, BareDriveRootGetsTheProductFolders) {
    ASSERT_FALSE(directoryExists(L"C:\\belvane")) << "C:\\belvane belongs to someone else";
    int code = runSilent(L"-silence C:\\");
    RegistryValue installDir = readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"InstallDir");
    RegistryValue rootPath = readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"RootPath");
    Sleep(1000);
    endProcessesUnder(L"C:\\belvane\\");
    TempDir::removeTree(L"C:\\belvane");
    EXPECT_FALSE(directoryExists(L"C:\\belvane"));
    ASSERT_EQ(code, 0);
    EXPECT_EQ(installDir.text(), L"C:\\belvane\\quor\\");
    EXPECT_EQ(rootPath.text(), L"C:\\belvane\\quor\\");
    EXPECT_EQ(rootPath.bytes.size(), rootPath.text().size() * 2);
}

namespace {

std::wstring fromUtf8(const std::string& bytes) {
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

struct ProductRun {
    std::wstring program, commandLine, currentDir;
};

// The sample product's journal: program path, command line, working directory.
std::vector<ProductRun> productJournal(const std::wstring& dir) {
    std::vector<ProductRun> runs;
    std::wstring text = fromUtf8(readFileBytes(quor::productDataDir() + L"product-journal.txt"));
    for (size_t at = 0, end; (end = text.find(L"\r\n", at)) != std::wstring::npos; at = end + 2) {
        std::wstring line = text.substr(at, end - at);
        size_t a = line.find(L'\t'), b = line.rfind(L'\t');
        // Tools of an earlier test may still be writing; only this directory's count.
        if (a != std::wstring::npos && b != a && line.compare(0, dir.size(), dir) == 0)
            runs.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return runs;
}

std::vector<ProductRun> waitForProductJournal(const std::wstring& dir, size_t count) {
    std::vector<ProductRun> runs = productJournal(dir);
    for (int i = 0; i < 300 && runs.size() < count; ++i) {
        Sleep(100);
        runs = productJournal(dir);
    }
    return runs;
}

} // namespace

// The sample product's tools: each ran once, with its arguments and working
// directory; the update wizard, present from an "earlier version", ran first.
TEST_F(SilentIntegration, SampleToolsRunWithTheirArguments) {
    const std::wstring dir = root.path() + L"Quor Tools\\";
    ASSERT_TRUE(quor::createDirectoryTree(dir));
    ASSERT_TRUE(CopyFileW((testBinDirectory() + L"quorwizard.exe").c_str(), (dir + L"quorwizard.exe").c_str(),
                          FALSE));
    DeleteFileW((quor::productDataDir() + L"product-journal.txt").c_str());

    ASSERT_EQ(runSilent(L"-silence \"" + root.path() + L"Quor Tools\""), 0);
    std::vector<ProductRun> runs = waitForProductJournal(dir, 5);
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].program, dir + L"quorwizard.exe") << "the wizard is waited for";
    const std::wstring version = dir + L"8.17.0.0\\";
    int seen = 0;
    for (const ProductRun& run : runs) {
        if (run.program == version + L"installstat.exe") {
            ++seen;
            EXPECT_EQ(run.commandLine, L"\"" + version + L"installstat.exe\" \"\"|8.17.0.0|1|i|\"\"");
            EXPECT_EQ(argumentsOf(run.commandLine).size(), 1u);
            EXPECT_EQ(withoutTrailingBackslash(run.currentDir), withoutTrailingBackslash(dir));
        } else if (run.program == version + L"quorrun.exe") {
            ++seen;
            EXPECT_EQ(argumentsOf(run.commandLine), std::vector<std::wstring>{L"-reg"});
            EXPECT_EQ(withoutTrailingBackslash(run.currentDir), withoutTrailingBackslash(dir));
        } else if (run.program == version + L"quordesktopshortcut_x86.exe" ||
                   run.program == version + L"quorassistant.exe") {
            ++seen;
            EXPECT_TRUE(argumentsOf(run.commandLine).empty());
        }
    }
    EXPECT_EQ(seen, 4);
}

// With recorders as the tools, the start order is read from their start times;
// the wizard (a recorder that lingers before writing) must have finished first.
TEST_F(SilentIntegration, ToolsStartInTheirOrderAfterTheWizardEnded) {
    const std::wstring dir = root.path() + L"Quor Order\\";
    const std::wstring journal = root.path() + L"recorded.log";
    ASSERT_TRUE(quor::createDirectoryTree(dir));
    ASSERT_TRUE(CopyFileW((testBinDirectory() + L"..\\tests\\tool_recorder.exe").c_str(),
                          (dir + L"quorwizard.exe").c_str(), FALSE));
    SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", journal.c_str());
    ProcessResult run = runProgram(testBinDirectory() + L"..\\tests\\QuorSetupTools.exe",
                                   L"-silence \"" + root.path() + L"Quor Order\"", 120000);
    std::vector<JournalEntry> started = waitForJournal(journal, 5);
    SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", nullptr);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    ASSERT_EQ(started.size(), 5u);
    // readJournal sorts by start time; the file order shows who wrote first.
    std::string bytes = readFileBytes(journal);
    EXPECT_NE(utf16Text(bytes).find(L"\tquorwizard.exe\t"), std::wstring::npos);
    EXPECT_LT(utf16Text(bytes).find(L"\tquorwizard.exe\t"), utf16Text(bytes).find(L"\tinstallstat.exe\t"));
    const wchar_t* order[] = {L"quorwizard.exe", L"installstat.exe", L"quorrun.exe",
                              L"quordesktopshortcut_x86.exe", L"quorassistant.exe"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(started[i].program, order[i]) << i;
}
