#include "setup/QuorShortcuts.h"

#include "base/KnownFolders.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/Files.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Every shell folder, the install directory and the working directory live in one
// temporary tree, so the tests never touch the prefix's real desktop.
class Shortcuts : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name :
             {L"Desktop", L"Programs", L"Start Menu", L"Favorites", L"Quick Launch", L"work"})
            ASSERT_TRUE(quor::createDirectoryTree(root.path() + name));
        folders.desktop = root.path() + L"Desktop";
        folders.programs = root.path() + L"Programs";
        folders.startMenu = root.path() + L"Start Menu";
        folders.favorites = root.path() + L"Favorites";
        folders.quickLaunch = root.path() + L"Quick Launch";
        installDir = root.path() + L"Install Dir\\";
        workDir = root.path() + L"work\\";
        ASSERT_TRUE(quor::createDirectoryTree(installDir + L"8.17.0.0\\image"));
    }

    QuorShortcuts shortcuts() const { return QuorShortcuts(installDir, folders, workDir); }

    TempDir root;
    QuorShellFolders folders;
    std::wstring installDir;
    std::wstring workDir;
};

struct LinkCase {
    std::wstring link;
    std::wstring target;
    std::wstring icon;
};

} // namespace

TEST_F(Shortcuts, StandardSetHasTargetsWorkingDirectoryAndIcons) {
    ASSERT_TRUE(writeShellLink(folders.desktop + L"\\QuorGlimmer.lnk", installDir + L"Quor.exe", workDir));
    shortcuts().createStandardShortcuts();

    const std::wstring product = installDir + L"Quor.exe";
    const std::wstring images = installDir + L"8.17.0.0\\image\\";
    const LinkCase cases[] = {
        {folders.desktop + L"\\Quor语音.lnk", product, L""},
        {folders.programs + L"\\Belvane\\Quor语音.lnk", product, L""},
        {folders.startMenu + L"\\Quor语音.lnk", product, L""},
        {folders.programs + L"\\Belvane\\卸载Quor语音.lnk", installDir + L"Uninstall.exe", L""},
        {folders.desktop + L"\\Quor游戏大厅.lnk", L"quor://join:lobby_gameab=default&from=from_desklby/",
         images + L"game.ico"},
        {folders.desktop + L"\\看直播.lnk", L"quor://glimmer-[tabPid=1011&tabSid=10011&from=desktop]/",
         images + L"glimmer.ico"},
        {folders.desktop + L"\\Fenlo-神秘聊天室.lnk",
         L"quor://jovaro-[showjovarowindow=1&report=0x10008183]/", images + L"fenlo.ico"},
    };
    for (const LinkCase& c : cases) {
        ShellLinkInfo info = readShellLink(c.link);
        ASSERT_TRUE(info.loaded) << std::string(c.link.begin(), c.link.end());
        if (c.icon.empty()) {
            EXPECT_EQ(info.target, c.target);
        } else {
            EXPECT_TRUE(sameLinkAddress(info.target, c.target)) << std::string(c.link.begin(), c.link.end());
            EXPECT_EQ(info.iconIndex, 0);
        }
        EXPECT_EQ(info.workingDir, workDir);
        EXPECT_EQ(info.icon, c.icon);
    }
    EXPECT_FALSE(fileExists(folders.desktop + L"\\QuorGlimmer.lnk"));
    EXPECT_FALSE(fileExists(folders.desktop + L"\\Tessel游戏.lnk")) << "made on request only";
}

TEST_F(Shortcuts, ReinstallReplacesEachLinkWhole) {
    std::wstring link = folders.desktop + L"\\Quor语音.lnk";
    ASSERT_TRUE(writeShellLink(link, L"C:\\elsewhere\\old.exe", L"C:\\elsewhere"));
    std::wstring garbage = folders.startMenu + L"\\Quor语音.lnk";
    ASSERT_TRUE(writeFileBytes(garbage, "not a link at all"));

    shortcuts().createStandardShortcuts();

    for (const std::wstring& path : {link, garbage}) {
        ShellLinkInfo info = readShellLink(path);
        ASSERT_TRUE(info.loaded);
        EXPECT_EQ(info.target, installDir + L"Quor.exe");
        EXPECT_EQ(info.workingDir, workDir);
    }
}

