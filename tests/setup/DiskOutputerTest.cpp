#include "setup/CDiskOutputer.h"

#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "setup/QuorSetupListener.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring tempVariable() {
    wchar_t temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    return std::wstring(temp) + L"\\";
}

const unsigned char* bytesOf(const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

struct MappingCase {
    const wchar_t* name;
    const wchar_t* root; // "I" install, "D" data, "T" temp, "B" business; "" root entry; "-" refused
    const wchar_t* rest;
};

class DiskOutputerMapping : public testing::TestWithParam<MappingCase> {};

TEST_P(DiskOutputerMapping, MapsTheFirstComponentToItsDirectory) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    CDiskOutputer outputer(install, nullptr, nullptr);
    const MappingCase& c = GetParam();
    bool isRootEntry = false;
    std::wstring path = outputer.mapEntry(c.name, &isRootEntry);
    std::wstring root = c.root;
    EXPECT_EQ(isRootEntry, root.empty());
    if (root.empty() || root == L"-") {
        EXPECT_TRUE(path.empty());
        return;
    }
    std::wstring base = root == L"I"   ? install
                        : root == L"D" ? quor::setupDataDir(install)
                        : root == L"T"
                            ? tempVariable()
                            : quor::roamingAppDataFolder() + L"\\belvane\\quor\\business\\quorpip\\";
    EXPECT_EQ(path, base + c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskOutputerMapping,
    testing::Values(MappingCase{L"InstallDir\\Quor.exe", L"I", L"Quor.exe"},
                    MappingCase{L"installdir\\8.17.0.0\\image\\a.ico", L"I", L"8.17.0.0\\image\\a.ico"},
                    MappingCase{L"AppData\\lang.config", L"D", L"lang.config"},
                    MappingCase{L"APPDATA\\x\\y.txt", L"D", L"x\\y.txt"},
                    MappingCase{L"TEMP\\t.txt", L"T", L"t.txt"}, MappingCase{L"BZQ\\b.txt", L"B", L"b.txt"},
                    MappingCase{L"Other\\o.txt", L"I", L"o.txt"},
                    MappingCase{L"loose.txt", L"I", L"loose.txt"}, MappingCase{L"InstallDir", L"", L""},
                    MappingCase{L"appdata", L"", L""}, MappingCase{L"Temp", L"", L""},
                    MappingCase{L"bzq", L"", L""}, MappingCase{L"InstallDir\\..\\x.txt", L"-", L""},
                    MappingCase{L"AppData\\..\\..\\x.txt", L"-", L""},
                    MappingCase{L"InstallDir\\C:\\Windows\\x.dll", L"-", L""},
                    MappingCase{L"InstallDir\\\\server\\share\\x", L"-", L""},
                    MappingCase{L"\\Windows\\x.dll", L"-", L""}, MappingCase{L"..", L"-", L""},
                    MappingCase{L"C:x", L"-", L""}));

TEST(DiskOutputer, NormalisesItsRootDirectory) {
    EXPECT_EQ(CDiskOutputer(L"C:/a/b", nullptr, nullptr).rootDirectory(), L"C:\\a\\b\\");
    EXPECT_EQ(CDiskOutputer(L"C:\\a\\", nullptr, nullptr).rootDirectory(), L"C:\\a\\");
    EXPECT_EQ(CDiskOutputer(L"", nullptr, nullptr).rootDirectory(), L"");
}

TEST(DiskOutputer, AppDataDependsOnTheInstallDirectoryButNotOnItsCase) {
    bool root = false;
    std::wstring a = CDiskOutputer(L"C:\\Quor\\A\\", nullptr, nullptr).mapEntry(L"AppData\\x", &root);
    std::wstring b = CDiskOutputer(L"C:\\Quor\\B\\", nullptr, nullptr).mapEntry(L"AppData\\x", &root);
    std::wstring upper = CDiskOutputer(L"c:/QUOR/a", nullptr, nullptr).mapEntry(L"AppData\\x", &root);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, upper);
}

