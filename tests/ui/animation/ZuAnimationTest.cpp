#include "AnimationClock.h"

#include "ui/core/ZuTimerService.h"
#include "ui/core/ZuWeakRef.h"

#include <windows.h>

using Animation = ZuAbstractAnimation;

TEST_F(AnimationClock, ValuesFollowTheClock) {
    RecordingAnimation a;
    a.setDuration(1000);
    a.setStartValue(0.0);
    EXPECT_TRUE(a.values.empty()) << "one key value is not enough to animate";
    a.setEndValue(100.0);
    ASSERT_EQ(a.values.size(), 1u) << "the start value is applied as soon as both ends exist";
    EXPECT_EQ(a.last(), 0.0);

    a.start();
    EXPECT_EQ(a.state(), Animation::Running);
    EXPECT_EQ(a.values.size(), 2u) << "start applies the time-0 value itself";
    EXPECT_EQ(driver()->pending().size(), 1u);
    frame(250);
    EXPECT_EQ(driver()->running().size(), 1u);
    EXPECT_EQ(a.currentTime(), 250);
    EXPECT_DOUBLE_EQ(a.last(), 25.0);
    frame(300);
    EXPECT_DOUBLE_EQ(a.last(), 55.0);
    frame(0);
    EXPECT_EQ(a.values.size(), 4u) << "a tick without elapsed time changes nothing";
    frame(600);
    EXPECT_EQ(a.currentTime(), 1000) << "clamped to the duration";
    EXPECT_DOUBLE_EQ(a.last(), 100.0);
    EXPECT_EQ(a.state(), Animation::Stopped);
    EXPECT_TRUE(driver()->running().empty());
}

TEST_F(AnimationClock, EasingAndIntegerValues) {
    RecordingAnimation eased;
    eased.setDuration(1000);
    eased.setEasingCurve(ZuEasingCurve(ZuEasingCurve::EaseInOutQuad));
    eased.setStartValue(0.0);
    eased.setEndValue(100.0);
    RecordingAnimation flash;
    flash.setDuration(1000);
    flash.setStartValue(1);
    flash.setEndValue(30);
    eased.start();
    flash.start();
    frame(250);
    EXPECT_DOUBLE_EQ(eased.last(), 12.5);
    frame(250);
    ASSERT_EQ(flash.last(), 15.0);
    EXPECT_EQ(flash.values.back().kind(), ZuVariant::Int) << "15.5 truncated";
    frame(250);
    EXPECT_DOUBLE_EQ(eased.last(), 87.5);
}

TEST_F(AnimationClock, StartWhileRunningAndRestart) {
    RecordingAnimation a;
    a.setDuration(100);
    a.setStartValue(0.0);
    a.setEndValue(10.0);
    a.start(Animation::KeepWhenStopped);
    frame(50);
    a.start(Animation::DeleteWhenStopped);
    EXPECT_EQ(a.currentTime(), 50) << "start on a running animation does not restart it";
    EXPECT_FALSE(a.deleteWhenStopped()) << "nor change its policy";

    // Changed while it runs: the new end value applies at once, at the current time.
    a.setEndValue(20.0);
    EXPECT_DOUBLE_EQ(a.last(), 10.0);
    frame(25);
    EXPECT_DOUBLE_EQ(a.last(), 15.0);

    a.stop();
    EXPECT_EQ(a.state(), Animation::Stopped);
    size_t seen = a.values.size();
    frame(25);
    EXPECT_EQ(a.values.size(), seen) << "a stopped animation is not advanced";
    a.start();
    EXPECT_EQ(a.currentTime(), 0);
    EXPECT_DOUBLE_EQ(a.last(), 0.0) << "a restart begins at the start value";
    frame(25);
    EXPECT_DOUBLE_EQ(a.last(), 5.0);
}

