#include "setup/QuorSetupCore.h"

#include "base/KnownFolders.h"
#include "base/LogFile.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::wstring logSince(size_t start) {
    return utf16Text(readFileBytes(quor::processLog().path())).substr(start);
}
size_t logSize() {
    return utf16Text(readFileBytes(quor::processLog().path())).size();
}

} // namespace

// Extraction has only begun: the runtime folder is not there yet.
TEST(CoreRuntimeThread, MissingRuntimeFolderEndsWithMinusOne) {
    TempDir dir;
    QuorSetupCore core(nullptr);
    core.setSetupPath(dir.path() + L"not yet written");
    size_t start = logSize();
    core._installCrt();
    core.waitCrt();
    std::wstring log = logSince(start);
    size_t begin = log.find(L"----------------begin install crt----------------------");
    size_t result = log.find(L"QuorSetupCore::_installCrt, installAsm return-value is -1.");
    size_t end = log.find(L"----------------end install crt----------------------");
    ASSERT_NE(begin, std::wstring::npos);
    ASSERT_NE(result, std::wstring::npos);
    ASSERT_NE(end, std::wstring::npos);
    EXPECT_LT(begin, result);
    EXPECT_LT(result, end);
    EXPECT_NE(log.find(L"crt dir:" + dir.path() + L"not yet written\\Microsoft.VC90.CRT; exe_file:" +
                       dir.path() + L"not yet written\\quor.exe"),
              std::wstring::npos);
}

TEST(CoreRuntimeThread, NoInstallDirectoryStartsNothing) {
    QuorSetupCore core(nullptr);
    size_t start = logSize();
    core._installCrt();
    core.waitCrt();
    std::wstring log = logSince(start);
    EXPECT_NE(log.find(L"QuorSetupCore::_installCrt, no install directory, nothing to install."),
              std::wstring::npos);
    EXPECT_EQ(log.find(L"begin install crt"), std::wstring::npos);
}