TEST(DiskOutputer, WritesFilesAndFoldersCreatingParents) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    CDiskOutputer outputer(install, nullptr, nullptr);
    std::string data = "payload bytes";
    EXPECT_TRUE(outputer.output(L"InstallDir/8.17.0.0/image/a.ico", false, bytesOf(data), data.size()));
    EXPECT_EQ(readFileBytes(install + L"8.17.0.0\\image\\a.ico"), data);
    EXPECT_TRUE(outputer.output(L"InstallDir\\empty.dat", false, nullptr, 0));
    bool ok = false;
    EXPECT_EQ(readFileBytes(install + L"empty.dat", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(outputer.output(L"InstallDir\\folder\\inner", true, nullptr, 0));
    EXPECT_TRUE(directoryExists(install + L"folder\\inner"));
    EXPECT_TRUE(outputer.output(L"InstallDir", true, nullptr, 0));
    EXPECT_FALSE(directoryExists(install + L"InstallDir"));
}

TEST(DiskOutputer, FileInUseIsMovedAsideReplacingAnOlderOldFile) {
    TempDir temp;
    std::wstring target = temp.path() + L"Quor.exe";
    ASSERT_TRUE(writeFileBytes(target, "running"));
    ASSERT_TRUE(writeFileBytes(target + L".old", "older"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CDiskOutputer outputer(temp.path(), nullptr, nullptr);
    std::string data = "new product";
    EXPECT_TRUE(outputer.output(L"InstallDir\\Quor.exe", false, bytesOf(data), data.size()));
    CloseHandle(held);
    EXPECT_EQ(readFileBytes(target), data);
    EXPECT_EQ(readFileBytes(target + L".old"), "running");
}

TEST(DiskOutputer, FileThatCanNeitherBeWrittenNorMovedFailsTheEntry) {
    TempDir temp;
    std::wstring target = temp.path() + L"locked.dat";
    ASSERT_TRUE(writeFileBytes(target, "locked"));
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CDiskOutputer outputer(temp.path(), nullptr, nullptr);
    std::string data = "new";
    EXPECT_FALSE(outputer.output(L"InstallDir\\locked.dat", false, bytesOf(data), data.size()));
    CloseHandle(held);
    EXPECT_EQ(readFileBytes(target), "locked");
}

TEST(DiskOutputer, RefusedEntryFailsAndWritesNothing) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    CDiskOutputer outputer(install, nullptr, nullptr);
    std::string data = "escape";
    EXPECT_FALSE(outputer.output(L"InstallDir\\..\\escaped.txt", false, bytesOf(data), data.size()));
    EXPECT_FALSE(outputer.output(L"InstallDir/../escaped-folder", true, nullptr, 0));
    EXPECT_FALSE(fileExists(temp.path() + L"escaped.txt"));
    EXPECT_FALSE(directoryExists(temp.path() + L"escaped-folder"));
}

class ProgressListener : public QuorSetupListener {
public:
    void onCheckResult(int) override {}
    void onQuorRunning() override {}
    void onDecompressBegin() override {}
    void onDecompressProgress(int index, int count) override { steps.push_back({index, count}); }
    void onDecompressFail(const std::wstring&) override {}
    void onDecompressFinish(bool) override {}
    std::vector<std::pair<int, int>> steps;
};

TEST(DiskOutputer, ForwardsProgressToTheListener) {
    ProgressListener listener;
    CDiskOutputer outputer(L"C:\\inst\\", &listener, nullptr);
    outputer.progress(0, 3);
    outputer.progress(2, 3);
    ASSERT_EQ(listener.steps.size(), 2u);
    EXPECT_EQ(listener.steps[1], std::make_pair(2, 3));
    CDiskOutputer silent(L"C:\\inst\\", nullptr, nullptr);
    silent.progress(0, 1); // no listener: nothing to call
}

} // namespace
