#include "setup/QuorSetupCore.h"

#include "setup/QuorSetupDecompressor.h"

#include <gtest/gtest.h>

struct PathCase {
    const wchar_t* given;
    const wchar_t* directory;
};

class SetSetupPath : public testing::TestWithParam<PathCase> {};

TEST_P(SetSetupPath, EndsWithABackslashAndCompletesADriveRoot) {
    QuorSetupCore core(nullptr);
    core.setSetupPath(GetParam().given);
    EXPECT_EQ(core.installDirectory(), GetParam().directory);
    EXPECT_EQ(core.decompressor()->setupPath(), GetParam().directory) << "the worker gets the same string";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetSetupPath,
    testing::Values(PathCase{L"D:\\", L"D:\\belvane\\quor\\"}, PathCase{L"D:", L"D:\\belvane\\quor\\"},
                    PathCase{L"C:/", L"C:\\belvane\\quor\\"}, PathCase{L"C:\\\\", L"C:\\belvane\\quor\\"},
                    PathCase{L"D:\\Games", L"D:\\Games\\"}, PathCase{L"D:\\Games\\", L"D:\\Games\\"},
                    PathCase{L"D:\\Program Files\\belvane\\quor", L"D:\\Program Files\\belvane\\quor\\"},
                    // One form for the worker, the registry and the shortcuts alike.
                    PathCase{L"d:/games/quor", L"d:\\games\\quor\\"},
                    PathCase{L" C:\\qtest\\c", L"C:\\qtest\\c\\"},
                    PathCase{L"C:\\qtest\\d ", L"C:\\qtest\\d\\"},
                    PathCase{L"C:\\\\qtest//run/", L"C:\\qtest\\run\\"}));

TEST(QuorSetupCore, EmptyPathIsRefusedAndTheFormerDirectoryKept) {
    QuorSetupCore core(nullptr);
    core.setSetupPath(L"D:\\Games");
    core.setSetupPath(L"");
    core.setSetupPath(L"\\");
    EXPECT_EQ(core.installDirectory(), L"D:\\Games\\");
    EXPECT_EQ(core.decompressor()->setupPath(), L"D:\\Games\\");
}

namespace {

DWORD WINAPI hangs(LPVOID) {
    Sleep(60000);
    return 7;
}

DWORD WINAPI endsSoon(LPVOID) {
    Sleep(50);
    return 5;
}

} // namespace

TEST(QuorSetupCore, WaitCrtEndsAHangingThreadAfterTwoSeconds) {
    QuorSetupCore core(nullptr);
    HANDLE thread = CreateThread(nullptr, 0, hangs, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watch, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    core.setCrtThread(thread);
    DWORD before = GetTickCount();
    core.waitCrt();
    DWORD took = GetTickCount() - before;
    EXPECT_GE(took, 1900u);
    EXPECT_LT(took, 4000u);
    EXPECT_EQ(WaitForSingleObject(watch, 2000), WAIT_OBJECT_0) << "the thread was ended";
    DWORD code = 99;
    GetExitCodeThread(watch, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(watch);
    // A second wait has nothing to wait for.
    before = GetTickCount();
    core.waitCrt();
    EXPECT_LT(GetTickCount() - before, 500u);
}

TEST(QuorSetupCore, WaitCrtReturnsWhenTheThreadEnds) {
    QuorSetupCore core(nullptr);
    HANDLE thread = CreateThread(nullptr, 0, endsSoon, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watch, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    core.setCrtThread(thread);
    DWORD before = GetTickCount();
    core.waitCrt();
    EXPECT_LT(GetTickCount() - before, 1500u);
    DWORD code = 0;
    GetExitCodeThread(watch, &code);
    EXPECT_EQ(code, 5u) << "it ended on its own";
    CloseHandle(watch);
}
