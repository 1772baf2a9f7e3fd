#include "ui/animation/ZuAnimationGroup.h"

#include "ui/animation/ZuPauseAnimation.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuAnimationGroup, ZuAbstractAnimation, ZU_TAG('A', 'G', 'R', 'P'))
ZU_DEFINE_CLASS(ZuSequentialAnimationGroup, ZuAnimationGroup, ZU_TAG('S', 'A', 'G', 'P'))
ZU_DEFINE_CLASS(ZuParallelAnimationGroup, ZuAnimationGroup, ZU_TAG('P', 'A', 'G', 'P'))

namespace {

void startIfStopped(ZuAbstractAnimation* animation) {
    if (animation->state() == ZuAbstractAnimation::Stopped)
        animation->start();
}

} // namespace

ZuAnimationGroup::~ZuAnimationGroup() {
    // The children go first, while this group is still whole.
    std::vector<ZuAbstractAnimation*> children;
    children.swap(m_animations);
    for (ZuAbstractAnimation* child : children) {
        child->m_group = nullptr;
        delete child;
    }
}

void ZuAnimationGroup::addAnimation(ZuAbstractAnimation* animation) {
    if (!animation || animation == this || animation->m_group == this)
        return;
    for (ZuAnimationGroup* up = m_group; up; up = up->m_group)
        if (up == animation)
            return; // a group inside itself would drive itself
    if (animation->m_group)
        animation->m_group->removeAnimation(animation);
    animation->stop();
    animation->m_group = this;
    animation->setParent(this);
    animation->setDirection(direction());
    m_animations.push_back(animation);
}

void ZuAnimationGroup::removeAnimation(ZuAbstractAnimation* animation) {
    int index = indexOfAnimation(animation);
    if (index < 0)
        return;
    animation->stop();
    m_animations.erase(m_animations.begin() + index);
    animation->m_group = nullptr;
    animation->setParent(nullptr);
    animationRemoved(index, animation);
}

void ZuAnimationGroup::clear() {
    while (!m_animations.empty())
        delete m_animations.back();
}

ZuAbstractAnimation* ZuAnimationGroup::animationAt(int index) const {
    return index >= 0 && index < animationCount() ? m_animations[index] : nullptr;
}

int ZuAnimationGroup::indexOfAnimation(ZuAbstractAnimation* animation) const {
    auto it = std::find(m_animations.begin(), m_animations.end(), animation);
    return it == m_animations.end() ? -1 : static_cast<int>(it - m_animations.begin());
}

void ZuAnimationGroup::updateDirection(int direction) {
    for (ZuAbstractAnimation* child : m_animations)
        child->setDirection(direction);
}

void ZuAnimationGroup::animationRemoved(int, ZuAbstractAnimation*) {}

void ZuAnimationGroup::forgetAnimation(ZuAbstractAnimation* animation) {
    int index = indexOfAnimation(animation);
    if (index < 0)
        return;
    m_animations.erase(m_animations.begin() + index);
    animationRemoved(index, animation);
}

ZuPauseAnimation* ZuSequentialAnimationGroup::addPause(int ms) {
    auto* pause = new ZuPauseAnimation(ms);
    if (pause)
        addAnimation(pause);
    return pause;
}

ZuAbstractAnimation* ZuSequentialAnimationGroup::currentAnimation() const {
    return animationAt(m_current);
}

int ZuSequentialAnimationGroup::duration() const {
    int total = 0;
    for (ZuAbstractAnimation* child : animations()) {
        int d = child->totalDuration();
        if (d == -1)
            return -1;
        total += d;
    }
    return total;
}

void ZuSequentialAnimationGroup::updateCurrentTime(int ms) {
    int count = animationCount();
    if (count == 0)
        return;
    bool forward = direction() == Forward;
    int loop = currentLoop();
    if (loop != m_lastLoop) {
        // A new loop: the rest of the old one plays out first.
        if (loop > m_lastLoop) {
            moveTo(count - 1, animations().back()->totalDuration());
            m_current = -1;
        } else {
            moveTo(0, 0);
            m_current = count;
        }
        m_lastLoop = loop;
    }

    // The child that covers the time; a boundary belongs to the child that
    // the run enters, which depends on the direction.
    int start = 0;
    int index = count - 1;
    int local = -1;
    for (int i = 0; i < count; ++i) {
        int d = animations()[i]->totalDuration();
        if (d == -1 || (forward ? ms < start + d : ms <= start + d)) {
            index = i;
            local = ms - start;
            break;
        }
        start += d;
    }
    if (local < 0)
        local = animations().back()->totalDuration();
    moveTo(index, local);
}

