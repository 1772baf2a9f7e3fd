#include "base/KnownFolders.h"
#include "base/ProductInfo.h"
#include "base/ProductPaths.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/TempDir.h"
#include "tests/support/ToolJournal.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* kProductKey = L"Software\\belvane\\quor";
const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quor8";

std::wstring productDataDir() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\";
}
std::wstring uninstallLogPath() {
    return productDataDir() + L"setup\\unistV2.log";
}
std::wstring uninstallLog() {
    return utf16Text(readFileBytes(uninstallLogPath()));
}
std::wstring recorder() {
    return testBinDirectory() + L"..\\tests\\product_recorder.exe";
}
std::wstring uninstaller() {
    return testBinDirectory() + L"Uninstall.exe";
}

template <typename F> bool waitFor(F condition, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

std::wstring folderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The relaunched copies' folders under the product data directory.
std::vector<std::wstring> uninstallCopyFolders() {
    std::vector<std::wstring> folders;
    std::wstring base = productDataDir() + L"setup\\uninstall\\";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return folders;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            folders.push_back(base + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return folders;
}

// What the installer leaves behind: the product's files with recorder programs
// for the product and its tools, the registry entries and the shortcuts.
class Installed : public testing::Test {
protected:
    void SetUp() override {
        install = temp.path() + L"Quor Sample Install\\";
        version = install + quor::product::kVersion + L"\\";
        ASSERT_TRUE(CreateDirectoryW(install.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(version.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(uninstaller().c_str(), (install + L"Uninstall.exe").c_str(), FALSE));
        ASSERT_TRUE(writeFileBytes(install + L"Launcher.xml", "<LauncherInfo/>"));
        ASSERT_TRUE(CopyFileW(recorder().c_str(), (install + L"Quor.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(recorder().c_str(), (version + L"installstat.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(recorder().c_str(), (version + L"quorrun.exe").c_str(), FALSE));
        ASSERT_TRUE(writeFileBytes(version + L"lang.dat", "data"));
        productInfo = quor::setupDataDir(install) + L"ProductInfo.txt";
        ASSERT_TRUE(writeFileBytes(productInfo, "\xEF\xBB\xBFinstallcount=4\r\n"));

        ASSERT_TRUE(setUserValue(kProductKey, L"InstallDir", install));
        ASSERT_TRUE(setUserValue(kProductKey, L"RootPath", install));
        ASSERT_TRUE(setUserValue(kUninstallKey, L"UninstallString", install + L"Uninstall.exe"));
        ASSERT_TRUE(setUserValue(kRunKey, L"QuorAssistant", version + L"quorassistant.exe"));
        ASSERT_TRUE(setUserValue(kRunKey, L"Quor", install + L"Quor.exe"));

        std::wstring desktop = folderPath(CSIDL_DESKTOPDIRECTORY);
        std::wstring maker = folderPath(CSIDL_PROGRAMS) + L"\\Belvane";
        CreateDirectoryW(maker.c_str(), nullptr);
        std::wstring pinned =
            folderPath(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
        SHCreateDirectoryExW(nullptr, pinned.c_str(), nullptr);
        links = {desktop + L"\\Quor语音.lnk",
                 desktop + L"\\Quor游戏大厅.lnk",
                 desktop + L"\\看直播.lnk",
                 desktop + L"\\Fenlo-神秘聊天室.lnk",
                 maker + L"\\Quor语音.lnk",
                 maker + L"\\卸载Quor语音.lnk",
                 folderPath(CSIDL_STARTMENU) + L"\\Quor语音.lnk"};
        kept = {folderPath(CSIDL_FAVORITES) + L"\\Belvane游戏网.url", pinned + L"\\Quor语音.lnk"};
        for (const std::wstring& file : links)
            ASSERT_TRUE(writeFileBytes(file, "lnk")) << file;
        for (const std::wstring& file : kept)
            ASSERT_TRUE(writeFileBytes(file, "keep")) << file;

        DeleteFileW(uninstallLogPath().c_str());
        DeleteFileW(toolJournalPath().c_str());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
        deleteUserValue(kRunKey, L"Quor");
        deleteUserValue(kRunKey, L"QuorAssistant");
        for (const std::wstring& file : links)
            DeleteFileW(file.c_str());
        for (const std::wstring& file : kept)
            DeleteFileW(file.c_str());
        RemoveDirectoryW((folderPath(CSIDL_PROGRAMS) + L"\\Belvane").c_str());
        DeleteFileW(productInfo.c_str());
    }

    // The install directory as the relaunch passes it: quoted, without its backslash.
    std::wstring quotedInstall() const { return L"\"" + install.substr(0, install.size() - 1) + L"\""; }

    bool registryIntact() const {
        return userValueExists(kProductKey, L"InstallDir") && userValueExists(kProductKey, L"RootPath") &&
               userKeyExists(kUninstallKey) && userValueExists(kRunKey, L"Quor") &&
               userValueExists(kRunKey, L"QuorAssistant");
    }

    TempDir temp;
    std::wstring install, version, productInfo;
    std::vector<std::wstring> links, kept;
};

TEST_F(Installed, SilentUninstallRelaunchesFromTheDataDirectoryAndDeletesTheInstallation) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION quor = {};
    std::wstring quorPath = install + L"Quor.exe";
    std::wstring quorLine = L"\"" + quorPath + L"\"";
    ASSERT_TRUE(CreateProcessW(quorPath.c_str(), &quorLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &quor));
    CloseHandle(quor.hThread);

    // A copy left by an earlier uninstall goes when the next one prepares its own.
    std::wstring stale = productDataDir() + L"setup\\uninstall\\{stale}";
    ASSERT_TRUE(quor::createDirectoryTree(stale));
    ASSERT_TRUE(writeFileBytes(stale + L"\\uninstall.exe", "MZ"));

    ProcessResult run = runProgram(install + L"Uninstall.exe", L"-silence", 60000, install.c_str());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    // The copy runs on its own; it is done once the install directory is gone.
    bool removed = waitFor([&] { return !directoryExists(install); }, 45000);
    EXPECT_TRUE(
        waitFor([&] { return uninstallLog().find(L"End delete files.") != std::wstring::npos; }, 5000));
    Sleep(500);
    std::wstring log = uninstallLog();
    EXPECT_TRUE(removed) << "the install directory is deleted";
    EXPECT_EQ(WaitForSingleObject(quor.hProcess, 5000), WAIT_OBJECT_0) << "the running product was ended";
    CloseHandle(quor.hProcess);

    EXPECT_NE(log.find(L"QuorUninstallControl::uninstall, run model is 1."), std::wstring::npos);
    EXPECT_NE(log.find(L"para is -silencedelete -path " + quotedInstall()), std::wstring::npos);
    // The copy's command line is the parameter text alone, so the entry's text after
    // the "program name" starts after the switch.
    EXPECT_NE(log.find(L"Uninstall start, command line is -path " + quotedInstall()), std::wstring::npos);
    EXPECT_NE(log.find(L"QuorUninstallControl::uninstall, run model is 3."), std::wstring::npos);
    EXPECT_EQ(log.find(L"QuorUninstallCore::removeRegistry"), std::wstring::npos) << "silent runs keep them";

    // Exactly one copy (the earlier one was cleared), in a GUID-named folder.
    EXPECT_FALSE(directoryExists(stale));
    std::vector<std::wstring> copies = uninstallCopyFolders();
    ASSERT_EQ(copies.size(), 1u);
    std::wstring guid = copies[0].substr(copies[0].find_last_of(L'\\') + 1);
    EXPECT_EQ(guid.size(), 38u);
    EXPECT_EQ(guid.front(), L'{');
    EXPECT_EQ(guid.back(), L'}');
    EXPECT_TRUE(fileExists(copies[0] + L"\\uninstall.exe"));

    // The tools ran from the copy's folder, with their arguments.
    std::vector<ToolRun> runs = readToolJournal();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].program, quorPath);
    EXPECT_EQ(runs[1].program, version + L"installstat.exe");
    EXPECT_EQ(runs[1].commandLine, L"\"|8.17.0.0|4|u|\"");
    EXPECT_EQ(runs[1].workingDirectory, copies[0]);
    EXPECT_EQ(runs[2].program, version + L"quorrun.exe");
    EXPECT_EQ(runs[2].commandLine, L"-unreg");
    EXPECT_EQ(runs[2].workingDirectory, copies[0]);

    EXPECT_TRUE(registryIntact());
    for (const std::wstring& file : links)
        EXPECT_TRUE(fileExists(file)) << file;
    EXPECT_TRUE(fileExists(productInfo)) << "the product data directory stays";
}

TEST_F(Installed, DeletionRunRemovesFilesThenRegistryThenShortcuts) {
    ProcessResult run = runProgram(uninstaller(), L"-delete -path " + quotedInstall(), 60000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_FALSE(directoryExists(install));
    EXPECT_FALSE(userKeyExists(kProductKey));
    EXPECT_FALSE(userKeyExists(kUninstallKey));
    EXPECT_FALSE(userValueExists(kRunKey, L"Quor"));
    EXPECT_FALSE(userValueExists(kRunKey, L"QuorAssistant"));
    for (const std::wstring& file : links)
        EXPECT_FALSE(fileExists(file)) << file;
    for (const std::wstring& file : kept)
        EXPECT_TRUE(fileExists(file)) << file;
    EXPECT_FALSE(directoryExists(folderPath(CSIDL_PROGRAMS) + L"\\Belvane"));

    std::wstring log = uninstallLog();
    size_t deleted = log.find(L"End delete files.");
    size_t registry = log.find(L"QuorUninstallCore::removeRegistry.");
    size_t shortcuts = log.find(L"QuorUninstallCore::removeShortcuts.");
    ASSERT_NE(deleted, std::wstring::npos);
    ASSERT_NE(registry, std::wstring::npos);
    ASSERT_NE(shortcuts, std::wstring::npos);
    EXPECT_LT(deleted, registry);
    EXPECT_LT(registry, shortcuts);
    EXPECT_NE(log.find(L"QuorUninstallUI::onCleanFinish, no window, message 1227 not posted."),
              std::wstring::npos);
}

TEST_F(Installed, DeletionRunKeepsAProductKeyWithASubkey) {
    ASSERT_TRUE(setUserValue(L"Software\\belvane\\quor\\plugins", L"x", L"1"));
    ProcessResult run = runProgram(uninstaller(), L"-delete -path=" + quotedInstall(), 60000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_FALSE(directoryExists(install));
    EXPECT_TRUE(userValueExists(kProductKey, L"InstallDir"));
    EXPECT_FALSE(userKeyExists(kUninstallKey));
    EXPECT_FALSE(userValueExists(kRunKey, L"QuorAssistant"));
}

TEST_F(Installed, DecoyFolderWithACopiedUninstallerLosesNothing) {
    std::wstring decoy = temp.path() + L"My Own Files\\";
    ASSERT_TRUE(CreateDirectoryW(decoy.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((decoy + L"letters").c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(decoy + L"thesis.doc", "years of work"));
    ASSERT_TRUE(writeFileBytes(decoy + L"letters\\mum.txt", "hello"));
    ASSERT_TRUE(CopyFileW(uninstaller().c_str(), (decoy + L"Uninstall.exe").c_str(), FALSE));

    ProcessResult run = runProgram(decoy + L"Uninstall.exe", L"-silence", 60000, decoy.c_str());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_TRUE(waitFor(
        [] {
            return uninstallLog().find(L"is not a product installation, nothing is deleted.") !=
                   std::wstring::npos;
        },
        30000));
    Sleep(500);
    EXPECT_TRUE(fileExists(decoy + L"thesis.doc"));
    EXPECT_TRUE(fileExists(decoy + L"letters\\mum.txt"));
    EXPECT_TRUE(fileExists(decoy + L"Uninstall.exe"));
    EXPECT_TRUE(registryIntact());
    EXPECT_TRUE(directoryExists(install)) << "the real installation is untouched";

    // Pointed at the folder directly, the deletion run refuses too and removes no entry.
    run = runProgram(uninstaller(), L"-delete -path \"" + decoy.substr(0, decoy.size() - 1) + L"\"", 60000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_TRUE(fileExists(decoy + L"thesis.doc"));
    EXPECT_TRUE(registryIntact());
    for (const std::wstring& file : links)
        EXPECT_TRUE(fileExists(file)) << file;
}

struct EntryCase {
    const wchar_t* arguments;
    int mode;
};

class UninstallEntry : public testing::TestWithParam<EntryCase> {};

// Modes without a deletion end at once with exit code 0 and name their mode.
TEST_P(UninstallEntry, LogsTheModeAndExitsZero) {
    DeleteFileW(uninstallLogPath().c_str());
    ProcessResult run = runProgram(uninstaller(), GetParam().arguments, 60000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    std::wstring log = uninstallLog();
    EXPECT_NE(log.find(std::wstring(L"Uninstall start, command line is ") + GetParam().arguments),
              std::wstring::npos);
    wchar_t line[80];
    swprintf(line, 80, L"QuorUninstallControl::uninstall, run model is %d.", GetParam().mode);
    EXPECT_NE(log.find(line), std::wstring::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(CommandLines, UninstallEntry,
                         testing::Values(EntryCase{L"", 0}, EntryCase{L"-Silence", 0},
                                         EntryCase{L"-silencedelete", 0},
                                         EntryCase{L"-delete -path \"Q:\\no such dir\"", 0}));

} // namespace
