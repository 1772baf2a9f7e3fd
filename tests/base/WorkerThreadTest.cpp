#include "base/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Spins until asked to stop, counting its rounds.
class PollingWorker : public quor::WorkerThread {
public:
    ~PollingWorker() override { stop(); }
    void run() override {
        seenParameter = parameter();
        ranOn = GetCurrentThreadId();
        while (!isStopRequested()) {
            ++rounds;
            Sleep(1);
        }
        sawStop = true;
        if (exited)
            *exited = true;
    }
    std::atomic<int> rounds{0};
    std::atomic<bool> sawStop{false};
    int seenParameter = -1;
    DWORD ranOn = 0;
    std::atomic<bool>* exited = nullptr;
};

class OneShotWorker : public quor::WorkerThread {
public:
    ~OneShotWorker() override { stop(); }
    void run() override { ++runs; }
    std::atomic<int> runs{0};
};

} // namespace

TEST(WorkerThread, StopOnANeverStartedThreadReturnsAtOnce) {
    OneShotWorker worker;
    worker.stop();
    worker.wait();
    EXPECT_FALSE(worker.hasThread());
    EXPECT_EQ(worker.runs, 0);
}

TEST(WorkerThread, RunsOnItsOwnThreadUntilStopped) {
    PollingWorker worker;
    ASSERT_TRUE(worker.start(42));
    EXPECT_TRUE(worker.hasThread());
    EXPECT_NE(worker.threadId(), 0u);
    while (worker.rounds < 3)
        Sleep(1);
    worker.stop();
    EXPECT_TRUE(worker.sawStop);
    EXPECT_EQ(worker.seenParameter, 42);
    EXPECT_NE(worker.ranOn, GetCurrentThreadId());
    EXPECT_FALSE(worker.hasThread());
    EXPECT_FALSE(worker.isStopRequested()) << "stop clears the flag for the next start";
}

TEST(WorkerThread, WaitReturnsWhenRunEnds) {
    OneShotWorker worker;
    ASSERT_TRUE(worker.start());
    worker.wait();
    EXPECT_EQ(worker.runs, 1);
    // A finished thread may be started again.
    ASSERT_TRUE(worker.start());
    worker.wait();
    EXPECT_EQ(worker.runs, 2);
}

TEST(WorkerThread, RefusesASecondStartWhileRunning) {
    PollingWorker worker;
    ASSERT_TRUE(worker.start());
    EXPECT_FALSE(worker.start());
    worker.stop();
    EXPECT_TRUE(worker.start());
}

TEST(WorkerThread, DestructorStopsTheThread) {
    std::atomic<bool> exited{false};
    auto* worker = new PollingWorker;
    worker->exited = &exited;
    ASSERT_TRUE(worker->start());
    delete worker;
    EXPECT_TRUE(exited) << "the thread ended before the object went away";
}
