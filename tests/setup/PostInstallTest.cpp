#include "setup/QuorPostInstall.h"

#include "base/KnownFolders.h"
#include "base/LogFile.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/Files.h"
#include "tests/support/Journal.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::wstring recorderProgram() {
    return testBinDirectory() + L"..\\tests\\tool_recorder.exe";
}

std::wstring logText() {
    return utf16Text(readFileBytes(quor::processLog().path()));
}

bool logHas(const std::wstring& line) {
    return logText().find(line) != std::wstring::npos;
}

// An install directory (with a blank in its name) whose tools are all recorders
// writing to one journal.
class PostInstall : public testing::Test {
protected:
    void SetUp() override {
        installDir = root.path() + L"Quor Install\\";
        versionDir = installDir + L"8.17.0.0\\";
        dataDir = root.path() + L"data\\";
        journal = root.path() + L"journal.log";
        ASSERT_TRUE(quor::createDirectoryTree(versionDir));
        ASSERT_TRUE(quor::createDirectoryTree(dataDir));
        SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", journal.c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", nullptr); }

    void install(const std::wstring& path) {
        ASSERT_TRUE(CopyFileW(recorderProgram().c_str(), path.c_str(), FALSE));
    }
    void installAllTools() {
        install(installDir + L"quorwizard.exe");
        install(installDir + L"Quor.exe");
        for (const wchar_t* tool :
             {L"installstat.exe", L"quorrun.exe", L"quordesktopshortcut_x86.exe", L"quorassistant.exe"})
            install(versionDir + tool);
    }
    QuorPostInstall actions() const { return QuorPostInstall(installDir, dataDir); }

    TempDir root;
    std::wstring installDir, versionDir, dataDir, journal;
};

} // namespace

TEST_F(PostInstall, ToolsRunInOrderWithTheirArguments) {
    installAllTools();
    QuorPostInstall post = actions();
    post.do3XUpdate();
    // The wizard lingers before it writes: its line is there only if it was waited for.
    ASSERT_EQ(readJournal(journal).size(), 1u) << "the update wizard is waited for";
    EXPECT_TRUE(logHas(L"QuorSetupCore::_do3XUpdate, wait finish."));
    post.runInstallstat();
    post.runQuorRun();
    post.runLiveShow();
    post.runQuorAssistant();

    std::vector<JournalEntry> ran = waitForJournal(journal, 5);
    ASSERT_EQ(ran.size(), 5u);
    const wchar_t* order[] = {L"quorwizard.exe", L"installstat.exe", L"quorrun.exe",
                              L"quordesktopshortcut_x86.exe", L"quorassistant.exe"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(ran[i].program, order[i]) << i;

    const JournalEntry& stat = ran[1];
    EXPECT_EQ(stat.commandLine, L"\"" + versionDir + L"installstat.exe\" \"\"|8.17.0.0|1|i|\"\"");
    EXPECT_EQ(argumentsOf(stat.commandLine).size(), 1u);
    EXPECT_EQ(withoutTrailingBackslash(stat.currentDir), withoutTrailingBackslash(installDir));

    const JournalEntry& reg = ran[2];
    EXPECT_EQ(argumentsOf(reg.commandLine), std::vector<std::wstring>{L"-reg"});
    EXPECT_EQ(withoutTrailingBackslash(reg.currentDir), withoutTrailingBackslash(installDir));
    EXPECT_TRUE(argumentsOf(ran[3].commandLine).empty());
    EXPECT_TRUE(argumentsOf(ran[4].commandLine).empty());
    EXPECT_TRUE(logHas(L"QuorSetupCore::runInstallstat, run " + versionDir +
                       L"installstat.exe parameter is \"|8.17.0.0|1|i|\"."));
    EXPECT_TRUE(logHas(L"QuorSetupCore::runQuorRun, run " + versionDir + L"quorrun.exe parameter is -reg."));
}

TEST_F(PostInstall, MissingToolsAreLoggedNoOps) {
    QuorPostInstall post = actions();
    std::wstring before = logText();
    post.do3XUpdate();
    post.runLiveShow();
    post.runQuorAssistant();
    std::wstring added = logText().substr(before.size());
    EXPECT_NE(added.find(L"QuorSetupCore::_do3XUpdate begin."), std::wstring::npos);
    EXPECT_NE(added.find(L"QuorSetupCore::_do3XUpdate finish."), std::wstring::npos);
    EXPECT_EQ(added.find(L"wait finish"), std::wstring::npos);
    // The x86 tool is wanted on 64-bit systems too; the log names the bitness.
    EXPECT_NE(added.find(L"QuorSetupCore::_runLiveShow, CreateProcess fail. sysBits=64"), std::wstring::npos);
    EXPECT_NE(added.find(L"QuorAssistant: QuorSetupCore::_runQuorAssistant, CreateProcess fail. Fail code:"),
              std::wstring::npos);
    EXPECT_FALSE(fileExists(journal));
}

TEST_F(PostInstall, ProductStartsInDataDirectoryWithQuotedPath) {
    install(installDir + L"Quor.exe");
    actions().runQuor();
    std::vector<JournalEntry> ran = waitForJournal(journal, 1);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].program, L"Quor.exe");
    EXPECT_EQ(ran[0].commandLine, L"\"" + installDir + L"Quor.exe\"");
    EXPECT_EQ(withoutTrailingBackslash(ran[0].currentDir), withoutTrailingBackslash(dataDir));
}

