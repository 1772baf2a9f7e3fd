// The real installer under Wine onto drive S:, a small tmpfs that the test's
// fixture mounts (tests/e2e/small-drive.sh): a payload that does not fit ends
// -5 before its first file, and one that fits is installed.
#include "base/ProductRegistry.h"

#include "tests/support/Files.h"
#include "tests/support/Payloads.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kDrive = L"S:\\";

bool driveFree(ULONGLONG* available) {
    ULARGE_INTEGER free = {}, total = {}, all = {};
    if (!GetDiskFreeSpaceExW(kDrive.c_str(), &free, &total, &all))
        return false;
    *available = free.QuadPart;
    return true;
}

// What the sample payload puts into the install directory, in bytes, and how many files.
ULONGLONG installDirBytes(size_t* files) {
    std::wstring tree = testBinDirectory() + L"..\\payload\\tree\\";
    ULONGLONG bytes = 0;
    *files = 0;
    for (const TreeFile& f : listTree(tree)) {
        if (f.isDirectory || f.relative.compare(0, 11, L"InstallDir\\") != 0)
            continue;
        bytes += readFileBytes(tree + f.relative).size();
        ++*files;
    }
    return bytes;
}

std::vector<std::wstring> namesOnDrive() {
    std::vector<std::wstring> names;
    for (const TreeFile& f : listTree(kDrive))
        names.push_back(f.relative);
    return names;
}

class SmallDrive : public testing::Test {
protected:
    void SetUp() override {
        ULONGLONG free = 0;
        if (!driveFree(&free))
            GTEST_SKIP() << "no drive S: (small-drive.sh could not mount a tmpfs here)";
        ASSERT_TRUE(namesOnDrive().empty()) << "S: must be empty when the test begins";
    }
    void TearDown() override {
        endProcessesUnder(kDrive);
        for (int i = 0; i < 50 && !namesOnDrive().empty(); ++i) {
            TempDir::removeTree(kDrive + L"quor");
            DeleteFileW(filler().c_str());
            Sleep(50);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, quor::product::kProductKey);
    }
    static std::wstring filler() { return kDrive + L"filler.bin"; }

    // Writes a file that leaves `leave` bytes free (rounded to whole MiB below).
    static bool leaveFree(ULONGLONG leave) {
        ULONGLONG free = 0;
        if (!driveFree(&free) || free < leave)
            return false;
        ULONGLONG fill = (free - leave) / 1048576 * 1048576;
        HANDLE file = CreateFileW(filler().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        // Real bytes: a sparse file would take no room on a tmpfs.
        std::string chunk(1048576, 'f');
        bool ok = true;
        for (ULONGLONG done = 0; ok && done < fill; done += chunk.size()) {
            DWORD written = 0;
            ok = WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) &&
                 written == chunk.size();
        }
        CloseHandle(file);
        return ok;
    }
};

} // namespace

TEST_F(SmallDrive, PayloadThatDoesNotFitEndsWithMinusFiveAndWritesNothing) {
    size_t files = 0;
    ULONGLONG need = installDirBytes(&files);
    ASSERT_GT(need, 2u * 1048576u);
    ASSERT_TRUE(leaveFree(need / 2));
    ULONGLONG before = 0;
    ASSERT_TRUE(driveFree(&before));
    ProcessResult run = runProgram(testBinDirectory() + L"QuorSetup.exe", L"-silence S:\\quor", 120000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), -5);
    EXPECT_EQ(namesOnDrive(), std::vector<std::wstring>{L"filler.bin"}) << "nothing written";
    ULONGLONG after = 0;
    ASSERT_TRUE(driveFree(&after));
    EXPECT_EQ(after, before) << "free space as before";
}

TEST_F(SmallDrive, PayloadThatFitsIsInstalled) {
    size_t files = 0;
    ULONGLONG need = installDirBytes(&files);
    // Room for every file rounded up to whole clusters, and a little more.
    ASSERT_TRUE(leaveFree(need + files * 65536 + 2 * 1048576));
    ProcessResult run = runProgram(testBinDirectory() + L"QuorSetup.exe", L"-silence S:\\quor", 120000);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(run.code(), 0);
    EXPECT_EQ(readFileBytes(L"S:\\quor\\Quor.exe"),
              readFileBytes(testBinDirectory() + L"..\\payload\\tree\\InstallDir\\Quor.exe"));
}