void ZuSequentialAnimationGroup::moveTo(int index, int localTime) {
    const auto& children = animations();
    int count = static_cast<int>(children.size());
    if (index > m_current) {
        if (m_current >= 0 && m_current < count) {
            ZuAbstractAnimation* done = children[m_current];
            if (done->state() != Stopped)
                done->setCurrentTime(done->totalDuration());
            done->stop();
        }
        // Children that the time passed over still get their end value.
        for (int i = m_current + 1; i < index; ++i) {
            ZuAbstractAnimation* passed = children[i];
            startIfStopped(passed);
            passed->setCurrentTime(passed->totalDuration());
            passed->stop();
        }
    } else if (index < m_current) {
        if (m_current < count) {
            ZuAbstractAnimation* done = children[m_current];
            if (done->state() != Stopped)
                done->setCurrentTime(0);
            done->stop();
        }
        for (int i = std::min(m_current, count) - 1; i > index; --i) {
            ZuAbstractAnimation* passed = children[i];
            startIfStopped(passed);
            passed->setCurrentTime(0);
            passed->stop();
        }
    }
    bool entering = index != m_current;
    m_current = index;
    ZuAbstractAnimation* child = children[index];
    if (entering || child->state() != Stopped) {
        startIfStopped(child);
        child->setCurrentTime(localTime);
    }
}

void ZuSequentialAnimationGroup::updateState(int newState, int oldState) {
    ZuAbstractAnimation* child = currentAnimation();
    switch (newState) {
    case Stopped:
        if (child)
            child->stop();
        m_current = -1;
        break;
    case Paused:
        if (child)
            child->pause();
        break;
    case Running:
        if (oldState == Paused) {
            if (child)
                child->resume();
        } else {
            m_current = direction() == Forward ? -1 : animationCount();
            m_lastLoop = currentLoop();
        }
        break;
    }
}

void ZuSequentialAnimationGroup::animationRemoved(int index, ZuAbstractAnimation*) {
    if (index <= m_current)
        --m_current;
}

int ZuParallelAnimationGroup::duration() const {
    int longest = 0;
    for (ZuAbstractAnimation* child : animations()) {
        int d = child->totalDuration();
        if (d == -1)
            return -1;
        longest = std::max(longest, d);
    }
    return longest;
}

bool ZuParallelAnimationGroup::doneThisLoop(ZuAbstractAnimation* animation) const {
    return std::find(m_done.begin(), m_done.end(), animation) != m_done.end();
}

void ZuParallelAnimationGroup::updateCurrentTime(int ms) {
    bool forward = direction() == Forward;
    int loop = currentLoop();
    if (loop != m_lastLoop) {
        for (ZuAbstractAnimation* child : animations()) {
            if (child->state() != Stopped)
                child->setCurrentTime(forward ? child->totalDuration() : 0);
            child->stop();
        }
        m_done.clear();
        m_lastLoop = loop;
    }
    // A callback may remove children: walk a copy and skip the departed.
    std::vector<ZuAbstractAnimation*> children = animations();
    for (ZuAbstractAnimation* child : children) {
        if (indexOfAnimation(child) < 0)
            continue;
        int d = child->totalDuration();
        int local = d == -1 ? ms : std::min(ms, d);
        if (child->state() == Stopped) {
            if (doneThisLoop(child))
                continue;
            child->start();
        }
        child->setCurrentTime(local);
        if (indexOfAnimation(child) >= 0 && child->state() == Stopped)
            m_done.push_back(child);
    }
}

void ZuParallelAnimationGroup::updateState(int newState, int oldState) {
    switch (newState) {
    case Stopped:
        for (ZuAbstractAnimation* child : std::vector<ZuAbstractAnimation*>(animations()))
            child->stop();
        m_done.clear();
        break;
    case Paused:
        for (ZuAbstractAnimation* child : std::vector<ZuAbstractAnimation*>(animations()))
            child->pause();
        break;
    case Running:
        if (oldState == Paused) {
            for (ZuAbstractAnimation* child : std::vector<ZuAbstractAnimation*>(animations()))
                child->resume();
        } else {
            m_done.clear();
            m_lastLoop = currentLoop();
        }
        break;
    }
}

void ZuParallelAnimationGroup::animationRemoved(int, ZuAbstractAnimation* animation) {
    m_done.erase(std::remove(m_done.begin(), m_done.end(), animation), m_done.end());
}
