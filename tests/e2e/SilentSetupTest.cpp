// Silent installer runs: the real QuorSetup.exe under Wine, judged by its exit
// code, its log and the files it leaves.
#include "base/KnownFolders.h"

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <gtest/gtest.h>

namespace {

const wchar_t* kSetupMutex = L"{0980E678-72D2-484b-B983-D4E17598D5B7}";

std::wstring setupLogPath() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\setup\\setupV2.log";
}

struct SetupRun {
    int code = 99;
    std::wstring log; // this run's records only
    bool has(const std::wstring& message) const {
        return log.find(L"] " + message + L"\r\n") != std::wstring::npos;
    }
};

SetupRun runSilentSetup(const std::wstring& arguments) {
    SetupRun run;
    ProcessResult process = runProgram(testBinDirectory() + L"QuorSetup.exe", arguments, 60000);
    EXPECT_TRUE(process.ended) << "QuorSetup.exe " << testing::PrintToString(arguments);
    run.code = process.code();
    std::wstring text = utf16Text(readFileBytes(setupLogPath()));
    size_t start = text.rfind(L"Setup start, command line is " + arguments + L" ---");
    EXPECT_NE(start, std::wstring::npos) << "no start banner for " << testing::PrintToString(arguments);
    if (start != std::wstring::npos)
        run.log = text.substr(start);
    return run;
}

// Everything below `directory`, as relative paths.
void listTree(const std::wstring& directory, const std::wstring& prefix, std::vector<std::wstring>* entries) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries->push_back(prefix + name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listTree(directory + L"\\" + name, prefix + name + L"\\", entries);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::vector<std::wstring> treeOf(const std::wstring& directory) {
    std::vector<std::wstring> entries;
    listTree(directory, L"", &entries);
    return entries;
}

std::wstring missingDrive() {
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
        if (!(drives & (1u << (letter - L'A'))))
            return std::wstring(1, letter) + L":";
    return L"";
}

// Sets HKCU\Software\belvane\quor "RootPath" for one test (an empty value removes
// it) and puts back what was there.
class RootPathOverride {
public:
    explicit RootPathOverride(const std::wstring& value) {
        HKEY key;
        m_keyExisted = RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_keyExisted) {
            wchar_t buffer[1024] = {};
            DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
            m_hadValue = RegQueryValueExW(key, L"RootPath", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                          &size) == ERROR_SUCCESS;
            m_type = type;
            m_old.assign(reinterpret_cast<const char*>(buffer), size);
            RegCloseKey(key);
        }
        if (value.empty()) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"RootPath");
            return;
        }
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExW(key, L"RootPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~RootPathOverride() {
        if (!m_keyExisted) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"RootPath");
            RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
        } else if (!m_hadValue) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"RootPath");
        } else {
            HKEY key;
            RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, &key);
            RegSetValueExW(key, L"RootPath", 0, m_type, reinterpret_cast<const BYTE*>(m_old.data()),
                           static_cast<DWORD>(m_old.size()));
            RegCloseKey(key);
        }
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\belvane\\quor";
    bool m_keyExisted = false;
    bool m_hadValue = false;
    DWORD m_type = REG_SZ;
    std::string m_old;
};

void expectSuccessfulRun(const SetupRun& run, const std::wstring& setupPath) {
    EXPECT_EQ(run.code, 0);
    EXPECT_TRUE(run.has(L"QuorSetupControl::startSetup, install model is 1."));
    EXPECT_TRUE(run.has(L"Check step finish, return [CR_Success]."));
    EXPECT_TRUE(run.has(L"Check result is CR_Success, and then prepare to decompress."));
    EXPECT_TRUE(run.has(L"QuorSetupControl::continueSilently, setup path is " + setupPath + L"."));
    EXPECT_TRUE(run.has(L"QuorSetupControl::onDecompressFinish, success."));
    EXPECT_TRUE(run.has(L"Quit application, exit code is 0"));
    EXPECT_NE(run.log.find(L"-------------------------------------end install---"), std::wstring::npos);
}

} // namespace

