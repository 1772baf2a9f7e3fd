#include "uninstall/QuorUninstallCore.h"

#include "base/LogFile.h"
#include "tests/support/Registry.h"
#include "tests/support/ToolJournal.h"
#include "tests/uninstall/UninstallFixtures.h"
#include "uninstall/QuorFileCleaner.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* kProductKey = L"Software\\belvane\\quor";
const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quor8";

void setValue(const wchar_t* key, const wchar_t* name, const std::wstring& data) {
    ASSERT_TRUE(setUserValue(key, name, data));
}

bool keyExists(const wchar_t* key) {
    return userKeyExists(key);
}

bool valueExists(const wchar_t* key, const wchar_t* name) {
    return userValueExists(key, name);
}

class RemoveRegistry : public testing::Test {
protected:
    void SetUp() override {
        setValue(kRunKey, L"Quor", L"C:\\q\\Quor.exe");
        setValue(kRunKey, L"QuorAssistant", L"C:\\q\\8.17.0.0\\quorassistant.exe");
        setValue(kRunKey, L"SomeoneElse", L"C:\\other.exe");
        setValue(kProductKey, L"InstallDir", L"C:\\q\\");
        setValue(kProductKey, L"RootPath", L"C:\\q\\");
        setValue(kUninstallKey, L"UninstallString", L"C:\\q\\Uninstall.exe");
        setValue(kUninstallKey, L"DisplayName", L"Quor8");
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        HKEY h = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
            RegDeleteValueW(h, L"SomeoneElse");
            RegDeleteValueW(h, L"Quor");
            RegDeleteValueW(h, L"QuorAssistant");
            RegCloseKey(h);
        }
    }
};

TEST_F(RemoveRegistry, RemovesTheInstallersEntriesOnly) {
    QuorUninstallCore core(nullptr);
    core.removeRegistry();
    EXPECT_FALSE(valueExists(kRunKey, L"Quor"));
    EXPECT_FALSE(valueExists(kRunKey, L"QuorAssistant"));
    EXPECT_TRUE(valueExists(kRunKey, L"SomeoneElse"));
    EXPECT_FALSE(keyExists(kProductKey));
    EXPECT_TRUE(keyExists(L"Software\\belvane")) << "only the product key goes";
    EXPECT_FALSE(keyExists(kUninstallKey));
}

TEST_F(RemoveRegistry, ProductKeyWithASubkeyStays) {
    setValue(L"Software\\belvane\\quor\\plugins", L"x", L"1");
    QuorUninstallCore core(nullptr);
    core.removeRegistry();
    EXPECT_TRUE(valueExists(kProductKey, L"InstallDir"));
    EXPECT_TRUE(keyExists(L"Software\\belvane\\quor\\plugins"));
    // The other steps do not depend on it.
    EXPECT_FALSE(valueExists(kRunKey, L"Quor"));
    EXPECT_FALSE(valueExists(kRunKey, L"QuorAssistant"));
    EXPECT_FALSE(keyExists(kUninstallKey));
}

TEST_F(RemoveRegistry, NothingIsRemovedAfterTheCleanerRefusedTheDirectory) {
    TempDir decoy;
    ASSERT_TRUE(writeFileBytes(decoy.path() + L"notes.txt", "mine"));
    QuorUninstallCore core(nullptr);
    core.setPath(decoy.path());
    core.startClean(false);
    ASSERT_TRUE(core.cleaner().refused());
    core.removeRegistry();
    core.removeShortcuts();
    EXPECT_TRUE(valueExists(kRunKey, L"Quor"));
    EXPECT_TRUE(valueExists(kRunKey, L"QuorAssistant"));
    EXPECT_TRUE(valueExists(kProductKey, L"RootPath"));
    EXPECT_TRUE(keyExists(kUninstallKey));
    EXPECT_TRUE(fileExists(decoy.path() + L"notes.txt"));
}

std::wstring folderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

