// "-silence DIR" with a directory written with forward slashes or padded with
// blanks: the real installer under Wine must check and use one form of it, so
// that the running-product guard holds and the registry and shortcuts name the
// directory the files went to.
#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "base/ProductRegistry.h"

#include "tests/support/Files.h"
#include "tests/support/Payloads.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"
#include "tests/support/TempDir.h"

#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

namespace product = quor::product;

const std::wstring kUninstallKey = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;

std::wstring withForwardSlashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'\\')
            c = L'/';
    return path;
}

int runSilent(const std::wstring& arguments) {
    ProcessResult run = runProgram(testBinDirectory() + L"QuorSetup.exe", arguments, 120000);
    EXPECT_TRUE(run.ended);
    return run.code();
}

std::wstring desktopFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The product stand-in, started from a directory and showing its main window.
class RunningProduct {
public:
    explicit RunningProduct(const std::wstring& directory) {
        quor::createDirectoryTree(directory);
        std::wstring path = directory + L"Quor.exe";
        if (!CopyFileW((testBinDirectory() + L"Quor.exe").c_str(), path.c_str(), FALSE))
            return;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring commandLine = L"\"" + path + L"\"";
        m_started = CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &m_pi);
    }
    ~RunningProduct() {
        if (!m_started)
            return;
        TerminateProcess(m_pi.hProcess, 0);
        WaitForSingleObject(m_pi.hProcess, 5000);
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    bool alive() const { return m_started && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    // The window shows once the program surely runs.
    bool waitForWindow() const {
        for (int i = 0; i < 500 && alive(); ++i) {
            if (quorWindowOf(m_pi.dwProcessId))
                return true;
            Sleep(20);
        }
        return false;
    }

private:
    static bool quorWindowOf(DWORD processId) {
        struct Search {
            DWORD id;
            bool found;
        } search = {processId, false};
        EnumWindows(
            [](HWND window, LPARAM p) -> BOOL {
                Search* s = reinterpret_cast<Search*>(p);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t name[300] = {};
                GetClassNameW(window, name, 300);
                if (owner == s->id &&
                    std::wstring(name) ==
                        L"BELVANE SPEAK MAIN FRAME | 4D1BB563-E5FC-4771-AD17-6442A4147044") {
                    s->found = true;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    PROCESS_INFORMATION m_pi = {};
    bool m_started = false;
};

std::vector<std::wstring> namesBelow(const std::wstring& directory) {
    std::vector<std::wstring> names;
    for (const TreeFile& f : listTree(directory))
        names.push_back(f.relative);
    return names;
}

// Removes what an installation writes outside its directory.
class InstallDirectoryForm : public testing::Test {
protected:
    void SetUp() override { cleanUp(); }
    void TearDown() override {
        endProcessesUnder(root.path());
        cleanUp();
    }
    void cleanUp() {
        RegDeleteTreeW(HKEY_CURRENT_USER, product::kProductKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey.c_str());
        deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kAssistantRunValue);
        const std::wstring desktop = desktopFolder();
        for (const wchar_t* name : {L"Quor语音", L"Quor游戏大厅", L"看直播", L"Fenlo-神秘聊天室"})
            DeleteFileW((desktop + L"\\" + name + L".lnk").c_str());
    }
    TempDir root;
};

} // namespace

struct RunningCase {
    const char* name;
    std::wstring (*argument)(const std::wstring& directory); // directory ends with "\"
};

class ProductRunningUnderAnotherSpelling : public InstallDirectoryForm,
                                           public testing::WithParamInterface<RunningCase> {};

TEST_P(ProductRunningUnderAnotherSpelling, EndsWithMinusFourAndMovesNothing) {
    const std::wstring install = root.path() + L"run\\";
    RunningProduct running(install);
    ASSERT_TRUE(running.waitForWindow());
    std::wstring given = GetParam().argument(root.path() + L"run");
    EXPECT_EQ(runSilent(L"-silence \"" + given + L"\""), -4) << testing::PrintToString(given);
    EXPECT_TRUE(running.alive()) << "a silent run closes nothing";
    EXPECT_EQ(namesBelow(root.path()), (std::vector<std::wstring>{L"run", L"run\\Quor.exe"}))
        << "nothing moved aside, nothing written";
    EXPECT_FALSE(fileExists(quor::setupDataDir(install) + L"lang.config"));
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"InstallDir").found);
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, ProductRunningUnderAnotherSpelling,
    testing::Values(
        RunningCase{"forwardSlashes", [](const std::wstring& d) { return withForwardSlashes(d); }},
        RunningCase{"trailingSlash", [](const std::wstring& d) { return withForwardSlashes(d) + L"/"; }},
        RunningCase{"doubledSeparators",
                    [](const std::wstring& d) { return d.substr(0, 3) + L"\\" + d.substr(3) + L"\\\\"; }},
        RunningCase{"leadingBlank", [](const std::wstring& d) { return L" " + d; }},
        RunningCase{"trailingBlanks", [](const std::wstring& d) { return d + L"  "; }}),
    [](const testing::TestParamInfo<RunningCase>& info) { return std::string(info.param.name); });

struct FormCase {
    const char* name;
    std::wstring (*argument)(const std::wstring& directory);
};

class InstalledUnderAnotherSpelling : public InstallDirectoryForm,
                                      public testing::WithParamInterface<FormCase> {};

TEST_P(InstalledUnderAnotherSpelling, FilesRegistryAndShortcutsUseOneForm) {
    const std::wstring install = root.path() + L"quor dir\\";
    std::wstring given = GetParam().argument(root.path() + L"quor dir");
    ASSERT_EQ(runSilent(L"-silence \"" + given + L"\""), 0) << testing::PrintToString(given);
    EXPECT_TRUE(fileExists(install + L"Quor.exe"));
    // The listing gives the names as stored: a folder "quor dir " would show here.
    for (const std::wstring& name : namesBelow(root.path()))
        EXPECT_TRUE(name == L"quor dir" || name.compare(0, 9, L"quor dir\\") == 0)
            << "only the one directory: " << testing::PrintToString(name);
    EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"InstallDir").text(), install);
    EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"RootPath").text(), install);
    EXPECT_EQ(readRegistryValue(HKEY_CURRENT_USER, kUninstallKey, L"UninstallString").text(),
              install + L"Uninstall.exe");
    EXPECT_EQ(readShellLink(desktopFolder() + L"\\Quor语音.lnk").target, install + L"Quor.exe");
    EXPECT_TRUE(fileExists(quor::setupDataDir(install) + L"lang.config"));
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, InstalledUnderAnotherSpelling,
    testing::Values(FormCase{"forwardSlashes", [](const std::wstring& d) { return withForwardSlashes(d); }},
                    FormCase{"blankPadded", [](const std::wstring& d) { return L"  " + d + L" "; }}),
    [](const testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST_F(InstallDirectoryForm, UnusableBlankPaddedDirectoryEndsWithMinusThreeWritingNothing) {
    for (const std::wstring& given :
         {L" " + withForwardSlashes(root.path()) + L"a/   /quor ", std::wstring(L"   ")}) {
        EXPECT_EQ(runSilent(L"-silence \"" + given + L"\""), -3) << testing::PrintToString(given);
        EXPECT_TRUE(namesBelow(root.path()).empty());
        EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"InstallDir").found);
    }
}