TEST_F(Shortcuts, MissingFolderSkipsOnlyItsLinks) {
    folders.programs.clear();
    shortcuts().createStandardShortcuts();
    EXPECT_TRUE(readShellLink(folders.desktop + L"\\Quor语音.lnk").loaded);
    EXPECT_TRUE(readShellLink(folders.startMenu + L"\\Quor语音.lnk").loaded);
    EXPECT_TRUE(readShellLink(folders.desktop + L"\\看直播.lnk").loaded);
}

TEST_F(Shortcuts, PinnedLinksIntoInstallDirectoryPointAtProduct) {
    const std::wstring taskBar = folders.quickLaunch + L"\\User Pinned\\TaskBar";
    const std::wstring startMenu = folders.quickLaunch + L"\\User Pinned\\StartMenu";
    ASSERT_TRUE(quor::createDirectoryTree(taskBar));
    ASSERT_TRUE(quor::createDirectoryTree(startMenu));
    ASSERT_TRUE(quor::createDirectoryTree(taskBar + L"\\folder.lnk"));
    std::wstring otherDir = root.path() + L"Other\\";

    struct Pinned {
        std::wstring link;
        std::wstring target;
        bool repointed;
    } pinned[] = {
        {taskBar + L"\\Quor.lnk", installDir + L"quorlauncher.exe", true},
        {startMenu + L"\\Quor.lnk", installDir + L"QUORLAUNCHER.EXE", true},
        {folders.quickLaunch + L"\\Quor.lnk", installDir + L"quor.exe", true},
        {taskBar + L"\\Other.lnk", otherDir + L"quorlauncher.exe", false},
        {taskBar + L"\\Notepad.lnk", installDir + L"notepad.exe", false},
    };
    for (const Pinned& p : pinned)
        ASSERT_TRUE(writeShellLink(p.link, p.target, L"C:\\old"));
    std::string untouchedBytes = readFileBytes(taskBar + L"\\Other.lnk");

    shortcuts().updatePinnedShortcuts();

    for (const Pinned& p : pinned) {
        ShellLinkInfo info = readShellLink(p.link);
        ASSERT_TRUE(info.loaded);
        if (p.repointed) {
            EXPECT_EQ(info.target, installDir + L"Quor.exe");
            EXPECT_EQ(info.workingDir, workDir);
        } else {
            EXPECT_EQ(info.target, p.target);
            EXPECT_EQ(info.workingDir, L"C:\\old");
        }
    }
    EXPECT_EQ(readFileBytes(taskBar + L"\\Other.lnk"), untouchedBytes);
}

TEST_F(Shortcuts, FavouriteIsUtf16WithoutMarkOrLineEnd) {
    ASSERT_TRUE(writeFileBytes(folders.favorites + L"\\Belvane游戏网.url", std::string(4096, 'x')));
    shortcuts().collectBelvane();
    std::wstring expected = L"[InternetShortcut]\nURL=" + quor::web::portalFavouritePage();
    std::string bytes = readFileBytes(folders.favorites + L"\\Belvane游戏网.url");
    ASSERT_EQ(bytes.size(), expected.size() * 2);
    EXPECT_EQ(bytes.substr(0, 2), std::string("[\0", 2));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2), expected);
    EXPECT_NE(expected.find(L"/index3.html"), std::wstring::npos);
}

TEST_F(Shortcuts, GameBoxLinkOnlyWithItsIcon) {
    std::wstring link = folders.desktop + L"\\Tessel游戏.lnk";
    shortcuts().createGameBoxShortcut();
    EXPECT_FALSE(fileExists(link));

    std::wstring icon = installDir + L"8.17.0.0\\image\\tessel.ico";
    ASSERT_TRUE(writeFileBytes(icon, "icon"));
    shortcuts().createGameBoxShortcut();
    ShellLinkInfo info = readShellLink(link);
    ASSERT_TRUE(info.loaded);
    EXPECT_TRUE(sameLinkAddress(
        info.target, L"quor://gamebox/6C61756E63685F747970653A747970655E3D5E71756F726465736B6C6E6B"));
    EXPECT_EQ(QuorShortcuts::gameBoxTarget(),
              L"quor://gamebox/6C61756E63685F747970653A747970655E3D5E71756F726465736B6C6E6B");
    EXPECT_EQ(info.icon, icon);
    EXPECT_EQ(info.iconIndex, 0);
}
