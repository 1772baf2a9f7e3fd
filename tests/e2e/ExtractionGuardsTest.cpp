// What the real installer decides before its first file, under Wine: the temp
// folder as the system resolves it, whatever the environment says, and no
// writing through a linked version folder into somebody else's files.
#include "base/KnownFolders.h"

#include "tests/support/Files.h"
#include "tests/support/Payloads.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnixLink.h"

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr const wchar_t* kTempEntry = L"quor-e2e-roots-temp.txt";
constexpr const wchar_t* kBzqEntry = L"quor-e2e-roots-bzq.txt";

std::wstring bzqDirectory() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\business\\quorpip\\";
}

ProcessResult installSilently(const std::wstring& setup, const std::wstring& directory) {
    return runProgram(setup, L"-silence \"" + directory + L"\"", 120000);
}

// Sets or clears environment variables for the programs this test starts,
// and puts them back afterwards.
class EnvironmentOverride {
public:
    void set(const wchar_t* name, const wchar_t* value) {
        if (!m_saved.count(name)) {
            wchar_t buffer[32768];
            DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
            m_saved[name] = {length > 0, length > 0 ? std::wstring(buffer, length) : std::wstring()};
        }
        SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentOverride() {
        for (const auto& [name, saved] : m_saved)
            SetEnvironmentVariableW(name.c_str(), saved.first ? saved.second.c_str() : nullptr);
    }

private:
    std::map<std::wstring, std::pair<bool, std::wstring>> m_saved;
};

// The system's temp folder for the current environment; empty when it does not fit a path.
std::wstring systemTempFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    std::wstring folder(buffer, length);
    return folder.back() == L'\\' ? folder : folder + L'\\';
}

// Every file below `directory` with its bytes, linked folders not entered.
void snapshot(const std::wstring& directory, const std::wstring& prefix,
              std::map<std::wstring, std::string>* files) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + prefix + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            (*files)[prefix + name] = "<link>";
        else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            snapshot(directory, prefix + name + L"\\", files);
        else
            (*files)[prefix + name] = readFileBytes(directory + prefix + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::map<std::wstring, std::string> snapshot(const std::wstring& directory) {
    std::map<std::wstring, std::string> files;
    snapshot(directory, L"", &files);
    return files;
}

bool isLink(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

struct TempCase {
    const char* name;
    const wchar_t* temp; // null: unset
    const wchar_t* tmp;  // null: unset; "=" keeps it as it is
};

class TempRoot : public testing::TestWithParam<TempCase> {};

TEST_P(TempRoot, TempEntriesGoWhereTheSystemsTempFolderIs) {
    TempDir dir;
    const std::wstring install = dir.path() + L"inst\\";
    std::wstring overLong = dir.path() + std::wstring(300 - dir.path().size(), L'x');
    EnvironmentOverride environment;
    auto value = [&](const wchar_t* v) -> const wchar_t* {
        return v && std::wstring(v) == L"long" ? overLong.c_str() : v;
    };
    environment.set(L"TEMP", value(GetParam().temp));
    if (!GetParam().tmp || std::wstring(GetParam().tmp) != L"=")
        environment.set(L"TMP", value(GetParam().tmp));
    const std::wstring temp = systemTempFolder();
    if (!temp.empty())
        DeleteFileW((temp + kTempEntry).c_str());

    ProcessResult run = installSilently(testPayloadDirectory() + L"..\\QuorSetupRoots.exe", install);
    ASSERT_TRUE(run.ended);
    endProcessesUnder(install);
    if (temp.empty()) {
        // No usable temp folder: the run ends before the first file.
        EXPECT_EQ(run.code(), -5);
        EXPECT_FALSE(fileExists(install + L"Quor.exe"));
    } else {
        EXPECT_EQ(run.code(), 0) << testing::PrintToString(temp);
        EXPECT_TRUE(fileExists(temp + kTempEntry)) << testing::PrintToString(temp);
        EXPECT_TRUE(fileExists(install + L"loose.txt"));
        DeleteFileW((temp + kTempEntry).c_str());
    }
    DeleteFileW((bzqDirectory() + kBzqEntry).c_str());
}

INSTANTIATE_TEST_SUITE_P(Environments, TempRoot,
                         testing::Values(TempCase{"tempUnset", nullptr, L"="},
                                         TempCase{"tempAndTmpUnset", nullptr, nullptr},
                                         TempCase{"tempOverLongTmpUnset", L"long", nullptr}),
                         [](const testing::TestParamInfo<TempCase>& info) {
                             return std::string(info.param.name);
                         });

struct LinkCase {
    const char* name;
    bool installedBefore; // an earlier installation lists the version folder in "Launcher.xml"
};

class LinkedVersionFolder : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkedVersionFolder, LeavesTheLinkedFolderUntouched) {
    TempDir dir;
    const std::wstring install = dir.path() + L"inst\\";
    const std::wstring user = dir.path() + L"user files\\";
    const std::wstring setup = testBinDirectory() + L"QuorSetup.exe";
    if (GetParam().installedBefore) {
        ASSERT_EQ(installSilently(setup, install).code(), 0);
        endProcessesUnder(install);
        ASSERT_TRUE(fileExists(install + L"Launcher.xml"));
        // The installation's programs may take a moment to let go of their files.
        for (int i = 0; i < 100 && directoryExists(install + L"8.17.0.0"); ++i) {
            TempDir::removeTree(install + L"8.17.0.0");
            Sleep(50);
        }
        ASSERT_FALSE(directoryExists(install + L"8.17.0.0"));
    }
    ASSERT_TRUE(quor::createDirectoryTree(install));
    ASSERT_TRUE(quor::createDirectoryTree(user + L"image"));
    // Names the payload's version folder also has, and one it has not.
    ASSERT_TRUE(writeFileBytes(user + L"quorrun.exe", "a user's own program"));
    ASSERT_TRUE(writeFileBytes(user + L"image\\notes.txt", "a user's notes"));
    FolderLink link(install + L"8.17.0.0", user);
    ASSERT_TRUE(link.made());
    const auto userBefore = snapshot(user);
    const auto installBefore = snapshot(install);

    ProcessResult run = installSilently(setup, install);
    ASSERT_TRUE(run.ended);
    endProcessesUnder(install);
    EXPECT_EQ(snapshot(user), userBefore) << "nothing written, replaced or removed there";
    if (isLink(install + L"8.17.0.0")) {
        // The link could not be removed (so under Wine): nothing is installed.
        EXPECT_EQ(run.code(), -5);
        EXPECT_EQ(snapshot(install), installBefore) << "the run ended before its first file";
    } else {
        EXPECT_EQ(run.code(), 0);
        EXPECT_TRUE(directoryExists(install + L"8.17.0.0"));
        EXPECT_TRUE(fileExists(install + L"8.17.0.0\\quorrun.exe"));
    }
}

INSTANTIATE_TEST_SUITE_P(Installations, LinkedVersionFolder,
                         testing::Values(LinkCase{"fresh", false}, LinkCase{"reinstall", true}),
                         [](const testing::TestParamInfo<LinkCase>& info) {
                             return std::string(info.param.name);
                         });