TEST_F(AnimationClock, ZeroDurationEndsInsideStart) {
    RecordingAnimation a;
    a.setDuration(0);
    a.setStartValue(3.0);
    a.setEndValue(7.0);
    a.start();
    EXPECT_EQ(a.state(), Animation::Stopped);
    EXPECT_DOUBLE_EQ(a.last(), 7.0);
}

TEST_F(AnimationClock, KeyValuesAndKinds) {
    RecordingAnimation a;
    a.setDuration(1000);
    a.setKeyValueAt(0.0, 0.0);
    a.setKeyValueAt(1.0, 0.0);
    a.setKeyValueAt(0.5, 100.0);
    a.setKeyValueAt(1.5, 7.0);
    a.setKeyValueAt(-0.1, 7.0);
    EXPECT_EQ(a.keyValues().size(), 3u) << "steps outside [0, 1] are ignored";
    a.start();
    frame(250);
    EXPECT_DOUBLE_EQ(a.last(), 50.0);
    frame(250);
    EXPECT_DOUBLE_EQ(a.last(), 100.0);
    frame(250);
    EXPECT_DOUBLE_EQ(a.last(), 50.0);
    a.setKeyValueAt(0.5, ZuVariant());
    EXPECT_EQ(a.keyValues().size(), 2u) << "an invalid value removes the key";
    EXPECT_DOUBLE_EQ(a.last(), 0.0);
    a.setKeyValueAt(0.25, ZuVariant());
    EXPECT_EQ(a.keyValues().size(), 3u) << "at a new step an invalid value is a key";

    RecordingAnimation mixed;
    mixed.setStartValue(1.0);
    mixed.setEndValue(5);
    ASSERT_FALSE(mixed.values.empty());
    EXPECT_FALSE(mixed.values.back().isValid()) << "different kinds cannot be blended";
    RecordingAnimation text;
    text.setStartValue(ZuString(L"a"));
    text.setEndValue(ZuString(L"b"));
    EXPECT_FALSE(text.currentValue().isValid());
}

TEST(ZuVariantAnimation, InterpolatorsByKind) {
    const double p = 0.25;
    auto blend = [&](const ZuVariant& a, const ZuVariant& b) {
        return ZuVariantAnimation::interpolatorFor(a.kind())(a, b, p);
    };
    EXPECT_EQ(blend(ZuVariant(10), ZuVariant(-3)).toInt(), 6); // 6.75
    EXPECT_EQ(blend(ZuVariant(-10), ZuVariant(3)).toInt(), -6) << "truncated toward zero";
    EXPECT_EQ(blend(ZuVariant(4000000000u), ZuVariant(0u)).toUInt(), 3000000000u);
    EXPECT_DOUBLE_EQ(blend(ZuVariant(1.0), ZuVariant(2.0)).toDouble(), 1.25);
    ZuVariant f = blend(ZuVariant(1.0f), ZuVariant(2.0f));
    EXPECT_EQ(f.kind(), ZuVariant::Float);
    EXPECT_FLOAT_EQ(static_cast<float>(f.toDouble()), 1.25f);
    EXPECT_EQ(blend(ZuVariant(100LL), ZuVariant(0LL)).toInt64(), 75);
    EXPECT_EQ(blend(ZuVariant(8ULL), ZuVariant(0ULL)).kind(), ZuVariant::UInt64);
    EXPECT_EQ(blend(ZuVariant(ZuRectF{0, 0, 4, 8}), ZuVariant(ZuRectF{4, 8, 0, 0})).toRectF(),
              (ZuRectF{1, 2, 3, 6}));
    EXPECT_EQ(blend(ZuVariant(ZuRect{0, 0, 10, 10}), ZuVariant(ZuRect{10, 10, 0, 0})).toRect(),
              (ZuRect{2, 2, 7, 7}));
    EXPECT_EQ(blend(ZuVariant(ZuPointF{0, 4}), ZuVariant(ZuPointF{4, 0})).toPointF(), (ZuPointF{1, 3}));
    EXPECT_EQ(blend(ZuVariant(ZuPoint{0, 10}), ZuVariant(ZuPoint{10, 0})).toPoint(), (ZuPoint{2, 7}));
    EXPECT_EQ(blend(ZuVariant(ZuSizeF{0, 4}), ZuVariant(ZuSizeF{4, 0})).toSizeF(), (ZuSizeF{1, 3}));
    EXPECT_EQ(blend(ZuVariant(ZuSize{0, 10}), ZuVariant(ZuSize{10, 0})).toSize(), (ZuSize{2, 7}));
    EXPECT_FALSE(blend(ZuVariant(true), ZuVariant(false)).isValid());
}

