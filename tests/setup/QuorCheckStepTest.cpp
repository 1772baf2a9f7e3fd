#include "setup/QuorCheckStep.h"

#include "setup/QuorSetupListener.h"
#include "setup/SetupMessages.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class RecordingListener : public QuorSetupListener {
public:
    void onCheckResult(int result) override {
        lastResult = result;
        thread = GetCurrentThreadId();
        ++reports;
    }
    void onQuorRunning() override {}
    void onDecompressBegin() override {}
    void onDecompressProgress(int, int) override {}
    void onDecompressFail(const std::wstring&) override {}
    void onDecompressFinish(bool) override {}
    std::atomic<int> lastResult{-1};
    std::atomic<int> reports{0};
    std::atomic<DWORD> thread{0};
};

bool mutexExists() {
    HANDLE probe = OpenMutexW(SYNCHRONIZE, FALSE, kSetupMutexName);
    if (probe)
        CloseHandle(probe);
    return probe != nullptr;
}

} // namespace

// One test, because the first check keeps the mutex for the rest of the process.
TEST(QuorCheckStep, FirstCheckTakesTheMutexAndLaterChecksFindIt) {
    ASSERT_FALSE(mutexExists()) << "no installer may run during this test";
    RecordingListener listener;
    QuorCheckStep step;
    step.setListener(&listener);

    EXPECT_EQ(step.start(false), CR_Success);
    EXPECT_EQ(listener.lastResult, CR_Success);
    EXPECT_EQ(listener.thread, GetCurrentThreadId()) << "a synchronous check reports on the caller's thread";
    EXPECT_TRUE(mutexExists()) << "the mutex stays open after the check";

    EXPECT_EQ(step.start(false), CR_SetupExist);
    EXPECT_EQ(listener.lastResult, CR_SetupExist);

    // On its own thread, the same result arrives from that thread.
    listener.lastResult = -1;
    EXPECT_EQ(step.start(true), 1);
    step.stop();
    EXPECT_EQ(listener.lastResult, CR_SetupExist);
    EXPECT_NE(listener.thread, GetCurrentThreadId());
    EXPECT_EQ(listener.reports, 3);
    EXPECT_TRUE(mutexExists()) << "later checks close only their own handles";
}
