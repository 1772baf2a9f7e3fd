// The installer's own payload, installed silently and then removed by the
// Uninstall.exe it brought: the sample product's programs write their lines to
// the product journal, so the test sees which tools the uninstaller ran, how and where.
#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"
#include "base/ProductShortcuts.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <windows.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace product = quor::product;

const std::wstring kUninstallKey = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;
// Neighbours of the product's entries that belong to someone else.
const wchar_t* kOtherRunValue = L"QuorRoundTripNeighbour";
const wchar_t* kOtherLinkName = L"QuorRoundTripNeighbour.lnk";

std::wstring shellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring linkIn(const std::wstring& folder, const wchar_t* name) {
    return folder + L"\\" + name + L".lnk";
}

std::wstring dataDir() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\";
}
std::wstring journalPath() {
    return dataDir() + L"product-journal.txt";
}
std::wstring uninstallLog() {
    return utf16Text(readFileBytes(dataDir() + L"setup\\unistV2.log"));
}

struct JournalLine {
    std::wstring program, commandLine, workingDirectory;
};

std::wstring fromUtf8(const std::string& bytes) {
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
    return text;
}

std::vector<JournalLine> readJournal() {
    std::vector<JournalLine> lines;
    std::wstring text = fromUtf8(readFileBytes(journalPath()));
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L"\r\n", at);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(at, end - at);
        size_t a = line.find(L'\t'), b = line.rfind(L'\t');
        if (a != std::wstring::npos && b != a)
            lines.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
        at = end + 2;
    }
    return lines;
}

template <typename F> bool waitFor(F condition, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

class RoundTrip : public testing::Test {
protected:
    void SetUp() override {
        desktop = shellFolder(CSIDL_DESKTOPDIRECTORY);
        makerFolder = shellFolder(CSIDL_PROGRAMS) + L"\\" + product::kMakerFolder;
        startMenu = shellFolder(CSIDL_STARTMENU);
        favourite = shellFolder(CSIDL_FAVORITES) + L"\\" + product::kFavouriteFile;
        taskBar = quor::roamingAppDataFolder() +
                  L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
        cleanUp();
        install = temp.path() + L"Quor Round Trip\\";
        DeleteFileW(journalPath().c_str());
        ProcessResult setup =
            runProgram(testBinDirectory() + L"QuorSetup.exe",
                       L"-silence \"" + install.substr(0, install.size() - 1) + L"\"", 120000);
        ASSERT_TRUE(setup.ended);
        ASSERT_EQ(setup.code(), 0);
        ASSERT_TRUE(fileExists(install + L"Uninstall.exe"));
        ASSERT_TRUE(fileExists(install + L"Quor.exe"));
        // The product keeps its installation count beside its other per-installation data.
        productInfo = quor::setupDataDir(install) + L"ProductInfo.txt";
        ASSERT_TRUE(writeFileBytes(productInfo, "\xEF\xBB\xBFinstallcount=3\r\n"));
        // The installer's four tools start without being waited for; their lines
        // must be in before the journal is cleared, and the assistant stays up.
        ASSERT_TRUE(waitFor([&] { return readJournal().size() >= 4; }, 30000)) << "the installer's tools ran";
        endProcessesUnder(install);
        DeleteFileW(journalPath().c_str());
        DeleteFileW((dataDir() + L"setup\\unistV2.log").c_str());
    }
    void TearDown() override {
        DeleteFileW(productInfo.c_str());
        endProcessesUnder(install);
        cleanUp();
    }

    // Everything an installation (or this test) writes outside its own directories.
    void cleanUp() {
        RegDeleteTreeW(HKEY_CURRENT_USER, product::kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey.c_str());
        for (const wchar_t* name : {product::kAssistantRunValue, product::kProductRunValue, kOtherRunValue})
            deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, name);
        for (const wchar_t* name :
             {product::kProductLinkName, product::kLobbyLinkName, product::kGlimmerLinkName,
              product::kFenloLinkName, product::kGameBoxLinkName, product::kObsoleteLinkName})
            DeleteFileW(linkIn(desktop, name).c_str());
        DeleteFileW((desktop + L"\\" + kOtherLinkName).c_str());
        DeleteFileW(linkIn(startMenu, product::kProductLinkName).c_str());
        DeleteFileW(favourite.c_str());
        TempDir::removeTree(makerFolder);
        TempDir::removeTree(taskBar);
    }

    // The links the installation made (the first three lead to the product).
    std::vector<std::wstring> installerLinks() const {
        return {
            linkIn(desktop, product::kProductLinkName),   linkIn(makerFolder, product::kProductLinkName),
            linkIn(startMenu, product::kProductLinkName), linkIn(makerFolder, product::kUninstallLinkName),
            linkIn(desktop, product::kLobbyLinkName),     linkIn(desktop, product::kGlimmerLinkName),
            linkIn(desktop, product::kFenloLinkName)};
    }

    void expectInstallerEntriesInPlace() const {
        EXPECT_EQ(
            readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, product::kInstallDirValue).text(),
            install);
        EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, product::kRootPathValue).text(),
                  install);
        EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kAssistantRunValue).text(),
                  install + L"8.17.0.0\\quorassistant.exe");
        EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, kUninstallKey, L"UninstallString").text(),
                  install + L"Uninstall.exe");
        std::vector<std::wstring> links = installerLinks();
        for (size_t i = 0; i < links.size(); ++i) {
            ShellLinkInfo info = readShellLink(links[i]);
            EXPECT_TRUE(info.loaded) << testing::PrintToString(links[i]);
            if (i < 3) {
                EXPECT_EQ(info.target, install + L"Quor.exe") << testing::PrintToString(links[i]);
            }
        }
        EXPECT_TRUE(directoryExists(makerFolder));
    }

    TempDir temp;
    std::wstring install, productInfo;
    std::wstring desktop, makerFolder, startMenu, favourite, taskBar;
};

