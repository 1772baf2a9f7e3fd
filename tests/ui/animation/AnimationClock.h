#pragma once

#include "ui/animation/ZuAnimationTimer.h"
#include "ui/animation/ZuVariantAnimation.h"
#include "ui/core/ZuDeferredDeleteQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Drives the animation timer by hand: a frame fires the start/stop timer
// when it is due, moves the clock on and fires the tick, as WM_TIMER would.
class AnimationClock : public ::testing::Test {
protected:
    static int64_t& now() {
        static int64_t value = 5000;
        return value;
    }
    static int64_t read() { return now(); }

    void SetUp() override { driver()->setClock(&AnimationClock::read); }
    void TearDown() override {
        driver()->stopAll();
        frame(0);
        ZuDeferredDeleteQueue::instance()->flush();
        driver()->setClock(nullptr);
    }

    static ZuAnimationTimer* driver() { return ZuAnimationTimer::instance(); }
    static void frame(int ms) {
        if (driver()->startStopTimer().isActive())
            driver()->startStopTimer().fire();
        now() += ms;
        if (driver()->tickTimer().isActive())
            driver()->tickTimer().fire();
    }
    static bool timersIdle() {
        return !driver()->tickTimer().isActive() && !driver()->startStopTimer().isActive();
    }
};

// Records every value it is given, optionally into a log shared by several.
class RecordingAnimation : public ZuVariantAnimation {
    ZU_DECLARE_CLASS(RecordingAnimation)
public:
    explicit RecordingAnimation(ZuObject* owner = nullptr) : ZuVariantAnimation(owner) {}
    RecordingAnimation(const char* name, std::vector<std::string>* log, int ms, double from = 0,
                       double to = 10)
        : m_name(name) {
        setDuration(ms);
        setStartValue(from);
        setEndValue(to);
        values.clear(); // what construction applied is not part of a run
        m_log = log;
    }
    void updateCurrentValue(const ZuVariant& value) override {
        values.push_back(value);
        if (m_log)
            m_log->push_back(m_name + "=" + std::to_string(static_cast<int>(value.toDouble())));
    }
    double last() const { return values.empty() ? -1 : values.back().toDouble(); }

    std::vector<ZuVariant> values;

private:
    std::string m_name;
    std::vector<std::string>* m_log = nullptr;
};

// Writes the state changes of the animations it watches into a log.
class StateWatcher : public ZuSignalReceiver {
public:
    explicit StateWatcher(std::vector<std::string>* log) : m_log(log) {}
    void watch(ZuAbstractAnimation* animation, const char* name) {
        m_names.emplace_back(animation, name);
        animation->connectStateChanged(this, &StateWatcher::onState);
        animation->connectFinished(this, &StateWatcher::onFinished);
    }
    void onState(ZuAbstractAnimation* animation, const ZuAnimationStateChange* change) {
        m_last = nameOf(animation);
        static const char* names[] = {"stopped", "paused", "running"};
        m_log->push_back(m_last + ":" + names[change->newState]);
    }
    // The finished signal follows the stop's state change of the same animation.
    void onFinished() { m_log->push_back(m_last + ":finished"); }

private:
    std::string nameOf(ZuAbstractAnimation* animation) const {
        for (auto& [a, n] : m_names)
            if (a == animation)
                return n;
        return "?";
    }
    std::vector<std::pair<ZuAbstractAnimation*, std::string>> m_names;
    std::vector<std::string>* m_log;
    std::string m_last;
};
