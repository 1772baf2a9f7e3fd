#include "setup/QuorSetupDecompressor.h"

#include "base/KnownFolders.h"
#include "base/ProductPaths.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

void put(const std::wstring& path, const std::string& text = "x") {
    quor::createDirectoryTree(path.substr(0, path.find_last_of(L'\\')));
    ASSERT_TRUE(writeFileBytes(path, text));
}

bool isEmptyDirectory(const std::wstring& directory) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool empty = true;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            empty = false;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return empty;
}

} // namespace

TEST(CleanUp, RemovesCachesMarkersOldLayoutFilesAndListedVersionDirectories) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::wstring data = quor::setupDataDir(install);
    std::wstring update = quor::updateCacheDir(install);
    ASSERT_FALSE(data.empty());
    put(data + L"temp\\a\\b.txt");
    put(data + L"updatefiles\\u.bin");
    put(update + L"cache.bin");
    put(install + L"oem.txt");
    put(data + L"ProductInfo.txt");
    put(install + L"quorrun.exe");
    put(install + L"Quor.exe", "kept");
    put(install + L"Uninstall.exe", "kept");
    put(install + L"8.16.0.0\\sub\\old.dll");
    put(install + L"8.17.0.0\\new.dll");
    put(install + L"unlisted\\keep.txt", "kept");
    put(temp.path() + L"outside\\keep.txt", "kept");
    put(install + L"Launcher.xml", "<LauncherInfo>"
                                   "<VersionInfo No=\"8.16.0.0\" quorPath=\"8.16.0.0\"/>"
                                   "<VersionInfo No=\"8.17.0.0\" quorPath=\"8.17.0.0\"/>"
                                   "<VersionInfo No=\"9\" quorPath=\"missing\"/>"
                                   "<VersionInfo No=\"0\" quorPath=\"..\\outside\"/>"
                                   "<VersionInfo No=\"0\" quorPath=\"\"/>"
                                   "<VersionInfo No=\"0\" quorPath=\"" +
                                       std::string(temp.path().begin(), temp.path().end()) +
                                       "outside\"/>"
                                       "</LauncherInfo>");

    QuorSetupDecompressor worker;
    worker.setSetupPath(install);
    worker.cleanUpFile();

    EXPECT_TRUE(isEmptyDirectory(data + L"temp"));
    EXPECT_TRUE(isEmptyDirectory(data + L"updatefiles"));
    EXPECT_TRUE(isEmptyDirectory(update.substr(0, update.size() - 1)));
    EXPECT_FALSE(fileExists(install + L"oem.txt"));
    EXPECT_FALSE(fileExists(data + L"ProductInfo.txt"));
    EXPECT_FALSE(fileExists(install + L"quorrun.exe"));
    EXPECT_FALSE(directoryExists(install + L"8.16.0.0"));
    EXPECT_FALSE(directoryExists(install + L"8.17.0.0"));
    EXPECT_EQ(readFileBytes(install + L"Quor.exe"), "kept");
    EXPECT_EQ(readFileBytes(install + L"Uninstall.exe"), "kept");
    EXPECT_EQ(readFileBytes(install + L"unlisted\\keep.txt"), "kept");
    EXPECT_EQ(readFileBytes(temp.path() + L"outside\\keep.txt"), "kept")
        << "never outside the install directory";
    TempDir::removeTree(data);
}

TEST(CleanUp, FirstInstallationTouchesNothingAndCreatesTheDataDirectory) {
    TempDir temp;
    std::wstring install = temp.path() + L"fresh\\";
    // The same path as the data directory, without creating it.
    std::wstring data = quor::productDataDir() + L"setup\\" + quor::pathKey(install) + L"\\";
    TempDir::removeTree(data);
    ASSERT_FALSE(directoryExists(data));
    QuorSetupDecompressor worker;
    worker.setSetupPath(install);
    worker.cleanUpFile();
    EXPECT_FALSE(directoryExists(install));
    EXPECT_TRUE(directoryExists(data));
    TempDir::removeTree(data);
}
