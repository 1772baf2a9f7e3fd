#pragma once

#include "ui/animation/ZuAbstractAnimation.h"

#include <vector>

// An animation made of child animations, which it owns and drives with its
// own time: the children are never registered with the timer themselves.
class ZuAnimationGroup : public ZuAbstractAnimation {
    ZU_DECLARE_CLASS(ZuAnimationGroup)
public:
    explicit ZuAnimationGroup(ZuObject* owner = nullptr) : ZuAbstractAnimation(owner) {}
    ~ZuAnimationGroup() override;

    // Takes ownership; a running top-level animation is stopped first, and
    // one that belongs to another group leaves that group.
    void addAnimation(ZuAbstractAnimation* animation);
    // Gives the animation back without an owner (the caller now owns it).
    void removeAnimation(ZuAbstractAnimation* animation);
    // Deletes every child.
    void clear();
    int animationCount() const { return static_cast<int>(m_animations.size()); }
    ZuAbstractAnimation* animationAt(int index) const;
    int indexOfAnimation(ZuAbstractAnimation* animation) const;

    void updateDirection(int direction) override;

protected:
    const std::vector<ZuAbstractAnimation*>& animations() const { return m_animations; }
    // A child left the group (removed or destroyed).
    virtual void animationRemoved(int index, ZuAbstractAnimation* animation);

private:
    friend class ZuAbstractAnimation;
    void forgetAnimation(ZuAbstractAnimation* animation);

    std::vector<ZuAbstractAnimation*> m_animations;
};

// Plays its children one after the other.
class ZuSequentialAnimationGroup : public ZuAnimationGroup {
    ZU_DECLARE_CLASS(ZuSequentialAnimationGroup)
public:
    explicit ZuSequentialAnimationGroup(ZuObject* owner = nullptr) : ZuAnimationGroup(owner) {}

    // Appends a pause of the given length and returns it.
    class ZuPauseAnimation* addPause(int ms);
    ZuAbstractAnimation* currentAnimation() const;

    int duration() const override;
    void updateCurrentTime(int ms) override;
    void updateState(int newState, int oldState) override;

protected:
    void animationRemoved(int index, ZuAbstractAnimation* animation) override;

private:
    void moveTo(int index, int localTime);

    int m_current = -1;
    int m_lastLoop = 0;
};

// Plays its children at the same time; it lasts as long as the longest.
class ZuParallelAnimationGroup : public ZuAnimationGroup {
    ZU_DECLARE_CLASS(ZuParallelAnimationGroup)
public:
    explicit ZuParallelAnimationGroup(ZuObject* owner = nullptr) : ZuAnimationGroup(owner) {}

    int duration() const override;
    void updateCurrentTime(int ms) override;
    void updateState(int newState, int oldState) override;

protected:
    void animationRemoved(int index, ZuAbstractAnimation* animation) override;

private:
    bool doneThisLoop(ZuAbstractAnimation* animation) const;

    std::vector<ZuAbstractAnimation*> m_done;
    int m_lastLoop = 0;
};
