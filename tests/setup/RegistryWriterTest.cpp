#include "setup/QuorRegistryWriter.h"

#include "base/LogFile.h"
#include "base/ProductRegistry.h"
#include "setup/QuorWebAddresses.h"

#include "tests/support/Files.h"
#include "tests/support/Registry.h"

#include <gtest/gtest.h>

namespace {

namespace product = quor::product;

const std::wstring kUninstallKey = std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry;
const std::wstring kDir = L"C:\\Program Files\\belvane\\quor\\";

// Removes everything the writer may create, before and after each test.
void removeProductEntries() {
    RegDeleteTreeW(HKEY_CURRENT_USER, product::kProductKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey.c_str());
    deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kAssistantRunValue);
    deleteRegistryValue(HKEY_CURRENT_USER, product::kRunKey, product::kProductRunValue);
}

std::wstring logText() {
    return utf16Text(readFileBytes(quor::processLog().path()));
}

class RegistryWriter : public testing::Test {
protected:
    void SetUp() override {
        removeProductEntries();
        // The Run key exists on every Windows system.
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &run, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(run);
    }
    void TearDown() override { removeProductEntries(); }
};

struct Expected {
    std::wstring key;
    const wchar_t* name;
    std::wstring data;
};

// Each value is REG_SZ with exactly the string's code units: no terminator.
void expectStringValue(const Expected& e) {
    RegistryValue v = readRegistryValue(HKEY_CURRENT_USER, e.key, e.name);
    ASSERT_TRUE(v.found) << e.name;
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << e.name;
    EXPECT_EQ(v.bytes.size(), e.data.size() * 2) << e.name;
    EXPECT_EQ(v.text(), e.data) << e.name;
}

} // namespace

TEST_F(RegistryWriter, WritesProductKeyAssistantAndUninstallEntry) {
    QuorRegistryWriter(kDir).writeRegedit();

    const Expected values[] = {
        {product::kProductKey, L"InstallDir", kDir},
        {product::kProductKey, L"RootPath", kDir},
        {product::kRunKey, L"QuorAssistant", kDir + L"8.17.0.0\\quorassistant.exe"},
        {kUninstallKey, L"UninstallString", kDir + L"Uninstall.exe"},
        {kUninstallKey, L"DisplayName", L"Quor8"},
        {kUninstallKey, L"Publisher", L"Belvane游戏网"},
        {kUninstallKey, L"URLInfoAbout", quor::web::officialHomePage()},
        {kUninstallKey, L"DisplayVersion", L"8.17.0.0"},
    };
    for (const Expected& e : values)
        expectStringValue(e);
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kRunKey, L"Quor").found)
        << "the product's own auto-start is written on request only";
}

TEST_F(RegistryWriter, HomePageAddressHasRootPath) {
    std::wstring home = quor::web::officialHomePage();
    ASSERT_EQ(home.rfind(L"https://", 0), 0u);
    EXPECT_EQ(home.find(L'/', 8), home.size() - 1) << "the path is \"/\"";
}

TEST_F(RegistryWriter, ReinstallReplacesEveryValue) {
    QuorRegistryWriter(L"D:\\old place\\").writeRegedit();
    QuorRegistryWriter(kDir).writeRegedit();
    expectStringValue({product::kProductKey, L"InstallDir", kDir});
    expectStringValue({product::kProductKey, L"RootPath", kDir});
    expectStringValue({product::kRunKey, L"QuorAssistant", kDir + L"8.17.0.0\\quorassistant.exe"});
    expectStringValue({kUninstallKey, L"UninstallString", kDir + L"Uninstall.exe"});
}

TEST_F(RegistryWriter, SetAutoRunWritesProductRunValue) {
    QuorRegistryWriter(kDir).setAutoRun();
    expectStringValue({product::kRunKey, L"Quor", kDir + L"Quor.exe"});
    EXPECT_NE(logText().find(L"QuorSetupCore::setAutoRun, write REGEDIT (auto run Quor)."),
              std::wstring::npos);
}

// Without the Run key the assistant's step fails with its log line; the other
// steps still write their values, and setAutoRun creates nothing.
TEST_F(RegistryWriter, MissingRunKeyFailsOnlyThatStep) {
    // Keep whatever the prefix had under Run and put it back afterwards.
    const wchar_t* backupKey = L"Software\\QuorTestRunBackup";
    RegDeleteTreeW(HKEY_CURRENT_USER, backupKey);
    HKEY run = nullptr, backup = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, KEY_READ, &run), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, backupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCopyTreeW(run, nullptr, backup), ERROR_SUCCESS);
    RegCloseKey(run);
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, product::kRunKey), ERROR_SUCCESS);
    HKEY probe = nullptr;
    bool gone = RegOpenKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, KEY_READ, &probe) != ERROR_SUCCESS;
    if (!gone)
        RegCloseKey(probe);
    ASSERT_TRUE(gone);

    QuorRegistryWriter(kDir).writeRegedit();
    QuorRegistryWriter(kDir).setAutoRun();

    EXPECT_NE(logText().find(
                  L"QuorAssistant: QuorSetupCore::_writeRegistForQuorAssistant, write error !!! strPath:" +
                  kDir + L"8.17.0.0\\quorassistant.exe"),
              std::wstring::npos);
    expectStringValue({product::kProductKey, L"InstallDir", kDir});
    expectStringValue({product::kProductKey, L"RootPath", kDir});
    expectStringValue({kUninstallKey, L"DisplayVersion", L"8.17.0.0"});
    gone = RegOpenKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, KEY_READ, &probe) != ERROR_SUCCESS;
    if (!gone)
        RegCloseKey(probe);
    EXPECT_TRUE(gone) << "the writer opens the Run key, it never creates it";

    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, product::kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &run, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCopyTreeW(backup, nullptr, run), ERROR_SUCCESS);
    RegCloseKey(run);
    RegCloseKey(backup);
    RegDeleteTreeW(HKEY_CURRENT_USER, backupKey);
}

TEST_F(RegistryWriter, EmptyInstallDirectoryWritesNothing) {
    QuorRegistryWriter(L"").writeRegedit();
    QuorRegistryWriter(L"").setAutoRun();
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kProductKey, L"InstallDir").found);
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, kUninstallKey, L"UninstallString").found);
    EXPECT_FALSE(readRegistryValue(HKEY_CURRENT_USER, product::kRunKey, L"Quor").found);
    EXPECT_NE(logText().find(L"QuorSetupCore::_writeRegedit, install directory is empty, nothing written."),
              std::wstring::npos);
}