struct TokenCase {
    const char* name;
    const wchar_t* before; // text before the directory
    const wchar_t* after;  // text after it
    const wchar_t* leaf;   // the directory's own name under the temp folder
};

class SilentSetupTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(SilentSetupTokens, ValidDirectoryEndsWithZero) {
    TempDir dir;
    std::wstring target = dir.path() + GetParam().leaf;
    SetupRun run = runSilentSetup(GetParam().before + target + GetParam().after);
    expectSuccessfulRun(run, target);
    // The run may write only inside the chosen directory.
    EXPECT_EQ(treeOf(dir.path()).size(), treeOf(target).size() + (directoryExists(target) ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Variants, SilentSetupTokens,
    testing::Values(TokenCase{"blank", L"-silence ", L"", L"quor"},
                    TokenCase{"equals", L"-silence=", L"", L"quor"},
                    TokenCase{"quotedWithBlanks", L"-silence \"", L"\"", L"my quor dir"},
                    TokenCase{"amongOtherTokens", L"/x -silence ", L" trailing", L"quor"}),
    [](const testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

TEST(SilentSetup, SwitchAsLastTokenUsesTheDefaultDirectory) {
    TempDir dir;
    // The stored root of an earlier installation is the default; pointing it at a
    // temp folder keeps the run away from the real program-files folder.
    std::wstring root = dir.path() + L"previous";
    RootPathOverride override(root);
    SetupRun run = runSilentSetup(L"-silence");
    EXPECT_TRUE(run.has(L"Initialized setup path is " + root));
    expectSuccessfulRun(run, root);
}

namespace {

// The machine field of a program's PE header (IMAGE_FILE_MACHINE_I386 or _AMD64).
WORD machineOf(const std::wstring& program) {
    std::string image = readFileBytes(program);
    if (image.size() < 0x40)
        return 0;
    DWORD peOffset = *reinterpret_cast<const DWORD*>(image.data() + 0x3c);
    if (image.size() < peOffset + 6)
        return 0;
    return *reinterpret_cast<const WORD*>(image.data() + peOffset + 4);
}

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)))
        result = path;
    CoTaskMemFree(path);
    return result;
}

} // namespace

// Without a stored root the installer proposes the program-files folder that
// Windows gives a program of its kind: "Program Files (x86)" for the 32-bit
// release build on 64-bit Windows, "Program Files" for a 64-bit build.
TEST(SilentSetup, WithoutAStoredRootInstallsIntoTheProgramFilesFolderOfItsKind) {
    WORD machine = machineOf(testBinDirectory() + L"QuorSetup.exe");
    ASSERT_TRUE(machine == IMAGE_FILE_MACHINE_I386 || machine == IMAGE_FILE_MACHINE_AMD64) << machine;
    std::wstring programFiles = knownFolder(FOLDERID_ProgramFiles);
    std::wstring expected =
        machine == IMAGE_FILE_MACHINE_I386 ? knownFolder(FOLDERID_ProgramFilesX86) : programFiles;
    ASSERT_FALSE(expected.empty());
    if (machine == IMAGE_FILE_MACHINE_I386) {
        ASSERT_NE(expected, programFiles) << "this test runs on 64-bit Windows";
    }
    const std::wstring maker = expected + L"\\belvane";
    const std::wstring install = maker + L"\\quor";
    ASSERT_FALSE(directoryExists(install)) << "the folder belongs to someone else";
    bool makerExisted = directoryExists(maker);
    RootPathOverride noRoot(L"");

    SetupRun run = runSilentSetup(L"-silence");
    std::string installed = readFileBytes(install + L"\\Quor.exe");
    Sleep(1000);
    endProcessesUnder(install + L"\\");
    TempDir::removeTree(install);
    if (!makerExisted)
        RemoveDirectoryW(maker.c_str());
    EXPECT_FALSE(directoryExists(install));
    EXPECT_TRUE(run.has(L"Initialized setup path is " + install));
    expectSuccessfulRun(run, install);
    EXPECT_EQ(installed, readFileBytes(testBinDirectory() + L"..\\payload\\tree\\InstallDir\\Quor.exe"));
}

