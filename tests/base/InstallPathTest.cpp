#include "base/InstallPath.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// A drive letter that names no volume in the test prefix.
std::wstring missingDrive() {
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
        if (!(drives & (1u << (letter - L'A'))))
            return std::wstring(1, letter) + L":";
    return L"";
}

} // namespace

struct FormCase {
    const wchar_t* given;
    const wchar_t* form;
};

class InstallDirectoryForm : public testing::TestWithParam<FormCase> {};

TEST_P(InstallDirectoryForm, IsTheOneFormOfTheDirectory) {
    EXPECT_EQ(quor::installDirectoryForm(GetParam().given), GetParam().form);
    // The form is stable: bringing it into form again changes nothing.
    EXPECT_EQ(quor::installDirectoryForm(GetParam().form), GetParam().form);
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallDirectoryForm,
                         testing::Values(FormCase{L"C:/qtest/run", L"C:\\qtest\\run\\"},
                                         FormCase{L"c:\\QTest\\Run\\", L"c:\\QTest\\Run\\"},
                                         FormCase{L"C:\\\\qtest\\/run//", L"C:\\qtest\\run\\"},
                                         FormCase{L" C:\\qtest\\c", L"C:\\qtest\\c\\"},
                                         FormCase{L"C:\\qtest\\d ", L"C:\\qtest\\d\\"},
                                         FormCase{L"\t C:\\my games \\quor \t", L"C:\\my games\\quor\\"},
                                         FormCase{L"C:\\ lead\\x", L"C:\\ lead\\x\\"},
                                         // A blank-only component stays for the check to refuse.
                                         FormCase{L"C:\\a\\   \\quor", L"C:\\a\\   \\quor\\"},
                                         FormCase{L"D:", L"D:\\belvane\\quor\\"},
                                         FormCase{L" D:/ ", L"D:\\belvane\\quor\\"}, FormCase{L"", L""},
                                         FormCase{L"   ", L""}, FormCase{L"\\//", L""}));

TEST(InstallDirectoryForm, BlankPaddedAndSlashedDirectoriesAreCheckedInTheirForm) {
    TempDir dir;
    std::wstring forward = dir.path();
    for (wchar_t& c : forward)
        if (c == L'\\')
            c = L'/';
    for (const std::wstring& given : {L" " + dir.path() + L"c", dir.path() + L"d ", forward + L"run"})
        EXPECT_TRUE(quor::isValidInstallPath(quor::installDirectoryForm(given)))
            << testing::PrintToString(given);
    EXPECT_FALSE(quor::isValidInstallPath(quor::installDirectoryForm(L"  " + dir.path() + L"a\\  \\b  ")));
}

struct PathCase {
    const wchar_t* path;
    bool valid;
};

class InstallPathValidity : public testing::TestWithParam<PathCase> {};

TEST_P(InstallPathValidity, FollowsTheRules) {
    EXPECT_EQ(quor::isValidInstallPath(GetParam().path), GetParam().valid) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallPathValidity,
    testing::Values(PathCase{L"C:\\", true}, PathCase{L"c:", true},
                    PathCase{L"C:\\Program Files\\belvane\\quor", true},
                    PathCase{L"C:/Program Files/belvane/quor/", true}, PathCase{L"  C:\\Games\\Quor  ", true},
                    // The last component is not tested.
                    PathCase{L"C:\\Games\\ ", true}, PathCase{L"C:\\Ga*mes", false},
                    PathCase{L"C:\\Games?\\Quor", false}, PathCase{L"C:\\Games\\Qu\"or", false},
                    PathCase{L"C:\\a<b", false}, PathCase{L"C:\\a>b", false}, PathCase{L"C:\\a|b", false},
                    PathCase{L"C:\\a:b", false}, PathCase{L"C:\\a\tb\\c", false},
                    PathCase{L"C:\\Games\\   \\Quor", false}, PathCase{L"C:\\ \\Quor", false},
                    // Only absolute drive paths: relative, drive-relative and network paths are refused.
                    PathCase{L"", false}, PathCase{L"Games\\Quor", false}, PathCase{L"C:Games", false},
                    PathCase{L"\\\\server\\share\\Quor", false}, PathCase{L"1:\\Quor", false}));

TEST(InstallPath, RefusesADriveThatDoesNotExist) {
    std::wstring drive = missingDrive();
    ASSERT_FALSE(drive.empty());
    EXPECT_FALSE(quor::isValidInstallPath(drive + L"\\Quor"));
    EXPECT_FALSE(quor::isValidInstallPath(drive + L"\\"));
    EXPECT_EQ(quor::freeSpaceMB(drive + L"\\Quor"), 0.0);
}

TEST(InstallPath, FreeSpaceIsTheCallersShareInMegabytes) {
    TempDir dir;
    ULARGE_INTEGER available = {}, total = {}, free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(dir.path().substr(0, 3).c_str(), &available, &total, &free));
    double mb = quor::freeSpaceMB(dir.path());
    EXPECT_GT(mb, 0.0);
    // Other processes write meanwhile; a megabyte either way is plenty.
    EXPECT_NEAR(mb, available.QuadPart / 1048576.0, 64.0);
    EXPECT_EQ(quor::freeSpaceMB(L""), 0.0);
}
