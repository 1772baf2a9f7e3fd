#include "uninstall/QuorRunningChecker.h"

#include "tests/uninstall/UninstallFixtures.h"

#include <gtest/gtest.h>

namespace {

class RunningChecker : public testing::Test {
protected:
    void SetUp() override {
        install = temp.path() + L"Quor Install\\";
        other = temp.path() + L"Elsewhere\\";
        ASSERT_TRUE(CreateDirectoryW(install.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
    }
    TempDir temp;
    std::wstring install, other;
};

TEST_F(RunningChecker, ProductFromTheInstallDirectoryIsRunning) {
    ASSERT_TRUE(copyRecorder(install + L"Quor.exe"));
    EXPECT_FALSE(QuorRunningChecker::isQuorRunning(install));
    RunningProgram quor(install + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    EXPECT_TRUE(QuorRunningChecker::isQuorRunning(install));
    quor.end();
    EXPECT_FALSE(QuorRunningChecker::isQuorRunning(install));
}

TEST_F(RunningChecker, ProductFromAnotherDirectoryIsNotRunning) {
    ASSERT_TRUE(copyRecorder(other + L"Quor.exe"));
    RunningProgram quor(other + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    ASSERT_TRUE(QuorRunningChecker::isQuorRunning(other));
    EXPECT_FALSE(QuorRunningChecker::isQuorRunning(install));
}

TEST_F(RunningChecker, NamesAndPathsCompareCaseSensitively) {
    ASSERT_TRUE(copyRecorder(install + L"quor.exe"));
    RunningProgram lower(install + L"quor.exe");
    ASSERT_TRUE(lower.started());
    EXPECT_FALSE(QuorRunningChecker::isQuorRunning(install)) << "process name quor.exe is not Quor.exe";
    ASSERT_TRUE(copyRecorder(other + L"Quor.exe"));
    RunningProgram quor(other + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    std::wstring upper = temp.path() + L"ELSEWHERE\\";
    EXPECT_FALSE(QuorRunningChecker::isQuorRunning(upper));
}

TEST_F(RunningChecker, AsksWhileRunningAndReportsClosedAfterAnAnswer) {
    ASSERT_TRUE(copyRecorder(install + L"Quor.exe"));
    RunningProgram quor(install + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    RecordingListener listener;
    QuorRunningChecker checker(&listener);
    checker.setPath(install);
    ASSERT_TRUE(checker.start());
    ASSERT_TRUE(waitFor([&] { return listener.running == 1 && checker.waitingForAnswer(); }));
    checker.answer(); // still running: asked again
    ASSERT_TRUE(waitFor([&] { return listener.running == 2 && checker.waitingForAnswer(); }));
    EXPECT_EQ(listener.closed, 0);
    quor.end();
    checker.answer();
    ASSERT_TRUE(waitFor([&] { return listener.closed == 1; }));
    checker.stop();
    EXPECT_EQ(listener.running, 2);
    EXPECT_FALSE(checker.waitingForAnswer());
}

TEST_F(RunningChecker, StopWhileWaitingReportsNothing) {
    ASSERT_TRUE(copyRecorder(install + L"Quor.exe"));
    RunningProgram quor(install + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    RecordingListener listener;
    QuorRunningChecker checker(&listener);
    checker.setPath(install);
    ASSERT_TRUE(checker.start());
    ASSERT_TRUE(waitFor([&] { return checker.waitingForAnswer(); }));
    checker.stop();
    EXPECT_EQ(listener.closed, 0);
}

TEST_F(RunningChecker, WithoutListenerTheProductCountsAsClosed) {
    ASSERT_TRUE(copyRecorder(install + L"Quor.exe"));
    RunningProgram quor(install + L"Quor.exe");
    ASSERT_TRUE(quor.started());
    QuorRunningChecker checker(nullptr);
    checker.setPath(install);
    ASSERT_TRUE(checker.start());
    checker.stop(); // returns: the run never waits without a listener
    EXPECT_TRUE(quor.alive());
}

} // namespace
