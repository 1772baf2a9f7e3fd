#include "ui/core/ZuApplication.h"
#include "ui/core/ZuClock.h"
#include "ui/core/ZuDeferredDeleteQueue.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuTimer.h"
#include "ui/core/ZuTimerService.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ZuWindow* fakeWindow() {
    return reinterpret_cast<ZuWindow*>(static_cast<uintptr_t>(0x1000));
}

struct Tracked : ZuObject {
    explicit Tracked(ZuObject* parent, std::vector<int>* log, int id) : ZuObject(parent), log(log), id(id) {}
    ~Tracked() override { log->push_back(id); }
    std::vector<int>* log;
    int id;
};

// A toolkit object that records its destruction.
class Doomed : public ZuRttiObject {
    ZU_DECLARE_CLASS(Doomed)
public:
    ~Doomed() override { ++*deaths; }
    int* deaths = nullptr;
};

} // namespace

ZU_DEFINE_CLASS(Doomed, ZuRttiObject, ZU_TAG('D', 'O', 'O', 'M'))

TEST(ZuObject, ParentsOwnChildren) {
    std::vector<int> log;
    auto* root = new Tracked(nullptr, &log, 0);
    auto* a = new Tracked(root, &log, 1);
    auto* b = new Tracked(root, &log, 2);
    auto* grandchild = new Tracked(a, &log, 3);
    EXPECT_EQ(root->children(), (std::vector<ZuObject*>{a, b}));
    b->setParent(b);
    b->setParent(root);
    EXPECT_EQ(root->children().size(), 2u) << "no-ops for itself and the current parent";
    root->setParent(grandchild);
    EXPECT_EQ(root->parent(), nullptr) << "a descendant cannot become the parent";
    b->setParent(a);
    EXPECT_EQ(root->children(), std::vector<ZuObject*>{a});
    EXPECT_EQ(a->children(), (std::vector<ZuObject*>{grandchild, b}));
    EXPECT_EQ(b->parent(), a);
    delete grandchild;
    EXPECT_EQ(a->children(), std::vector<ZuObject*>{b}) << "a dying child leaves its parent's list";
    a->setName(L"page");
    EXPECT_TRUE(a->name().equals(L"page"));
    delete root;
    EXPECT_EQ(log, (std::vector<int>{3, 0, 1, 2}));
}

TEST(ZuObject, GuardsAreClearedFirst) {
    std::vector<int> log;
    auto* object = new Tracked(nullptr, &log, 1);
    ZuGuardedPtr<Tracked> guard(object);
    ZuObject* raw = object;
    object->registerGuard(&raw);
    ZuObject* released = object;
    object->registerGuard(&released);
    object->releaseGuard(&released);
    EXPECT_EQ(guard.get(), object);
    delete object;
    EXPECT_EQ(guard.get(), nullptr);
    EXPECT_FALSE(guard);
    EXPECT_EQ(raw, nullptr);
    EXPECT_NE(released, nullptr) << "a released guard is left alone";
}

TEST(ZuTimer, IdsIntervalsAndTheServiceWindow) {
    ZuTimerService* service = ZuTimerService::instance();
    ZuTimer a, b, c;
    EXPECT_FALSE(a.isActive());
    EXPECT_EQ(a.timerId(), -1);
    a.start(100);
    ASSERT_NE(service->window(), nullptr);
    wchar_t className[64] = {};
    GetClassNameW(service->window(), className, 64);
    EXPECT_STREQ(className, L"ZuTimerServiceWindow");
    EXPECT_FALSE(IsWindowVisible(service->window()));
    int first = a.timerId();
    a.start(100);
    EXPECT_EQ(a.timerId(), first) << "same interval keeps the id";
    b.start(100);
    EXPECT_EQ(b.timerId(), first + 1);
    a.stop();
    c.start(100);
    EXPECT_EQ(c.timerId(), first + 2) << "ids still in use are not reused";
    c.start(50);
    EXPECT_NE(c.timerId(), first + 2);
    EXPECT_EQ(c.interval(), 50);
    b.stop();
    c.stop();
    EXPECT_EQ(c.interval(), -1);
    EXPECT_EQ(service->window(), nullptr) << "the last stopped timer takes the window with it";
    a.start(30);
    EXPECT_NE(service->window(), nullptr);
    {
        ZuTimer scoped;
        scoped.start(30);
    }
    EXPECT_EQ(service->timerCount(), 1u) << "a destroyed timer stops";
    a.stop();
    EXPECT_EQ(service->window(), nullptr);
}

