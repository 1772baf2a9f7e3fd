#include "ui/animation/ZuAbstractAnimation.h"

#include "ui/animation/ZuAnimationGroup.h"
#include "ui/animation/ZuAnimationTimer.h"
#include "ui/animation/ZuItemAnimations.h"
#include "ui/core/ZuDeferredDeleteQueue.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuAbstractAnimation, ZuRttiObject, ZU_TAG('A', 'A', 'N', 'N'))

ZuAbstractAnimation::ZuAbstractAnimation(ZuObject* owner) : ZuObject(owner) {}

ZuAbstractAnimation::~ZuAbstractAnimation() {
    attachToItem(nullptr);
    // No updateState from a destructor: the subclass parts are gone already.
    if (m_state != Stopped) {
        int old = m_state;
        m_state = Stopped;
        if (old == Running)
            ZuAnimationTimer::instance()->unregisterAnimation(this);
    }
    if (m_group)
        m_group->forgetAnimation(this);
    m_stateChanged.clear();
    m_finished.clear();
}

int ZuAbstractAnimation::totalDuration() const {
    int d = duration();
    if (d <= 0)
        return d;
    if (m_loopCount < 0)
        return -1;
    return d * m_loopCount;
}

void ZuAbstractAnimation::start(int policy) {
    if (m_state == Running)
        return;
    m_deleteWhenStopped = policy == DeleteWhenStopped;
    setState(Running);
}

void ZuAbstractAnimation::stop() {
    setState(Stopped);
}

void ZuAbstractAnimation::pause() {
    if (m_state == Running)
        setState(Paused);
}

void ZuAbstractAnimation::resume() {
    if (m_state == Paused)
        setState(Running);
}

void ZuAbstractAnimation::setDirection(int direction) {
    if (direction != Forward && direction != Backward)
        return;
    if (direction == m_direction)
        return;
    m_direction = direction;
    updateDirection(direction);
}

void ZuAbstractAnimation::setCurrentTime(int ms) {
    ms = std::max(ms, 0);
    int loopDuration = duration();
    int total = totalDuration();
    if (total != -1)
        ms = std::min(ms, total);
    m_totalCurrentTime = ms;

    m_currentLoop = loopDuration <= 0 ? 0 : ms / loopDuration;
    if (m_currentLoop == m_loopCount) {
        // at the end of the last loop
        m_currentTime = std::max(0, loopDuration);
        m_currentLoop = std::max(0, m_loopCount - 1);
    } else if (m_direction == Forward) {
        m_currentTime = loopDuration <= 0 ? ms : ms % loopDuration;
    } else {
        // Going backwards a loop boundary belongs to the loop below it.
        m_currentTime = loopDuration <= 0 ? ms : (ms == 0 ? 0 : (ms - 1) % loopDuration + 1);
        if (loopDuration > 0 && ms > 0 && m_currentTime == loopDuration && m_currentLoop > 0)
            --m_currentLoop;
    }

    ZuGuardedPtr<ZuAbstractAnimation> self(this);
    updateCurrentTime(m_currentTime);
    if (!self)
        return;
    if ((m_direction == Forward && m_totalCurrentTime == total) ||
        (m_direction == Backward && m_totalCurrentTime == 0))
        stop();
}

void ZuAbstractAnimation::setState(int state) {
    if (state == m_state)
        return;
    int old = m_state;
    if (old == Stopped) {
        // A run starts at its beginning: time 0 forwards, the end backwards.
        int start = 0;
        if (m_direction == Backward)
            start = m_loopCount == -1 ? duration() : totalDuration();
        m_totalCurrentTime = m_currentTime = std::max(start, 0);
        m_currentLoop = m_direction == Backward && m_loopCount > 0 ? m_loopCount - 1 : 0;
    }
    m_state = state;
    ZuGuardedPtr<ZuAbstractAnimation> self(this);

    // Only top-level animations are timed; a group drives its children.
    if (!m_group) {
        if (old == Running)
            ZuAnimationTimer::instance()->unregisterAnimation(this);
        else if (state == Running)
            ZuAnimationTimer::instance()->registerAnimation(this);
    }

    updateState(state, old);
    if (!self)
        return;
    ZuAnimationStateChange change{state, old};
    m_stateChanged.invoke(static_cast<ZuRttiObject*>(this), &change);
    if (!self)
        return;

    if (m_state == state) {
        if (state == Stopped) {
            m_finished.invoke(nullptr, nullptr);
            if (!self)
                return;
            if (m_deleteWhenStopped)
                zuDeleteLater(this);
        } else if (state == Running && old == Stopped && !m_group) {
            // The first value (time 0) is applied within start itself.
            setCurrentTime(m_totalCurrentTime);
        }
    }
}

void ZuAbstractAnimation::attachToItem(ZuGraphicsItem* item) {
    ZuItemAnimations::attach(this, item);
}

void ZuAbstractAnimation::updateState(int, int) {}
void ZuAbstractAnimation::updateDirection(int) {}

void ZuAbstractAnimation::itemAttached(ZuGraphicsItem* item) {
    m_attachedItem = item;
}

void ZuAbstractAnimation::itemDetached(ZuGraphicsItem*) {}
