// A program without the payload resource (this test program): the silent run
// fails cleanly, cleans nothing and writes nothing.
#include "setup/QuorSetupDecompressor.h"

#include "base/KnownFolders.h"
#include "setup/QuorSetupListener.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FinishListener : public QuorSetupListener {
public:
    void onCheckResult(int) override {}
    void onQuorRunning() override { ++running; }
    void onDecompressBegin() override { ++begun; }
    void onDecompressProgress(int, int) override { ++steps; }
    void onDecompressFail(const std::wstring&) override {}
    void onDecompressFinish(bool ok) override { finished.push_back(ok); }
    int running = 0, begun = 0, steps = 0;
    std::vector<bool> finished;
};

} // namespace

TEST(MissingPayload, SilentRunReportsFailureAndLeavesTheDirectoryAlone) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    quor::createDirectoryTree(install + L"8.17.0.0");
    ASSERT_TRUE(writeFileBytes(install + L"8.17.0.0\\kept.txt", "kept"));
    ASSERT_TRUE(writeFileBytes(install + L"Launcher.xml",
                               "<LauncherInfo><VersionInfo quorPath=\"8.17.0.0\"/></LauncherInfo>"));
    FinishListener listener;
    QuorSetupDecompressor worker;
    worker.setListener(&listener);
    worker.setSetupPath(install);
    EXPECT_EQ(worker.start(false), 0);
    EXPECT_EQ(listener.finished, std::vector<bool>{false});
    EXPECT_EQ(listener.begun, 0) << "a silent run reports no begin";
    EXPECT_EQ(listener.steps, 0);
    EXPECT_EQ(readFileBytes(install + L"8.17.0.0\\kept.txt"), "kept") << "no clean-up without a payload";
}