namespace {

struct Ticker : ZuSignalReceiver {
    void onTick() {
        ++ticks;
        if (ticks == 3) {
            timer->stop();
            stopper.start(60);
        }
    }
    void onStopper() {
        stopper.stop();
        PostQuitMessage(7);
    }
    int ticks = 0;
    ZuTimer* timer = nullptr;
    ZuTimer stopper;
};

} // namespace

TEST(ZuTimer, FiresInTheRunningLoopAndStops) {
    ZuApplication app;
    app.registerWindow(fakeWindow());
    Ticker ticker;
    ZuTimer timer;
    ticker.timer = &timer;
    timer.connectTimeout(&ticker, &Ticker::onTick);
    ticker.stopper.connectTimeout(&ticker, &Ticker::onStopper);
    timer.start(15);
    EXPECT_EQ(app.exec(), 7);
    EXPECT_EQ(ticker.ticks, 3) << "no tick after stop";
    EXPECT_FALSE(timer.isActive());
    app.unregisterWindow(fakeWindow());
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

namespace {

struct Requester : ZuSignalReceiver {
    void onTick() {
        ++ticks;
        if (ticks == 1) {
            zuDeleteLater(victim);
            zuDeleteLater(victim); // twice: still deleted once
            aliveAtEndOfCallback = !ref.isNull();
        } else if (ref.isNull()) {
            timer.stop();
            PostQuitMessage(0);
        }
    }
    int ticks = 0;
    Doomed* victim = nullptr;
    ZuWeakRef ref;
    bool aliveAtEndOfCallback = false;
    ZuTimer timer;
};

} // namespace

TEST(ZuDeferredDelete, DeletesAfterTheCallbackThatAskedForIt) {
    ZuApplication app;
    app.registerWindow(fakeWindow());
    int deaths = 0;
    Requester requester;
    requester.victim = new Doomed;
    requester.victim->deaths = &deaths;
    requester.ref = requester.victim;
    requester.timer.connectTimeout(&requester, &Requester::onTick);
    requester.timer.start(20);
    EXPECT_EQ(app.exec(), 0);
    EXPECT_TRUE(requester.aliveAtEndOfCallback);
    EXPECT_EQ(deaths, 1);
    EXPECT_GE(requester.ticks, 2);
    EXPECT_FALSE(ZuDeferredDeleteQueue::instance()->timer().isActive()) << "an empty queue stops its timer";
    app.unregisterWindow(fakeWindow());
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ZuDeferredDelete, ObjectsGoneBeforeTheTickAndTheExitFlush) {
    int deaths = 0;
    {
        ZuApplication app;
        auto* early = new Doomed;
        early->deaths = &deaths;
        zuDeleteLater(early);
        delete early; // destroyed before the tick: the queue does nothing with it
        EXPECT_EQ(deaths, 1);
        auto* pending = new Doomed;
        pending->deaths = &deaths;
        zuDeleteLater(pending);
        EXPECT_EQ(ZuDeferredDeleteQueue::instance()->pending(), 2u);
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 2) << "the application flushed the queue";
    EXPECT_EQ(ZuDeferredDeleteQueue::instance()->pending(), 0u);
    EXPECT_FALSE(ZuDeferredDeleteQueue::instance()->timer().isActive());
}

TEST(ZuClock, NeverGoesBackwards) {
    ZuTickWrap wrap;
    EXPECT_EQ(wrap.extend(100), 100);
    int64_t beforeWrap = wrap.extend(0xFFFFFF00u);
    int64_t afterWrap = wrap.extend(0x10u);
    EXPECT_GT(afterWrap, beforeWrap);
    EXPECT_EQ(afterWrap, (int64_t(1) << 32) + 0x10);
    int64_t last = monotonicMilliseconds();
    for (int i = 0; i < 1000; ++i) {
        int64_t now = monotonicMilliseconds();
        EXPECT_GE(now, last);
        last = now;
    }
    ZuElapsedTimer elapsed;
    EXPECT_FALSE(elapsed.isValid());
    elapsed.start();
    EXPECT_TRUE(elapsed.isValid());
    Sleep(60);
    EXPECT_GE(elapsed.elapsed(), 40) << "tick granularity is about 16 ms";
    elapsed.invalidate();
    EXPECT_FALSE(elapsed.isValid());
}
