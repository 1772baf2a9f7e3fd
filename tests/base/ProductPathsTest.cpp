#include "base/ProductPaths.h"
#include "base/KnownFolders.h"
#include "base/Md5.h"

#include "tests/support/Files.h"

#include <gtest/gtest.h>

using quor::pathKey;

TEST(PathKey, IgnoresCaseSlashKindAndSeparators) {
    std::wstring key = pathKey(L"C:\\Program Files\\Belvane\\Quor\\");
    EXPECT_EQ(key.size(), 32u);
    const wchar_t* sameDirectory[] = {
        L"c:/program files/belvane/quor", L"C:\\\\Program Files\\\\belvane\\\\QUOR",
        L"\\C:\\Program Files\\Belvane\\Quor\\\\\\", L"c:/program files//belvane\\/quor/"};
    for (const wchar_t* path : sameDirectory)
        EXPECT_EQ(pathKey(path), key) << path;
    EXPECT_NE(pathKey(L"C:\\Program Files\\Belvane\\Quor2"), key);
}

TEST(PathKey, IsTheDigestOfTheLowerCaseForm) {
    // md5 of "c:\program files\belvane\quor".
    EXPECT_EQ(pathKey(L"C:/Program Files/Belvane/Quor/"), L"60af8c803d6253226a4dee04acd71c7c");
    const char lower[] = "d:\\games\\quor";
    EXPECT_EQ(pathKey(L"D:\\GAMES\\Quor\\"), quor::md5Hex(lower, sizeof lower - 1));
}

TEST(PathKey, EmptyForEmptyOrOnlySeparators) {
    EXPECT_EQ(pathKey(L""), L"");
    EXPECT_EQ(pathKey(L"\\\\//"), L"");
}

TEST(NormalizeInstallPath, LowerCasesOnlyAsciiLetters) {
    EXPECT_EQ(quor::normalizeInstallPath(L"//C:\\Ä\\B//"), L"c:\\Ä\\b");
}

TEST(ProductDirectories, AreBuiltFromAppDataAndTheKey) {
    std::wstring product = quor::roamingAppDataFolder() + L"\\belvane\\quor\\";
    EXPECT_EQ(quor::productDataDir(), product);
    EXPECT_TRUE(directoryExists(product));

    // An install directory no other test uses, so that its data folders are fresh.
    std::wstring install = L"C:\\ProductPathsTest\\Quor\\";
    std::wstring key = pathKey(install);
    std::wstring update = product + L"update\\" + key + L"\\";
    RemoveDirectoryW(update.c_str());
    EXPECT_EQ(quor::updateCacheDir(install), update);
    EXPECT_FALSE(directoryExists(update)) << "the update cache is not created";

    std::wstring setup = product + L"setup\\" + key + L"\\";
    RemoveDirectoryW(setup.c_str());
    EXPECT_EQ(quor::setupDataDir(L"c:/productpathstest/quor"), setup);
    EXPECT_TRUE(directoryExists(setup)) << "the per-installation folder is created";
    RemoveDirectoryW(setup.c_str());
}

TEST(ProductDirectories, EmptyWithoutAnInstallDirectory) {
    EXPECT_EQ(quor::setupDataDir(L""), L"");
    EXPECT_EQ(quor::updateCacheDir(L"\\"), L"");
}
