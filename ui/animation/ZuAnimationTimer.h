#pragma once

#include "ui/core/ZuClock.h"
#include "ui/core/ZuSignalReceiver.h"
#include "ui/core/ZuTimer.h"

#include <cstdint>
#include <vector>

class ZuAbstractAnimation;

// The one driver of all running top-level animations of the process: a
// 16 ms tick advances each by the real time elapsed since the last tick. A
// second timer batches starts and stops, so the tick runs only while some
// animation does: an idle window costs no timer at all.
class ZuAnimationTimer : public ZuSignalReceiver {
public:
    static constexpr int kTimingInterval = 16;

    static ZuAnimationTimer* instance();
    // The instance only when it exists already.
    static ZuAnimationTimer* existingInstance();

    void registerAnimation(ZuAbstractAnimation* animation);
    void unregisterAnimation(ZuAbstractAnimation* animation);
    // Stops every running and pending animation (process exit).
    void stopAll();

    const std::vector<ZuAbstractAnimation*>& running() const { return m_running; }
    const std::vector<ZuAbstractAnimation*>& pending() const { return m_pending; }
    // Tests fire these in place of WM_TIMER and give a clock of their own.
    ZuTimer& tickTimer() { return m_tickTimer; }
    ZuTimer& startStopTimer() { return m_startStopTimer; }
    void setClock(ZuElapsedTimer::Clock clock) { m_clock.setClock(clock); }

private:
    ZuAnimationTimer();
    void onTick();
    void onStartStop();

    ZuTimer m_tickTimer;
    ZuTimer m_startStopTimer;
    ZuElapsedTimer m_clock;
    int64_t m_lastTick = 0;
    std::vector<ZuAbstractAnimation*> m_running;
    std::vector<ZuAbstractAnimation*> m_pending;
    int m_advancing = 0;
};
