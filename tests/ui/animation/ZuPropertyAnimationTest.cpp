#include "AnimationClock.h"

#include "ui/animation/ZuItemAnimations.h"
#include "ui/animation/ZuPropertyAnimation.h"
#include "ui/core/ZuWeakRef.h"
#include "ui/scene/ZuGraphicsItem.h"

#include <memory>

using Animation = ZuAbstractAnimation;

TEST_F(AnimationClock, WritesTheTargetsProperty) {
    std::unique_ptr<ZuGraphicsItem> item(new ZuGraphicsItem);
    ZuPropertyAnimation flash;
    flash.setTargetItem(item.get());
    EXPECT_EQ(flash.targetItem(), item.get());
    EXPECT_EQ(ZuItemAnimations::of(item.get()), std::vector<Animation*>{&flash});
    flash.setPropertyName("flash");
    flash.setDuration(1000);
    flash.setStartValue(1);
    flash.setEndValue(30);
    EXPECT_EQ(item->property("flash").toInt(), 1) << "the start value is written before start";
    flash.start();
    frame(500);
    EXPECT_EQ(item->property("flash").toInt(), 15);
    frame(600);
    EXPECT_EQ(item->property("flash").toInt(), 30);
    EXPECT_EQ(flash.state(), Animation::Stopped);

    // Another target: the first item's list forgets the animation.
    std::unique_ptr<ZuGraphicsItem> other(new ZuGraphicsItem);
    flash.setTargetItem(other.get());
    EXPECT_TRUE(ZuItemAnimations::of(item.get()).empty());
    EXPECT_EQ(flash.targetItem(), other.get());
}

TEST_F(AnimationClock, FadeOpacity) {
    std::unique_ptr<ZuGraphicsItem> item(new ZuGraphicsItem);
    ZuPropertyAnimation* fade = fadeOpacity(item.get(), 0.0, 1.0, 1000);
    ASSERT_NE(fade, nullptr);
    ZuWeakRef fadeRef(fade);
    EXPECT_EQ(item->opacity(), 0.0) << "transparent at once";
    EXPECT_EQ(fade->easingCurve().type(), ZuEasingCurve::EaseInOutQuad);
    frame(250);
    EXPECT_DOUBLE_EQ(item->opacity(), 0.125);

    // A second fade stops the first where it is and starts from its own value.
    ZuPropertyAnimation* second = fadeOpacity(item.get(), 1.0, 0.0, 400);
    EXPECT_EQ(fade->state(), Animation::Stopped);
    EXPECT_EQ(fade->targetItem(), nullptr);
    EXPECT_EQ(item->opacity(), 1.0);
    EXPECT_EQ(ZuItemAnimations::of(item.get()), std::vector<Animation*>{second});
    frame(500);
    EXPECT_EQ(item->opacity(), 0.0);
    ZuDeferredDeleteQueue::instance()->flush();
    EXPECT_TRUE(fadeRef.isNull()) << "fades delete themselves";
    EXPECT_TRUE(ZuItemAnimations::of(item.get()).empty());
}

TEST_F(AnimationClock, TargetDestroyedWhileRunning) {
    auto* item = new ZuGraphicsItem;
    ZuPropertyAnimation* fade = fadeOpacity(item, 0.0, 1.0, 1000);
    ZuWeakRef fadeRef(fade);
    ZuPropertyAnimation kept;
    kept.setTargetItem(item);
    kept.setPropertyName("opacity");
    kept.setStartValue(0.0);
    kept.setEndValue(0.5);
    kept.start();
    frame(100);
    delete item;
    EXPECT_EQ(kept.state(), Animation::Stopped) << "the item stops its animations as it goes";
    EXPECT_EQ(kept.targetItem(), nullptr);
    EXPECT_TRUE(driver()->running().empty());
    frame(100);
    frame(100);
    EXPECT_TRUE(timersIdle());
    ZuDeferredDeleteQueue::instance()->flush();
    EXPECT_TRUE(fadeRef.isNull());

    // A target that goes while the animation is stopped: nothing is written.
    auto* gone = new ZuGraphicsItem;
    kept.setTargetItem(gone);
    delete gone;
    kept.setEndValue(0.7);
    kept.start();
    frame(300);
    EXPECT_EQ(kept.state(), Animation::Stopped);
}