TEST_F(PostInstall, CustomLspLogsItsResult) {
    EXPECT_FALSE(QuorPostInstall::customLsp(L""));
    EXPECT_TRUE(logHas(L"QuorSetupCore::CustomLsp, strAppFilePath=, bResult=0"));
    install(installDir + L"Quor.exe");
    bool result = QuorPostInstall::customLsp(installDir + L"Quor.exe");
    EXPECT_TRUE(logHas(L"QuorSetupCore::CustomLsp, strAppFilePath=" + installDir + L"Quor.exe, bResult=" +
                       (result ? L"1" : L"0")));
}

// The browser's command comes from the registry; a recorder stands in for it.
// The prefix's own commands are put back afterwards.
class OpenUrl : public PostInstall {
protected:
    static std::wstring commandKey(const wchar_t* scheme) {
        return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    }
    void SetUp() override {
        PostInstall::SetUp();
        for (int i = 0; i < 2; ++i)
            saved[i] = readRegistryValue(HKEY_LOCAL_MACHINE, commandKey(kSchemes[i]), nullptr);
        browser = root.path() + L"browser\\";
        ASSERT_TRUE(quor::createDirectoryTree(browser));
    }
    void TearDown() override {
        for (int i = 0; i < 2; ++i) {
            if (saved[i].found)
                setRegistryString(HKEY_LOCAL_MACHINE, commandKey(kSchemes[i]), nullptr, saved[i].text());
        }
        SetCurrentDirectoryW(testBinDirectory().c_str());
        PostInstall::TearDown();
    }
    void setBrowserCommand(const std::wstring& command) {
        for (const wchar_t* scheme : kSchemes)
            setRegistryString(HKEY_LOCAL_MACHINE, commandKey(scheme), nullptr, command);
    }
    static constexpr const wchar_t* kSchemes[2] = {L"http", L"https"};
    RegistryValue saved[2];
    std::wstring browser;
};

TEST_F(OpenUrl, OtherBrowserGetsTheAddressThroughTheShell) {
    install(browser + L"browser.exe");
    setBrowserCommand(L"\"" + browser + L"browser.exe\" \"%1\"");
    ASSERT_TRUE(QuorPostInstall::openUrl(quor::web::releaseNotesPage()));
    std::vector<JournalEntry> ran = waitForJournal(journal, 1, 10000);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].program, L"browser.exe");
    std::vector<std::wstring> args = argumentsOf(ran[0].commandLine);
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args[0], quor::web::releaseNotesPage());
    EXPECT_FALSE(logHas(L"[IE] open url " + quor::web::releaseNotesPage()));
}

TEST_F(OpenUrl, BuiltInBrowserIsStartedWithTheAddress) {
    // The shell finds "iexplore.exe" in the system folder before anywhere else;
    // the recorder takes the place of the prefix's copy for this test only (the
    // test's environment makes Wine run the file there instead of its own).
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring standIn = std::wstring(system) + L"\\iexplore.exe";
    const std::wstring original = browser + L"iexplore.original";
    ASSERT_TRUE(CopyFileW(standIn.c_str(), original.c_str(), FALSE));
    install(standIn);
    setBrowserCommand(L"\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" %1");
    bool opened = QuorPostInstall::openUrl(quor::web::portalPage());
    std::vector<JournalEntry> ran = waitForJournal(journal, 1, 10000);
    EXPECT_TRUE(CopyFileW(original.c_str(), standIn.c_str(), FALSE));
    ASSERT_TRUE(opened);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].program, L"iexplore.exe");
    EXPECT_EQ(argumentsOf(ran[0].commandLine), std::vector<std::wstring>{quor::web::portalPage()});
    EXPECT_TRUE(logHas(L"[IE] open url " + quor::web::portalPage()));
}

TEST_F(OpenUrl, AnythingButAWebAddressIsRefused) {
    install(browser + L"browser.exe");
    for (const wchar_t* address : {L"", L"C:\\windows\\system32\\cmd.exe", L"file:///C:/x.exe", L"http:"}) {
        EXPECT_FALSE(QuorPostInstall::openUrl(address));
    }
    EXPECT_TRUE(logHas(L"QuorSetupCore::openUrl, not a web address, nothing opened."));
    Sleep(500);
    EXPECT_FALSE(fileExists(journal));
}

TEST(WebAddresses, PathsAndQueriesAreFixed) {
    EXPECT_EQ(quor::web::releaseNotesPage(), std::wstring(L"https://") + QUOR_OFFICIAL_HOST + L"/quor8");
    EXPECT_EQ(quor::web::portalPage(), std::wstring(L"https://") + QUOR_PORTAL_HOST + L"/?quor");
}
