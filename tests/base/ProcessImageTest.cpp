#include "base/ProcessImage.h"
#include "base/Handles.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::wstring ownPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

} // namespace

TEST(ProcessImage, ListsThisProcessByItsFileName) {
    std::wstring self = ownPath();
    std::wstring name = self.substr(self.find_last_of(L'\\') + 1);
    bool found = false;
    for (const quor::ProcessEntry& process : quor::listProcesses())
        if (process.id == GetCurrentProcessId()) {
            found = true;
            EXPECT_TRUE(quor::sameTextIgnoringCase(process.exeName, name));
        }
    EXPECT_TRUE(found);
}

TEST(ProcessImage, ImagePathOfAnotherProcessAndOfNone) {
    EXPECT_TRUE(quor::sameTextIgnoringCase(quor::processImagePath(GetCurrentProcessId()), ownPath()));
    EXPECT_TRUE(quor::processImagePath(0).empty());

    // A child started suspended has no module list yet, but the system knows its image.
    TempDir temp;
    std::wstring program = temp.path() + L"Image Probe.exe";
    ASSERT_TRUE(CopyFileW(ownPath().c_str(), program.c_str(), FALSE));
    std::wstring commandLine = L"\"" + program + L"\" --gtest_list_tests";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, nullptr, &si, &pi));
    quor::ProcessHandle process(pi.hProcess);
    quor::KernelHandle thread(pi.hThread);
    EXPECT_TRUE(quor::sameTextIgnoringCase(quor::processImagePath(pi.dwProcessId), program));
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
}

TEST(Handles, EachKindKnowsItsEmptyValueAndClosesOnce) {
    quor::FileHandle none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(quor::FileHandle(nullptr)) << "null is no file either";
    EXPECT_FALSE(quor::ProcessHandle());
    EXPECT_EQ(quor::ProcessHandle().get(), nullptr);

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &watch, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    {
        quor::KernelHandle first(event);
        quor::KernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(event, &flags)) << "still open after the move";
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags)) << "closed with its last owner";
    CloseHandle(watch);

    TempDir temp;
    WIN32_FIND_DATAW data;
    quor::FindHandle find(FindFirstFileW((temp.path() + L"*").c_str(), &data));
    EXPECT_TRUE(find);
    quor::FindHandle missing(FindFirstFileW((temp.path() + L"missing\\*").c_str(), &data));
    EXPECT_FALSE(missing);
}