TEST(RemoveShortcuts, RemovesTheStandardLinksAndKeepsFavouriteAndPinnedOnes) {
    std::wstring desktop = folderPath(CSIDL_DESKTOPDIRECTORY);
    std::wstring programs = folderPath(CSIDL_PROGRAMS);
    std::wstring startMenu = folderPath(CSIDL_STARTMENU);
    std::wstring favourites = folderPath(CSIDL_FAVORITES);
    std::wstring maker = programs + L"\\Belvane";
    std::wstring pinned =
        folderPath(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
    ASSERT_FALSE(desktop.empty());
    CreateDirectoryW(maker.c_str(), nullptr);
    SHCreateDirectoryExW(nullptr, pinned.c_str(), nullptr);
    std::vector<std::wstring> removed = {
        desktop + L"\\Quor语音.lnk", desktop + L"\\Quor游戏大厅.lnk", desktop + L"\\QuorGlimmer.lnk",
        desktop + L"\\看直播.lnk",   desktop + L"\\Tessel游戏.lnk",   desktop + L"\\Fenlo-神秘聊天室.lnk",
        maker + L"\\Quor语音.lnk",   maker + L"\\卸载Quor语音.lnk",   startMenu + L"\\Quor语音.lnk"};
    std::vector<std::wstring> kept = {desktop + L"\\Other.lnk", favourites + L"\\Belvane游戏网.url",
                                      pinned + L"\\Quor语音.lnk"};
    for (const std::wstring& file : removed)
        ASSERT_TRUE(writeFileBytes(file, "lnk")) << file;
    for (const std::wstring& file : kept)
        ASSERT_TRUE(writeFileBytes(file, "keep")) << file;

    QuorUninstallCore core(nullptr);
    core.removeShortcuts();
    for (const std::wstring& file : removed)
        EXPECT_FALSE(fileExists(file)) << file;
    for (const std::wstring& file : kept) {
        EXPECT_TRUE(fileExists(file)) << file;
        DeleteFileW(file.c_str());
    }
    EXPECT_FALSE(directoryExists(maker)) << "the empty maker folder goes";
}

TEST(RemoveShortcuts, MakerFolderWithOtherFilesStays) {
    std::wstring maker = folderPath(CSIDL_PROGRAMS) + L"\\Belvane";
    CreateDirectoryW(maker.c_str(), nullptr);
    ASSERT_TRUE(writeFileBytes(maker + L"\\卸载Quor语音.lnk", "lnk"));
    ASSERT_TRUE(writeFileBytes(maker + L"\\Other Game.lnk", "lnk"));
    QuorUninstallCore core(nullptr);
    core.removeShortcuts();
    EXPECT_FALSE(fileExists(maker + L"\\卸载Quor语音.lnk"));
    EXPECT_TRUE(fileExists(maker + L"\\Other Game.lnk"));
    DeleteFileW((maker + L"\\Other Game.lnk").c_str());
    RemoveDirectoryW(maker.c_str());
}

TEST(SetPath, AppendsOneBackslash) {
    QuorUninstallCore core(nullptr);
    core.setPath(L"C:\\a b");
    EXPECT_EQ(core.path(), L"C:\\a b\\");
    core.setPath(L"C:\\a b\\");
    EXPECT_EQ(core.path(), L"C:\\a b\\");
}

TEST(SetSilent, RemovesTheListenerFromBothWorkers) {
    RecordingListener listener;
    QuorUninstallCore core(&listener);
    TempDir install;
    ASSERT_TRUE(writeFileBytes(install.path() + L"Launcher.xml", "x"));
    core.setSilent(true);
    EXPECT_TRUE(core.silent());
    core.setPath(install.path());
    core.startClean(false);
    EXPECT_EQ(listener.finished, 0);
    EXPECT_TRUE(listener.steps.empty());
    EXPECT_FALSE(directoryExists(install.path()));
}

class RunExeFile : public testing::Test {
protected:
    void SetUp() override { DeleteFileW(toolJournalPath().c_str()); }
};

TEST_F(RunExeFile, PassesTheParameterTextAsTheWholeCommandLine) {
    std::wstring parameters = L"-silencedelete -path \"C:\\with blank\"";
    ASSERT_TRUE(QuorUninstallCore::runExeFile(toolRecorderPath(), parameters, true));
    std::vector<ToolRun> runs = readToolJournal();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].commandLine, parameters);
}

TEST_F(RunExeFile, TheLongestFittingTextIsPassedWhole) {
    std::wstring parameters(QuorUninstallCore::kParameterCapacity - 1, L'x');
    ASSERT_TRUE(QuorUninstallCore::runExeFile(toolRecorderPath(), parameters, true));
    std::vector<ToolRun> runs = readToolJournal();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].commandLine, parameters);
}

TEST_F(RunExeFile, TextThatDoesNotFitIsRefusedWithALogLine) {
    std::wstring parameters(QuorUninstallCore::kParameterCapacity, L'x');
    EXPECT_FALSE(QuorUninstallCore::runExeFile(toolRecorderPath(), parameters, true));
    Sleep(200);
    EXPECT_TRUE(readToolJournal().empty());
    EXPECT_NE(logText(quor::processLog().path())
                  .find(L"runExeFile, parameter text of 4096 characters does not fit"),
              std::wstring::npos);
}

TEST_F(RunExeFile, MissingProgramIsLogged) {
    TempDir temp;
    EXPECT_FALSE(QuorUninstallCore::runExeFile(temp.path() + L"missing.exe", L"-unreg", true));
    EXPECT_NE(
        logText(quor::processLog().path()).find(L"runExeFile, CreateProcess return false, last error is 2."),
        std::wstring::npos);
}

} // namespace
