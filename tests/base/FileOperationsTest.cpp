#include "base/FileOperations.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

TEST(EmptyDirectory, RemovesEverythingInsideButKeepsTheDirectory) {
    TempDir dir;
    std::wstring root = dir.path() + L"install";
    ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\sub\\deeper").c_str(), nullptr));
    ASSERT_TRUE(writeFileBytes(root + L"\\a.txt", "a"));
    ASSERT_TRUE(writeFileBytes(root + L"\\sub\\b.txt", "b"));
    ASSERT_TRUE(writeFileBytes(root + L"\\sub\\deeper\\c.dat", "c"));
    ASSERT_TRUE(writeFileBytes(root + L"\\noextension", "d"));

    quor::emptyDirectory(root + L"\\");

    EXPECT_TRUE(directoryExists(root));
    EXPECT_FALSE(fileExists(root + L"\\a.txt"));
    EXPECT_FALSE(fileExists(root + L"\\noextension"));
    EXPECT_FALSE(directoryExists(root + L"\\sub"));
}

TEST(EmptyDirectory, MissingDirectoryIsNothingToDo) {
    TempDir dir;
    quor::emptyDirectory(dir.path() + L"missing");
    EXPECT_FALSE(directoryExists(dir.path() + L"missing"));
    EXPECT_TRUE(directoryExists(dir.path()));
}

TEST(EmptyDirectory, RefusesRootsAndRelativePaths) {
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.path() + L"keep.txt", "k"));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.path().c_str()));
    // Each of these would name the current folder or a whole drive.
    for (const wchar_t* path : {L"", L".", L"\\", L"C:", L"C:\\", L"C:/"})
        quor::emptyDirectory(path);
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(fileExists(dir.path() + L"keep.txt"));
}

TEST(MovingFiles, RenamesAFileAndCreatesTheTargetFolder) {
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.path() + L"from.txt", "payload"));
    EXPECT_EQ(quor::moveFile(dir.path() + L"from.txt", dir.path() + L"new\\to.txt"), 0u);
    EXPECT_FALSE(fileExists(dir.path() + L"from.txt"));
    EXPECT_EQ(readFileBytes(dir.path() + L"new\\to.txt"), "payload");
}

TEST(MovingFiles, MissingSourceReportsAnError) {
    TempDir dir;
    EXPECT_NE(quor::moveFile(dir.path() + L"missing.txt", dir.path() + L"to.txt"), 0u);
    EXPECT_FALSE(fileExists(dir.path() + L"to.txt"));
}

TEST(MovingFiles, RefusesPathsItWouldHaveToCut) {
    TempDir dir;
    std::wstring source = dir.path() + L"from.txt";
    ASSERT_TRUE(writeFileBytes(source, "x"));
    std::wstring longTarget = dir.path() + std::wstring(260, L'a');
    EXPECT_EQ(quor::moveFile(source, longTarget), static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_TRUE(fileExists(source));
}
