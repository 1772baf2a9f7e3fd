#include "uninstall/QuorFileCleaner.h"

#include "base/ProductInfo.h"
#include "base/ProductPaths.h"
#include "tests/support/ToolJournal.h"
#include "tests/uninstall/UninstallFixtures.h"
#include "uninstall/ProductInstallation.h"

#include <gtest/gtest.h>

namespace {

// An installation as the installer leaves it, with recorder programs for the tools.
class FileCleaner : public testing::Test {
protected:
    void SetUp() override {
        install = temp.path() + L"Quor 8 Install\\";
        version = install + quor::product::kVersion + L"\\";
        ASSERT_TRUE(CreateDirectoryW(install.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(version.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((version + L"image").c_str(), nullptr));
        ASSERT_TRUE(writeFileBytes(install + L"Launcher.xml", "<LauncherInfo/>"));
        ASSERT_TRUE(writeFileBytes(install + L"Uninstall.exe", "MZ"));
        ASSERT_TRUE(writeFileBytes(version + L"image\\game.ico", "ico"));
        ASSERT_TRUE(copyRecorder(install + L"Quor.exe"));
        ASSERT_TRUE(copyRecorder(version + L"installstat.exe"));
        ASSERT_TRUE(copyRecorder(version + L"quorrun.exe"));
        DeleteFileW(toolJournalPath().c_str());
        productInfo = quor::setupDataDir(install) + L"ProductInfo.txt";
        ASSERT_TRUE(writeFileBytes(productInfo, "\xEF\xBB\xBFinstallcount=7\r\n"));
    }
    void TearDown() override { DeleteFileW(productInfo.c_str()); }

    TempDir temp;
    std::wstring install, version, productInfo;
};

TEST_F(FileCleaner, RunsTheToolsEndsTheProductAndDeletesTheInstallation) {
    RunningProgram quor(install + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    // The product writes its journal line when it has started; until then the
    // cleaner could end it first, or its line could follow the tools' lines.
    std::wstring product = install + L"Quor.exe";
    ASSERT_TRUE(waitFor([&] {
        for (const ToolRun& run : readToolJournal())
            if (run.program == product)
                return true;
        return false;
    })) << "the product stand-in has started";
    RecordingListener listener;
    QuorFileCleaner cleaner(&listener);
    cleaner.setPath(install);
    unsigned int before = QuorFileCleaner::progressCount();
    cleaner.execute();

    EXPECT_FALSE(cleaner.refused());
    EXPECT_TRUE(quor.endsWithin(3000)) << "the product running from the install directory is ended";
    EXPECT_FALSE(directoryExists(install));
    EXPECT_TRUE(fileExists(productInfo)) << "the product's data directory stays";
    EXPECT_EQ(listener.finished, 1);

    // The cleaner waits for each tool, so the tools' lines follow the product's, in order.
    std::vector<ToolRun> runs = readToolJournal();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].program, product);
    EXPECT_EQ(runs[1].program, version + L"installstat.exe");
    EXPECT_EQ(runs[1].commandLine, L"\"|8.17.0.0|7|u|\"");
    EXPECT_EQ(runs[2].program, version + L"quorrun.exe");
    EXPECT_EQ(runs[2].commandLine, L"-unreg");

    // One step for the uninstaller's name, one per tool, one per deleted file.
    ASSERT_EQ(listener.steps.size(), 3u + 6u);
    EXPECT_EQ(listener.steps[0].name, install + L"UnInstall.exe");
    EXPECT_EQ(listener.steps[1].name, version + L"installstat.exe");
    EXPECT_EQ(listener.steps[2].name, version + L"quorrun.exe");
    for (size_t i = 0; i < listener.steps.size(); ++i) {
        EXPECT_EQ(listener.steps[i].step, before + 1 + i);
        EXPECT_EQ(listener.steps[i].total, 200u);
    }
    EXPECT_EQ(QuorFileCleaner::progressCount(), before + listener.steps.size());
}

TEST_F(FileCleaner, WithoutListenerNothingIsReportedAndTheCounterStays) {
    QuorFileCleaner cleaner(nullptr);
    cleaner.setPath(install);
    unsigned int before = QuorFileCleaner::progressCount();
    cleaner.execute();
    EXPECT_FALSE(directoryExists(install));
    EXPECT_EQ(QuorFileCleaner::progressCount(), before);
}

TEST_F(FileCleaner, ProcessInASubFolderIsNotEndedAndReadOnlyFilesStay) {
    ASSERT_TRUE(copyRecorder(version + L"Quor.exe"));
    RunningProgram nested(version + L"Quor.exe");
    ASSERT_TRUE(nested.started());
    std::wstring readOnly = install + L"config.dat";
    ASSERT_TRUE(writeFileBytes(readOnly, "keep"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    QuorFileCleaner cleaner(nullptr);
    cleaner.setPath(install);
    cleaner.execute();
    EXPECT_TRUE(nested.alive());
    EXPECT_TRUE(fileExists(readOnly));
    EXPECT_FALSE(fileExists(install + L"Launcher.xml"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileCleaner, JunctionInsideTheInstallationIsNotFollowed) {
    std::wstring outside = temp.path() + L"outside\\";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(outside + L"precious.txt", "mine"));
    std::wstring link = install + L"link";
    if (!CreateSymbolicLinkW(link.c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY))
        GTEST_SKIP() << "directory links unavailable here";
    QuorFileCleaner cleaner(nullptr);
    cleaner.setPath(install);
    cleaner.execute();
    EXPECT_TRUE(fileExists(outside + L"precious.txt"));
    EXPECT_FALSE(directoryExists(install));
}

TEST(FileCleanerDecoy, FolderOfOwnFilesWithACopiedUninstallerIsRefused) {
    TempDir temp;
    std::wstring decoy = temp.path() + L"My Files\\";
    ASSERT_TRUE(CreateDirectoryW(decoy.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((decoy + L"photos").c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(decoy + L"notes.txt", "notes"));
    ASSERT_TRUE(writeFileBytes(decoy + L"photos\\a.jpg", "jpg"));
    ASSERT_TRUE(writeFileBytes(decoy + L"Uninstall.exe", "MZ"));
    ASSERT_TRUE(CreateDirectoryW((decoy + quor::product::kVersion).c_str(), nullptr));
    ASSERT_TRUE(copyRecorder(decoy + quor::product::kVersion + L"\\installstat.exe"));
    DeleteFileW(toolJournalPath().c_str());

    RecordingListener listener;
    QuorFileCleaner cleaner(&listener);
    cleaner.setPath(decoy);
    cleaner.execute();
    EXPECT_TRUE(cleaner.refused());
    EXPECT_TRUE(fileExists(decoy + L"notes.txt"));
    EXPECT_TRUE(fileExists(decoy + L"photos\\a.jpg"));
    EXPECT_TRUE(fileExists(decoy + L"Uninstall.exe"));
    EXPECT_TRUE(readToolJournal().empty()) << "no program of the folder is started";
    EXPECT_TRUE(listener.steps.empty());
    EXPECT_EQ(listener.finished, 1) << "the progress window still learns that the run is over";
}

struct InstallationCase {
    const char* marker; // file created in the directory, or null
    bool installation;
};

class ProductInstallationTable : public testing::TestWithParam<InstallationCase> {};

TEST_P(ProductInstallationTable, NeedsTheProductsOwnFiles) {
    TempDir temp;
    if (GetParam().marker) {
        std::string marker = GetParam().marker;
        ASSERT_TRUE(writeFileBytes(temp.path() + std::wstring(marker.begin(), marker.end()), "x"));
    }
    EXPECT_EQ(isProductInstallation(temp.path()), GetParam().installation);
}

INSTANTIATE_TEST_SUITE_P(Markers, ProductInstallationTable,
                         testing::Values(InstallationCase{nullptr, false},
                                         InstallationCase{"Uninstall.exe", false},
                                         InstallationCase{"notes.txt", false},
                                         InstallationCase{"Launcher.xml", true},
                                         InstallationCase{"Quor.exe", true}));

TEST(ProductInstallation, DriveRootsAndMissingDirectoriesAreRefused) {
    EXPECT_FALSE(isProductInstallation(L"C:\\"));
    EXPECT_FALSE(isProductInstallation(L"C:\\windows\\.."));
    EXPECT_FALSE(isProductInstallation(L""));
    EXPECT_FALSE(isProductInstallation(L"Q:\\nowhere\\"));
}

TEST(FileCleanerPath, EmptyPathKeepsTheOldValue) {
    QuorFileCleaner cleaner(nullptr);
    cleaner.setPath(L"C:\\a\\");
    cleaner.setPath(L"");
    EXPECT_EQ(cleaner.path(), L"C:\\a\\");
}

} // namespace
