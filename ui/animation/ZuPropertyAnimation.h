#pragma once

#include "ui/animation/ZuVariantAnimation.h"
#include "ui/core/ZuWeakRef.h"

#include <string>

class ZuGraphicsItem;

// Writes the animated value into a named property of a target item. The
// target is held weakly: once the item is gone nothing is written.
class ZuPropertyAnimation : public ZuVariantAnimation {
    ZU_DECLARE_CLASS(ZuPropertyAnimation)
public:
    explicit ZuPropertyAnimation(ZuObject* owner = nullptr) : ZuVariantAnimation(owner) {}

    // Attaches this animation to the item's animation list.
    void setTargetItem(ZuGraphicsItem* item);
    ZuGraphicsItem* targetItem() const;
    void setPropertyName(const char* name) { m_propertyName = name ? name : ""; }
    const std::string& propertyName() const { return m_propertyName; }

    void updateCurrentValue(const ZuVariant& value) override;
    void itemAttached(ZuGraphicsItem* item) override;
    void itemDetached(ZuGraphicsItem* item) override;

private:
    ZuWeakRef m_target;
    std::string m_propertyName;
};

// Stops every animation of the item and fades its "opacity" from `from` to
// `to` (in-out quadratic); the animation deletes itself when it stops.
ZuPropertyAnimation* fadeOpacity(ZuGraphicsItem* item, double from, double to, int durationMs);
