#include "ui/animation/ZuAnimationTimer.h"

#include "ui/animation/ZuAbstractAnimation.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<ZuAnimationTimer*> g_timer{nullptr};
}

ZuAnimationTimer* ZuAnimationTimer::instance() {
    ZuAnimationTimer* current = g_timer.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuAnimationTimer;
    if (g_timer.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine;
    return current;
}

ZuAnimationTimer* ZuAnimationTimer::existingInstance() {
    return g_timer.load(std::memory_order_acquire);
}

ZuAnimationTimer::ZuAnimationTimer() {
    m_tickTimer.connectTimeout(this, &ZuAnimationTimer::onTick);
    m_startStopTimer.connectTimeout(this, &ZuAnimationTimer::onStartStop);
}

void ZuAnimationTimer::registerAnimation(ZuAbstractAnimation* animation) {
    if (!animation || animation->m_registeredWithTimer)
        return;
    animation->m_registeredWithTimer = true;
    m_pending.push_back(animation);
    if (!m_startStopTimer.isActive())
        m_startStopTimer.start(kTimingInterval);
}

void ZuAnimationTimer::unregisterAnimation(ZuAbstractAnimation* animation) {
    if (!animation || !animation->m_registeredWithTimer)
        return;
    auto it = std::find(m_running.begin(), m_running.end(), animation);
    if (it == m_running.end()) {
        m_pending.erase(std::remove(m_pending.begin(), m_pending.end(), animation), m_pending.end());
    } else {
        int index = static_cast<int>(it - m_running.begin());
        m_running.erase(it);
        // The tick loop's index must not skip the animation after this one.
        if (index <= m_advancing)
            --m_advancing;
        if (m_running.empty() && !m_startStopTimer.isActive())
            m_startStopTimer.start(kTimingInterval);
    }
    animation->m_registeredWithTimer = false;
}

void ZuAnimationTimer::onStartStop() {
    m_startStopTimer.stop();
    m_running.insert(m_running.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
    if (m_running.empty()) {
        m_tickTimer.stop();
        m_clock.invalidate();
        return;
    }
    if (!m_tickTimer.isActive())
        m_tickTimer.start(kTimingInterval);
    if (!m_clock.isValid()) {
        m_lastTick = 0;
        m_clock.start();
    }
}

void ZuAnimationTimer::onTick() {
    int64_t now = m_clock.elapsed();
    int64_t delta = now - m_lastTick;
    m_lastTick = now;
    if (delta != 0) {
        for (m_advancing = 0; m_advancing < static_cast<int>(m_running.size()); ++m_advancing) {
            ZuAbstractAnimation* animation = m_running[m_advancing];
            int step = static_cast<int>(delta);
            animation->setCurrentTime(
                animation->m_totalCurrentTime +
                (animation->direction() == ZuAbstractAnimation::Forward ? step : -step));
        }
    }
    m_advancing = 0;
}

void ZuAnimationTimer::stopAll() {
    std::vector<ZuAbstractAnimation*> all = m_running;
    all.insert(all.end(), m_pending.begin(), m_pending.end());
    for (ZuAbstractAnimation* animation : all)
        if (std::find(m_running.begin(), m_running.end(), animation) != m_running.end() ||
            std::find(m_pending.begin(), m_pending.end(), animation) != m_pending.end())
            animation->stop();
}
