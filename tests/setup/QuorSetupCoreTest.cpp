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

// A runtime installation that holds a lock (as the loader, sxs or the heap do)
// and does not end before it is told to.
struct LockHolder {
    CRITICAL_SECTION lock;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    LockHolder() { InitializeCriticalSection(&lock); }
    ~LockHolder() {
        CloseHandle(release);
        CloseHandle(holding);
        DeleteCriticalSection(&lock);
    }
};

DWORD WINAPI holdsALock(LPVOID parameter) {
    auto* holder = static_cast<LockHolder*>(parameter);
    EnterCriticalSection(&holder->lock);
    SetEvent(holder->holding);
    WaitForSingleObject(holder->release, 60000);
    LeaveCriticalSection(&holder->lock);
    return 7;
}

DWORD WINAPI endsSoon(LPVOID) {
    Sleep(50);
    return 5;
}

} // namespace

TEST(QuorSetupCore, WaitCrtGivesUpAfterTwoSecondsWithoutKillingTheThread) {
    QuorSetupCore core(nullptr);
    LockHolder holder;
    HANDLE thread = CreateThread(nullptr, 0, holdsALock, &holder, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(holder.holding, 10000), WAIT_OBJECT_0);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watch, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    core.setCrtThread(thread);
    DWORD before = GetTickCount();
    EXPECT_FALSE(core.waitCrt()) << "it did not end in time";
    DWORD took = GetTickCount() - before;
    EXPECT_GE(took, 1900u);
    EXPECT_LT(took, 4000u);
    EXPECT_TRUE(core.crtRunning()) << "so the process must end without its teardown";
    // A second wait has nothing to wait for.
    before = GetTickCount();
    EXPECT_TRUE(core.waitCrt());
    EXPECT_LT(GetTickCount() - before, 500u);
    // Still alive and holding its lock: told to go on, it leaves the lock and ends on its own.
    EXPECT_EQ(WaitForSingleObject(watch, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(holder.release);
    ASSERT_EQ(WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(watch, &code);
    EXPECT_EQ(code, 7u) << "the thread was not killed";
    EXPECT_TRUE(TryEnterCriticalSection(&holder.lock)) << "its lock was released";
    LeaveCriticalSection(&holder.lock);
    EXPECT_FALSE(core.crtRunning());
    CloseHandle(watch);
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
    EXPECT_TRUE(core.waitCrt());
    EXPECT_LT(GetTickCount() - before, 1500u);
    EXPECT_FALSE(core.crtRunning());
    DWORD code = 0;
    GetExitCodeThread(watch, &code);
    EXPECT_EQ(code, 5u) << "it ended on its own";
    CloseHandle(watch);
}
