#include "AnimationClock.h"

#include "ui/animation/ZuAnimationGroup.h"
#include "ui/animation/ZuPauseAnimation.h"
#include "ui/core/ZuWeakRef.h"

using Animation = ZuAbstractAnimation;
using Log = std::vector<std::string>;

TEST_F(AnimationClock, SequentialGroupPlaysInOrder) {
    Log values, states;
    StateWatcher watcher(&states);
    ZuSequentialAnimationGroup group;
    auto* a = new RecordingAnimation("a", &values, 100, 0, 10);
    auto* b = new RecordingAnimation("b", &values, 100, 0, 10);
    group.addAnimation(a);
    ZuPauseAnimation* pause = group.addPause(50);
    group.addAnimation(b);
    watcher.watch(&group, "group");
    watcher.watch(a, "a");
    watcher.watch(pause, "pause");
    watcher.watch(b, "b");
    EXPECT_EQ(group.duration(), 250);
    EXPECT_EQ(a->parent(), &group) << "the group owns its children";

    group.start();
    EXPECT_EQ(group.currentAnimation(), a);
    EXPECT_EQ(driver()->pending().size(), 1u) << "only the group is timed";
    frame(50);
    EXPECT_EQ(a->last(), 5.0);
    frame(70);
    EXPECT_EQ(group.currentAnimation(), pause);
    EXPECT_EQ(a->state(), Animation::Stopped);
    EXPECT_EQ(a->last(), 10.0) << "a finished with its end value";
    EXPECT_EQ(b->state(), Animation::Stopped);
    frame(80);
    EXPECT_EQ(group.currentAnimation(), b);
    EXPECT_EQ(b->last(), 5.0);
    frame(100);
    EXPECT_EQ(group.state(), Animation::Stopped);
    EXPECT_EQ(b->last(), 10.0);
    EXPECT_EQ(values, (Log{"a=0", "a=5", "a=10", "b=5", "b=10"}));
    EXPECT_EQ(states, (Log{"group:running", "a:running", "a:stopped", "a:finished", "pause:running",
                           "pause:stopped", "pause:finished", "b:running", "b:stopped", "b:finished",
                           "group:stopped", "group:finished"}));
}

TEST_F(AnimationClock, SequentialGroupGivesPassedChildrenTheirEndValue) {
    Log values;
    ZuSequentialAnimationGroup group;
    group.addAnimation(new RecordingAnimation("a", &values, 30, 0, 10));
    group.addAnimation(new RecordingAnimation("b", &values, 30, 0, 10));
    group.addAnimation(new RecordingAnimation("c", &values, 100, 0, 10));
    group.start();
    frame(110); // past a and b at once
    EXPECT_EQ(values, (Log{"a=0", "a=10", "b=10", "c=5"}));
}

TEST_F(AnimationClock, SequentialGroupLoopsAndRunsBackwards) {
    Log values;
    ZuSequentialAnimationGroup group;
    group.addAnimation(new RecordingAnimation("a", &values, 100, 0, 10));
    group.addAnimation(new RecordingAnimation("b", &values, 100, 0, 10));
    group.setLoopCount(2);
    group.start();
    frame(150);
    values.clear();
    frame(100); // into the second loop
    EXPECT_EQ(group.currentLoop(), 1);
    EXPECT_EQ(values, (Log{"b=10", "a=5"})) << "the old loop ends, the new one begins";
    frame(200);
    EXPECT_EQ(group.state(), Animation::Stopped);

    values.clear();
    group.setLoopCount(1);
    group.setDirection(Animation::Backward);
    EXPECT_EQ(group.animationAt(0)->direction(), Animation::Backward) << "children follow the direction";
    group.start();
    frame(50);
    frame(100);
    frame(100);
    EXPECT_EQ(group.state(), Animation::Stopped);
    EXPECT_EQ(values, (Log{"b=10", "b=5", "b=0", "a=5", "a=0"}));
}

TEST_F(AnimationClock, ParallelGroupRunsTogetherAndLastsAsLongAsTheLongest) {
    Log values, states;
    StateWatcher watcher(&states);
    ZuParallelAnimationGroup group;
    auto* a = new RecordingAnimation("a", &values, 100, 0, 10);
    auto* b = new RecordingAnimation("b", &values, 200, 0, 10);
    group.addAnimation(a);
    group.addAnimation(b);
    watcher.watch(&group, "group");
    watcher.watch(a, "a");
    watcher.watch(b, "b");
    EXPECT_EQ(group.duration(), 200);
    group.start();
    frame(50);
    EXPECT_EQ(a->last(), 5.0);
    EXPECT_EQ(b->last(), 2.5);
    frame(100);
    EXPECT_EQ(a->state(), Animation::Stopped);
    EXPECT_EQ(a->last(), 10.0);
    EXPECT_EQ(b->state(), Animation::Running);
    size_t aValues = a->values.size();
    frame(40);
    EXPECT_EQ(a->values.size(), aValues) << "a finished child waits";
    frame(100);
    EXPECT_EQ(group.state(), Animation::Stopped);
    EXPECT_EQ(b->last(), 10.0);
    EXPECT_EQ(states, (Log{"group:running", "a:running", "b:running", "a:stopped", "a:finished", "b:stopped",
                           "b:finished", "group:stopped", "group:finished"}));
}
