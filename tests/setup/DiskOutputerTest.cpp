#include "setup/CDiskOutputer.h"

#include "base/KnownFolders.h"
#include "base/ProductPaths.h"
#include "setup/QuorSetupListener.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"
#include "tests/support/UnixLink.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The system's temp folder, as the system resolves it.
std::wstring tempVariable() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = temp;
    return folder.back() == L'\\' ? folder : folder + L"\\";
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

// Fails its first `openFailures` creations and `writeFailures` writes, and
// counts what it was asked to do.
class FlakyOutputer : public CDiskOutputer {
public:
    FlakyOutputer(const std::wstring& root, int openFailures, int writeFailures)
        : CDiskOutputer(root, nullptr, nullptr), m_openFailures(openFailures),
          m_writeFailures(writeFailures) {}
    int creates = 0, writes = 0, movesAside = 0;

protected:
    HANDLE _createTarget(const std::wstring& path) override {
        if (creates++ < m_openFailures) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
        return CDiskOutputer::_createTarget(path);
    }
    bool _writeAll(HANDLE file, const unsigned char* data, size_t size) override {
        if (writes++ < m_writeFailures) {
            // A short write: half the bytes reach the file.
            CDiskOutputer::_writeAll(file, data, size / 2);
            return false;
        }
        return CDiskOutputer::_writeAll(file, data, size);
    }
    void _moveAside(const std::wstring& path) override {
        ++movesAside;
        CDiskOutputer::_moveAside(path);
    }

private:
    int m_openFailures, m_writeFailures;
};

struct RetryCase {
    int openFailures, writeFailures;
    bool written;
    int creates, movesAside, writes;
};

class DiskOutputerRetries : public testing::TestWithParam<RetryCase> {};

TEST_P(DiskOutputerRetries, FiveOpenAttemptsAndFiveWriteRepetitions) {
    const RetryCase& c = GetParam();
    TempDir temp;
    FlakyOutputer outputer(temp.path(), c.openFailures, c.writeFailures);
    std::string data = "the bytes of one entry";
    EXPECT_EQ(outputer.output(L"InstallDir\\item.dat", false, bytesOf(data), data.size()), c.written);
    EXPECT_EQ(outputer.creates, c.creates);
    EXPECT_EQ(outputer.movesAside, c.movesAside) << "no move aside after the last failed attempt";
    EXPECT_EQ(outputer.writes, c.writes);
    bool exists = false;
    std::string bytes = readFileBytes(temp.path() + L"item.dat", &exists);
    EXPECT_EQ(exists, c.written) << "a file that could not be written completely is removed";
    if (c.written) {
        EXPECT_EQ(bytes, data);
    }
    EXPECT_FALSE(fileExists(temp.path() + L"item.dat.old")) << "our own partial file is never moved aside";
}

INSTANTIATE_TEST_SUITE_P(Counts, DiskOutputerRetries,
                         testing::Values(RetryCase{0, 0, true, 1, 0, 1}, RetryCase{1, 0, true, 2, 1, 1},
                                         RetryCase{4, 0, true, 5, 4, 1}, RetryCase{5, 0, false, 5, 4, 0},
                                         RetryCase{9, 0, false, 5, 4, 0}, RetryCase{0, 1, true, 1, 0, 2},
                                         RetryCase{0, 5, true, 1, 0, 6}, RetryCase{0, 6, false, 1, 0, 6},
                                         RetryCase{2, 3, true, 3, 2, 4}));

TEST(DiskOutputer, FailedWriteRemovesItsFileAndPutsBackWhatWasMovedAside) {
    TempDir temp;
    std::wstring target = temp.path() + L"Quor.exe";
    ASSERT_TRUE(writeFileBytes(target, "the previous product"));
    ASSERT_TRUE(writeFileBytes(target + L".old", "an older one"));
    // The first creation fails as for a file in use: the previous product goes aside.
    FlakyOutputer outputer(temp.path(), 1, 99);
    std::string data = "a new product that does not fit";
    EXPECT_FALSE(outputer.output(L"InstallDir\\Quor.exe", false, bytesOf(data), data.size()));
    EXPECT_EQ(readFileBytes(target), "the previous product");
    EXPECT_FALSE(fileExists(target + L".old"));
}

TEST(DiskOutputer, EntriesOfAnUnresolvedRootAreRefused) {
    TempDir temp;
    TargetRoots roots = TargetRoots::forInstallDirectory(temp.path() + L"inst");
    EXPECT_EQ(roots.install, temp.path() + L"inst\\");
    EXPECT_EQ(roots.temp, tempVariable());
    roots.temp.clear();
    roots.bzq.clear();
    CDiskOutputer outputer(roots, nullptr, nullptr);
    EntryTarget target;
    EXPECT_FALSE(outputer.prepareEntry(L"TEMP/t.txt", &target));
    EXPECT_FALSE(outputer.prepareEntry(L"BZQ\\b.txt", &target));
    EXPECT_TRUE(outputer.prepareEntry(L"TEMP", &target)) << "the root folder entry itself needs no place";
    EXPECT_TRUE(target.isRootEntry);
    ASSERT_TRUE(outputer.prepareEntry(L"InstallDir/a/b.txt", &target));
    EXPECT_EQ(target.directory, roots.install);
    EXPECT_EQ(target.path, roots.install + L"a\\b.txt");
}

TEST(DiskOutputer, NeverWritesThroughALinkedFolder) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::wstring user = temp.path() + L"user files\\";
    ASSERT_TRUE(quor::createDirectoryTree(install));
    ASSERT_TRUE(quor::createDirectoryTree(user + L"image"));
    ASSERT_TRUE(writeFileBytes(user + L"quorrun.exe", "the user's own"));
    FolderLink link(install + L"8.17.0.0", user);
    ASSERT_TRUE(link.made());
    CDiskOutputer outputer(install, nullptr, nullptr);
    std::string data = "payload";
    bool written = outputer.output(L"InstallDir\\8.17.0.0\\quorrun.exe", false, bytesOf(data), data.size());
    bool folder = outputer.output(L"InstallDir\\8.17.0.0\\image\\more", true, nullptr, 0);
    DWORD attributes = GetFileAttributesW((install + L"8.17.0.0").c_str());
    bool stillLinked = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (stillLinked) {
        // The link could not be removed (so under Wine): the entry is refused.
        EXPECT_FALSE(written);
        EXPECT_FALSE(folder);
    } else {
        // It was removed: a real folder holds the entry.
        EXPECT_TRUE(written);
        EXPECT_EQ(readFileBytes(install + L"8.17.0.0\\quorrun.exe"), data);
    }
    EXPECT_EQ(readFileBytes(user + L"quorrun.exe"), "the user's own");
    EXPECT_FALSE(directoryExists(user + L"image\\more"));
    EXPECT_FALSE(fileExists(user + L"quorrun.exe.old"));
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
