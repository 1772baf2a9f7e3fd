// The finish page's operations, driven through the setup controller as the main
// window calls them, against a prepared install directory in the test prefix.
#include "setup/QuorSetupControl.h"

#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/BrowserStandIn.h"
#include "tests/support/Files.h"
#include "tests/support/Journal.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

namespace product = quor::product;

std::wstring recorderProgram() {
    return testBinDirectory() + L"..\\tests\\tool_recorder.exe";
}

std::wstring shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

class FinishPageActions : public testing::Test {
protected:
    void SetUp() override {
        installDir = root.path() + L"Quor Dir\\";
        journal = root.path() + L"journal.log";
        ASSERT_TRUE(quor::createDirectoryTree(installDir + L"8.17.0.0\\image"));
        SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", journal.c_str());
        control.setSetupPath(root.path() + L"Quor Dir");
        gameBoxLink = shellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessel游戏.lnk";
        favourite = shellFolder(CSIDL_FAVORITES) + L"\\Belvane游戏网.url";
        cleanUp();
    }
    void TearDown() override {
        cleanUp();
        SetEnvironmentVariableW(L"QUOR_RECORDER_LOG", nullptr);
    }
    void cleanUp() {
        deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kProductRunValue);
        DeleteFileW(gameBoxLink.c_str());
        DeleteFileW(favourite.c_str());
    }

    TempDir root;
    std::wstring installDir, journal, gameBoxLink, favourite;
    QuorSetupControl control;
};

} // namespace

TEST_F(FinishPageActions, RunQuorStartsTheProductInTheDataDirectory) {
    ASSERT_TRUE(CopyFileW(recorderProgram().c_str(), (installDir + L"Quor.exe").c_str(), FALSE));
    control.runQuor();
    std::vector<JournalEntry> ran = waitForJournal(journal, 1);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].program, L"Quor.exe");
    EXPECT_TRUE(argumentsOf(ran[0].commandLine).empty());
    EXPECT_EQ(withoutTrailingBackslash(ran[0].currentDir), withoutTrailingBackslash(quor::productDataDir()));
}

TEST_F(FinishPageActions, SetAutoRunWritesTheProductRunValue) {
    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &run,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(run);
    control.setAutoRun();
    RegistryValue value = readRegistryValue(HKEY_CURRENT_USER, product::kRunKey, L"Quor");
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.text(), installDir + L"Quor.exe");
    EXPECT_EQ(value.bytes.size(), (installDir + L"Quor.exe").size() * 2);
}

TEST_F(FinishPageActions, CollectBelvaneWritesTheFavourite) {
    control.collectBelvane();
    std::string bytes = readFileBytes(favourite);
    std::wstring expected = L"[InternetShortcut]\nURL=" + quor::web::portalFavouritePage();
    ASSERT_EQ(bytes.size(), expected.size() * 2);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), expected.size()), expected);
}

TEST_F(FinishPageActions, GameBoxShortcutNeedsItsIcon) {
    control.createGameBoxShortcut();
    EXPECT_FALSE(fileExists(gameBoxLink));
    std::wstring icon = installDir + L"8.17.0.0\\image\\tessel.ico";
    ASSERT_TRUE(writeFileBytes(icon, "icon"));
    control.createGameBoxShortcut();
    ShellLinkInfo info = readShellLink(gameBoxLink);
    ASSERT_TRUE(info.loaded);
    EXPECT_TRUE(sameLinkAddress(
        info.target, L"quor://gamebox/6C61756E63685F747970653A747970655E3D5E71756F726465736B6C6E6B"));
    EXPECT_EQ(info.icon, icon);
}

TEST_F(FinishPageActions, WebPagesOpenInTheDefaultBrowserEitherWay) {
    BrowserStandIn browser(root.path());
    ASSERT_TRUE(browser.useOtherBrowser(recorderProgram()));
    control.viewReleaseNote();
    std::vector<JournalEntry> ran = waitForJournal(journal, 1, 10000);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0].program, L"browser.exe");
    ASSERT_FALSE(argumentsOf(ran[0].commandLine).empty());
    EXPECT_EQ(argumentsOf(ran[0].commandLine)[0], quor::web::releaseNotesPage());

    ASSERT_TRUE(browser.useBuiltInBrowser(recorderProgram()));
    control.openBelvanePage();
    ran = waitForJournal(journal, 2, 10000);
    ASSERT_EQ(ran.size(), 2u);
    EXPECT_EQ(ran[1].program, L"iexplore.exe");
    EXPECT_EQ(argumentsOf(ran[1].commandLine), std::vector<std::wstring>{quor::web::portalPage()});
}
