// After "QuorSetup.exe -silence DIR" under Wine: the registry entries and the
// shortcuts the installation leaves, read back from the test prefix.
#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <shlobj.h>

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
    TempDir::removeTree(L"C:\\belvane");
    ASSERT_EQ(code, 0);
    EXPECT_EQ(installDir.text(), L"C:\\belvane\\quor\\");
    EXPECT_EQ(rootPath.text(), L"C:\\belvane\\quor\\");
    EXPECT_EQ(rootPath.bytes.size(), rootPath.text().size() * 2);
}