TEST_F(AnimationClock, LoopsAndDirection) {
    RecordingAnimation looped;
    looped.setDuration(100);
    looped.setLoopCount(3);
    looped.setStartValue(0.0);
    looped.setEndValue(100.0);
    EXPECT_EQ(looped.totalDuration(), 300);
    looped.start();
    frame(250);
    EXPECT_EQ(looped.currentLoop(), 2);
    EXPECT_EQ(looped.currentLoopTime(), 50);
    EXPECT_DOUBLE_EQ(looped.last(), 50.0);
    frame(100);
    EXPECT_EQ(looped.state(), Animation::Stopped);
    EXPECT_EQ(looped.currentTime(), 300);
    EXPECT_DOUBLE_EQ(looped.last(), 100.0);

    RecordingAnimation backwards;
    backwards.setDuration(1000);
    backwards.setStartValue(0.0);
    backwards.setEndValue(100.0);
    backwards.setDirection(Animation::Backward);
    backwards.start();
    EXPECT_EQ(backwards.currentTime(), 1000);
    EXPECT_DOUBLE_EQ(backwards.last(), 100.0);
    frame(250);
    EXPECT_DOUBLE_EQ(backwards.last(), 75.0);
    backwards.setDirection(Animation::Forward);
    frame(100);
    EXPECT_DOUBLE_EQ(backwards.last(), 85.0) << "turned round while running";
    backwards.setDirection(Animation::Backward);
    frame(2000);
    EXPECT_EQ(backwards.state(), Animation::Stopped) << "a backward run ends at time 0";
    EXPECT_DOUBLE_EQ(backwards.last(), 0.0);

    RecordingAnimation endless;
    endless.setDuration(100);
    endless.setLoopCount(-1);
    endless.setStartValue(0.0);
    endless.setEndValue(100.0);
    endless.start();
    frame(1030);
    EXPECT_EQ(endless.state(), Animation::Running);
    EXPECT_EQ(endless.currentLoop(), 10);
    EXPECT_DOUBLE_EQ(endless.last(), 30.0);
}

TEST_F(AnimationClock, PauseAndResume) {
    RecordingAnimation a;
    a.setDuration(100);
    a.setStartValue(0.0);
    a.setEndValue(100.0);
    a.pause();
    EXPECT_EQ(a.state(), Animation::Stopped) << "only a running animation pauses";
    a.start();
    frame(40);
    a.pause();
    EXPECT_EQ(a.state(), Animation::Paused);
    EXPECT_FALSE(a.registeredWithTimer());
    frame(500);
    EXPECT_EQ(a.currentTime(), 40);
    a.resume();
    frame(0);
    frame(20);
    EXPECT_EQ(a.currentTime(), 60) << "resumed where it paused";
    EXPECT_DOUBLE_EQ(a.last(), 60.0);
}

TEST_F(AnimationClock, StateSignals) {
    std::vector<std::string> log;
    StateWatcher watcher(&log);
    RecordingAnimation a;
    a.setDuration(100);
    watcher.watch(&a, "a");
    a.start();
    a.pause();
    a.resume();
    frame(200);
    EXPECT_EQ(log,
              (std::vector<std::string>{"a:running", "a:paused", "a:running", "a:stopped", "a:finished"}));
}

