#include "ui/animation/ZuPropertyAnimation.h"

#include "ui/animation/ZuItemAnimations.h"
#include "ui/scene/ZuGraphicsItem.h"

ZU_DEFINE_CLASS(ZuPropertyAnimation, ZuVariantAnimation, ZU_TAG('P', 'P', 'A', 'N'))

void ZuPropertyAnimation::setTargetItem(ZuGraphicsItem* item) {
    attachToItem(item);
}

ZuGraphicsItem* ZuPropertyAnimation::targetItem() const {
    return static_cast<ZuGraphicsItem*>(m_target.get());
}

void ZuPropertyAnimation::updateCurrentValue(const ZuVariant& value) {
    // A stopped animation writes too: setting the end value applies the
    // start value at once.
    if (ZuGraphicsItem* target = targetItem())
        target->setProperty(m_propertyName.c_str(), value);
}

void ZuPropertyAnimation::itemAttached(ZuGraphicsItem* item) {
    ZuVariantAnimation::itemAttached(item);
    m_target = item;
}

void ZuPropertyAnimation::itemDetached(ZuGraphicsItem* item) {
    if (targetItem() == item)
        m_target.reset();
}

ZuPropertyAnimation* fadeOpacity(ZuGraphicsItem* item, double from, double to, int durationMs) {
    if (!item)
        return nullptr;
    ZuItemAnimations::stopAndDetachAll(item);
    auto* fade = new ZuPropertyAnimation;
    if (!fade)
        return nullptr;
    fade->setTargetItem(item);
    fade->setPropertyName("opacity");
    fade->setStartValue(from);
    fade->setEndValue(to);
    fade->setEasingCurve(ZuEasingCurve(ZuEasingCurve::EaseInOutQuad));
    fade->setDuration(durationMs);
    fade->start(ZuAbstractAnimation::DeleteWhenStopped);
    return fade;
}