TEST(SilentSetup, SecondInstanceWhileTheMutexIsHeldEndsWithMinusOne) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kSetupMutex);
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "no installer may run during this test";
    TempDir dir;
    std::wstring target = dir.path() + L"quor";
    SetupRun run = runSilentSetup(L"-silence " + target);
    CloseHandle(mutex);
    EXPECT_EQ(run.code, -1);
    EXPECT_TRUE(run.has(L"Check step, _isSetupExist return false [CR_SetupExist]."));
    EXPECT_TRUE(run.has(L"Check result is CR_SetupExist"));
    EXPECT_TRUE(run.has(L"Quit application, exit code is -1"));
    EXPECT_FALSE(run.has(L"QuorSetupControl::onDecompressFinish, success."));
    EXPECT_TRUE(treeOf(dir.path()).empty()) << "nothing is written besides the log";
}

TEST(SilentSetup, MutexIsFreeAgainAfterARun) {
    TempDir dir;
    SetupRun first = runSilentSetup(L"-silence " + dir.path() + L"one");
    SetupRun second = runSilentSetup(L"-silence " + dir.path() + L"two");
    EXPECT_EQ(first.code, 0);
    EXPECT_EQ(second.code, 0) << "an ended installer no longer holds the mutex";
}

struct BadPathCase {
    const char* name;
    std::wstring (*arguments)(const std::wstring& temp);
};

class SilentSetupBadPath : public testing::TestWithParam<BadPathCase> {};

TEST_P(SilentSetupBadPath, EndsWithMinusThreeBeforeWritingAnything) {
    TempDir dir;
    std::wstring arguments = GetParam().arguments(dir.path());
    ASSERT_FALSE(arguments.empty());
    SetupRun run = runSilentSetup(arguments);
    EXPECT_EQ(run.code, -3);
    EXPECT_TRUE(run.has(L"Check result is CR_Success, and then prepare to decompress."));
    EXPECT_TRUE(run.has(L"Quit application, exit code is -3"));
    EXPECT_FALSE(run.has(L"QuorSetupControl::onDecompressFinish, success."));
    EXPECT_TRUE(treeOf(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SilentSetupBadPath,
    testing::Values(
        BadPathCase{"missingDrive",
                    [](const std::wstring&) {
                        std::wstring drive = missingDrive();
                        return drive.empty() ? drive : L"-silence " + drive + L"\\Quor";
                    }},
        BadPathCase{"asteriskAfterRoot", [](const std::wstring& t) { return L"-silence " + t + L"qu*or"; }},
        BadPathCase{"questionMark", [](const std::wstring& t) { return L"-silence=" + t + L"quor?"; }},
        BadPathCase{"blankMiddleComponent",
                    [](const std::wstring& t) { return L"-silence \"" + t + L"a\\   \\quor\""; }},
        BadPathCase{"relative", [](const std::wstring&) { return std::wstring(L"-silence quor\\here"); }}),
    [](const testing::TestParamInfo<BadPathCase>& info) { return std::string(info.param.name); });

TEST(SilentSetup, SwitchInOtherSpellingsStaysInteractive) {
    TempDir dir;
    for (const wchar_t* spelling : {L"-SILENCE ", L"/silence "}) {
        SetupRun run = runSilentSetup(spelling + dir.path() + L"quor");
        EXPECT_EQ(run.code, 0);
        EXPECT_TRUE(run.has(L"QuorSetupControl::startSetup, install model is 0.")) << spelling;
        EXPECT_TRUE(run.has(L"Async check environment."));
        EXPECT_FALSE(run.has(L"QuorSetupControl::continueSilently, setup path is " + dir.path() + L"quor."));
    }
}