TEST_F(AnimationClock, AnAnimationThatStopsInATickDoesNotMakeTheNextOneSkip) {
    RecordingAnimation shortOne, longOne, third;
    for (auto* a : {&shortOne, &longOne, &third}) {
        a->setStartValue(0.0);
        a->setEndValue(1000.0);
    }
    shortOne.setDuration(10);
    longOne.setDuration(1000);
    third.setDuration(1000);
    shortOne.start();
    longOne.start();
    third.start();
    frame(20);
    EXPECT_EQ(shortOne.state(), Animation::Stopped);
    EXPECT_EQ(longOne.currentTime(), 20);
    EXPECT_EQ(third.currentTime(), 20);
    EXPECT_EQ(driver()->running().size(), 2u);
}

namespace {
// Deletes another animation when its own value changes.
class Killer : public RecordingAnimation {
public:
    using RecordingAnimation::RecordingAnimation;
    void updateCurrentValue(const ZuVariant& value) override {
        RecordingAnimation::updateCurrentValue(value);
        if (victim && value.toDouble() > 0) {
            delete victim;
            victim = nullptr;
        }
    }
    Animation* victim = nullptr;
};
} // namespace

TEST_F(AnimationClock, DestroyedWhileRunning) {
    auto* doomed = new RecordingAnimation("d", nullptr, 100);
    doomed->start();
    frame(10);
    delete doomed;
    EXPECT_TRUE(driver()->running().empty());
    frame(10);

    // Deleted by another animation in the middle of a tick.
    Killer killer("k", nullptr, 100);
    auto* victim = new RecordingAnimation("v", nullptr, 100);
    auto* after = new RecordingAnimation("a", nullptr, 100);
    killer.victim = victim;
    killer.start();
    victim->start();
    after->start();
    frame(10);
    EXPECT_EQ(killer.victim, nullptr);
    EXPECT_EQ(driver()->running().size(), 2u);
    EXPECT_EQ(after->currentTime(), 10) << "the animation after the deleted one still moved";
    delete after;
}

TEST_F(AnimationClock, DeleteWhenStoppedAndNoTimerWhenIdle) {
    auto* a = new RecordingAnimation("a", nullptr, 50);
    auto* b = new RecordingAnimation("b", nullptr, 80);
    ZuWeakRef aRef(a), bRef(b);
    a->start(Animation::DeleteWhenStopped);
    b->start(Animation::DeleteWhenStopped);
    EXPECT_TRUE(driver()->startStopTimer().isActive());
    frame(16);
    EXPECT_TRUE(driver()->tickTimer().isActive());
    EXPECT_FALSE(driver()->startStopTimer().isActive());
    frame(50);
    EXPECT_EQ(a->state(), Animation::Stopped);
    EXPECT_TRUE(driver()->tickTimer().isActive()) << "b still runs";
    frame(50);
    EXPECT_FALSE(timersIdle()) << "the last stop schedules the start/stop timer";
    frame(16);
    EXPECT_TRUE(timersIdle()) << "nothing runs, nothing ticks";
    ZuDeferredDeleteQueue::instance()->flush();
    EXPECT_TRUE(aRef.isNull());
    EXPECT_TRUE(bRef.isNull());
    EXPECT_EQ(ZuTimerService::instance()->timerCount(), 0u) << "an idle toolkit holds no native timer";
}

// The real timers and clock: a short animation runs to its end through the
// message loop, and the timers go away afterwards.
TEST(ZuAnimationTimer, RunsOnTheMessageLoop) {
    ZuAnimationTimer::instance()->setClock(nullptr);
    RecordingAnimation a("a", nullptr, 120, 0, 120);
    a.start();
    DWORD deadline = GetTickCount() + 5000;
    MSG msg;
    while (GetTickCount() < deadline &&
           (a.state() == ZuAbstractAnimation::Running || ZuTimerService::instance()->timerCount() > 0)) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    EXPECT_EQ(a.state(), ZuAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(a.last(), 120.0);
    EXPECT_GE(a.values.size(), 3u) << "several frames in between";
    EXPECT_EQ(ZuTimerService::instance()->timerCount(), 0u);
}
