#pragma once

#include "ui/scene/ZuSceneEvent.h"

// Hover events reach only items that accept hover; explicit targets only.
class ZuHoverEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuHoverEvent)
public:
    bool acceptsItem(ZuGraphicsItem* item) const override;
};
class ZuHoverEnterEvent : public ZuHoverEvent {
    ZU_DECLARE_CLASS(ZuHoverEnterEvent)
};
class ZuHoverGainEvent : public ZuHoverEvent {
    ZU_DECLARE_CLASS(ZuHoverGainEvent)
};
class ZuHoverLeaveEvent : public ZuHoverEvent {
    ZU_DECLARE_CLASS(ZuHoverLeaveEvent)
};

// Focus events reach focusable items; explicit targets only.
class ZuFocusEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuFocusEvent)
public:
    explicit ZuFocusEvent(int reason = 7) : reason(reason) {}
    int reason;
    bool acceptsItem(ZuGraphicsItem* item) const override;
};
class ZuFocusInEvent : public ZuFocusEvent {
    ZU_DECLARE_CLASS(ZuFocusInEvent)
public:
    using ZuFocusEvent::ZuFocusEvent;
};
class ZuFocusOutEvent : public ZuFocusEvent {
    ZU_DECLARE_CLASS(ZuFocusOutEvent)
public:
    using ZuFocusEvent::ZuFocusEvent;
};
class ZuFocusGainEvent : public ZuFocusEvent {
    ZU_DECLARE_CLASS(ZuFocusGainEvent)
public:
    using ZuFocusEvent::ZuFocusEvent;
};