TEST_F(RoundTrip, SilentUninstallFromTheInstallDirectoryRemovesTheSample) {
    std::wstring quorPath = install + L"Quor.exe";
    std::wstring quorLine = L"\"" + quorPath + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION quor = {};
    ASSERT_TRUE(CreateProcessW(quorPath.c_str(), &quorLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               install.c_str(), &si, &quor));
    CloseHandle(quor.hThread);
    ASSERT_TRUE(waitFor([] { return !readJournal().empty(); }, 10000)) << "the product started";

    expectInstallerEntriesInPlace();

    ProcessResult run = runProgram(install + L"Uninstall.exe", L"-silence", 60000, install.c_str());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_TRUE(waitFor([&] { return !directoryExists(install); }, 45000))
        << "the install directory is deleted";
    EXPECT_EQ(WaitForSingleObject(quor.hProcess, 5000), WAIT_OBJECT_0) << "the running product was ended";
    CloseHandle(quor.hProcess);
    Sleep(300);

    std::wstring quoted = L"\"" + install.substr(0, install.size() - 1) + L"\"";
    std::wstring log = uninstallLog();
    EXPECT_NE(log.find(L"para is -silencedelete -path " + quoted), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"QuorUninstallControl::uninstall, run model is 3."), std::wstring::npos);

    std::vector<JournalLine> lines = readJournal();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].program, quorPath);
    std::wstring version = install + L"8.17.0.0\\";
    EXPECT_EQ(lines[1].program, version + L"installstat.exe");
    EXPECT_EQ(lines[1].commandLine, L"\"|8.17.0.0|3|u|\"");
    EXPECT_EQ(lines[2].program, version + L"quorrun.exe");
    EXPECT_EQ(lines[2].commandLine, L"-unreg");
    // The tools ran while the relaunched copy's folder was the current directory.
    std::wstring copies = dataDir() + L"setup\\uninstall\\";
    ASSERT_EQ(lines[1].workingDirectory.compare(0, copies.size(), copies), 0) << lines[1].workingDirectory;
    std::wstring copyFolder = lines[1].workingDirectory;
    EXPECT_EQ(copyFolder.size(), copies.size() + 38) << "a GUID-named folder";
    EXPECT_TRUE(fileExists(copyFolder + L"\\uninstall.exe"));
    EXPECT_EQ(lines[2].workingDirectory, copyFolder);

    // A silent run removes no registry entry and no shortcut.
    expectInstallerEntriesInPlace();
    EXPECT_TRUE(fileExists(productInfo)) << "the product data directory stays";
}

TEST_F(RoundTrip, DeletionRunRemovesTheInstallation) {
    expectInstallerEntriesInPlace();
    // What the last page makes on request and what the user pinned or owns.
    ASSERT_TRUE(setUserValue(product::kRunKey, product::kProductRunValue, install + L"Quor.exe"));
    ASSERT_TRUE(setUserValue(product::kRunKey, kOtherRunValue, L"C:\\other.exe"));
    ASSERT_TRUE(writeShellLink(linkIn(desktop, product::kGameBoxLinkName), L"C:\\gamebox.exe", L"C:\\"));
    ASSERT_TRUE(writeShellLink(desktop + L"\\" + kOtherLinkName, L"C:\\other.exe", L"C:\\"));
    ASSERT_TRUE(writeFileBytes(favourite, "favourite"));
    ASSERT_TRUE(quor::createDirectoryTree(taskBar));
    const std::wstring pinned = taskBar + L"\\Quor.lnk";
    ASSERT_TRUE(writeShellLink(pinned, install + L"Quor.exe", quor::productDataDir()));

    ProcessResult run =
        runProgram(testBinDirectory() + L"Uninstall.exe",
                   L"-delete -path \"" + install.substr(0, install.size() - 1) + L"\"", 60000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_FALSE(directoryExists(install));
    std::vector<JournalLine> lines = readJournal();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].commandLine, L"\"|8.17.0.0|3|u|\"");
    EXPECT_EQ(lines[1].commandLine, L"-unreg");
    EXPECT_NE(uninstallLog().find(L"QuorUninstallCore::removeShortcuts."), std::wstring::npos);

    EXPECT_FALSE(userKeyExists(product::kProductKey));
    EXPECT_FALSE(userKeyExists(kUninstallKey.c_str()));
    EXPECT_FALSE(userValueExists(product::kRunKey, product::kAssistantRunValue));
    EXPECT_FALSE(userValueExists(product::kRunKey, product::kProductRunValue));
    for (const std::wstring& link : installerLinks())
        EXPECT_FALSE(fileExists(link)) << testing::PrintToString(link);
    EXPECT_FALSE(fileExists(linkIn(desktop, product::kGameBoxLinkName)));
    EXPECT_FALSE(directoryExists(makerFolder)) << "the emptied maker folder goes";

    EXPECT_TRUE(userValueExists(product::kRunKey, kOtherRunValue));
    EXPECT_TRUE(fileExists(desktop + L"\\" + kOtherLinkName));
    EXPECT_EQ(readFileBytes(favourite), "favourite");
    EXPECT_EQ(readShellLink(pinned).target, install + L"Quor.exe") << "a pinned link stays";
}

} // namespace
