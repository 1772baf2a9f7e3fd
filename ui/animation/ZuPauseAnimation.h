#pragma once

#include "ui/animation/ZuAbstractAnimation.h"

// A stretch of time that changes nothing: a gap in a sequential group.
class ZuPauseAnimation : public ZuAbstractAnimation {
    ZU_DECLARE_CLASS(ZuPauseAnimation)
public:
    explicit ZuPauseAnimation(ZuObject* owner = nullptr) : ZuAbstractAnimation(owner) { setDuration(250); }
    explicit ZuPauseAnimation(int ms, ZuObject* owner = nullptr) : ZuAbstractAnimation(owner) {
        setDuration(ms);
    }

    void updateCurrentTime(int) override {}
};
