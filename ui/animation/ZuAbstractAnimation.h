#pragma once

#include "ui/core/ZuConnectionList.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuRttiObject.h"

class ZuAnimationGroup;
class ZuGraphicsItem;

struct ZuAnimationStateChange {
    int newState;
    int oldState;
};

// The state machine of every animation: duration, loops, direction and the
// current time. A top-level animation is advanced by the process-wide
// ZuAnimationTimer while it runs; an animation inside a group is advanced by
// its group.
class ZuAbstractAnimation : public ZuObject, public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuAbstractAnimation)
public:
    enum State { Stopped = 0, Paused = 1, Running = 2 };
    enum DeletionPolicy { KeepWhenStopped = 0, DeleteWhenStopped = 1 };
    enum Direction { Forward = 0, Backward = 1 };

    explicit ZuAbstractAnimation(ZuObject* owner = nullptr);
    ~ZuAbstractAnimation() override;

    // Nothing when already running (the deletion policy stays too).
    void start(int policy = KeepWhenStopped);
    void stop();
    // Running to paused and back; other states are left alone.
    void pause();
    void resume();
    void setPaused(bool paused) { paused ? pause() : resume(); }

    int state() const { return m_state; }
    void setDuration(int ms) { m_duration = ms; }
    // -1 means unbounded.
    virtual int duration() const { return m_duration; }
    // duration times loop count; -1 when either is unbounded.
    int totalDuration() const;
    // Loop count 1 by default; -1 loops for ever; 0 plays nothing.
    void setLoopCount(int loops) { m_loopCount = loops; }
    int loopCount() const { return m_loopCount; }
    int currentLoop() const { return m_currentLoop; }
    void setDirection(int direction);
    int direction() const { return m_direction; }

    // The time within all loops; currentLoopTime() is the time within the loop.
    int currentTime() const { return m_totalCurrentTime; }
    int currentLoopTime() const { return m_currentTime; }
    void setCurrentTime(int ms);

    bool deleteWhenStopped() const { return m_deleteWhenStopped; }
    bool registeredWithTimer() const { return m_registeredWithTimer; }
    ZuAnimationGroup* group() const { return m_group; }

    // The item whose animation list holds this animation (not owned).
    ZuGraphicsItem* attachedItem() const { return m_attachedItem; }
    // Moves this animation to the animation list of `item` (null detaches).
    void attachToItem(ZuGraphicsItem* item);

    // Signals: the state after each change, and the end of a time-driven run.
    template <typename R>
    void connectStateChanged(R* receiver,
                             void (R::*method)(ZuAbstractAnimation*, const ZuAnimationStateChange*)) {
        if (receiver)
            m_stateChanged.append(ZuConnectionList::make(receiver, method));
    }
    template <typename R> void connectFinished(R* receiver, void (R::*method)()) {
        if (receiver)
            m_finished.append(ZuConnectionList::make(receiver, method));
    }

    virtual void updateCurrentTime(int ms) = 0;
    virtual void updateState(int newState, int oldState);
    virtual void updateDirection(int direction);
    virtual void itemAttached(ZuGraphicsItem* item);
    virtual void itemDetached(ZuGraphicsItem* item);

protected:
    void setState(int state);

private:
    friend class ZuAnimationTimer;
    friend class ZuAnimationGroup;
    friend class ZuItemAnimations;

    int m_state = Stopped;
    int m_duration = 0;
    int m_loopCount = 1;
    int m_currentLoop = 0;
    int m_direction = Forward;
    int m_totalCurrentTime = 0;
    int m_currentTime = 0;
    bool m_deleteWhenStopped = false;
    bool m_registeredWithTimer = false;
    ZuAnimationGroup* m_group = nullptr;
    ZuGraphicsItem* m_attachedItem = nullptr;
    ZuConnectionList m_stateChanged;
    ZuConnectionList m_finished;
};
