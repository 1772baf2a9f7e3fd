#pragma once

#include "ui/scene/ZuSceneEvent.h"

#include <windows.h>

// Keys go to the keyboard grabber, else the explicit target, else the focus item.
class ZuKeyEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuKeyEvent)
public:
    enum Modifier : uint8_t { Shift = 0x1, Control = 0x2, Alt = 0x4 };

    // Reads the modifier keys' state now.
    explicit ZuKeyEvent(WPARAM key = 0, LPARAM lParam = 0);
    WPARAM key = 0;
    LPARAM lParam = 0;
    uint8_t modifiers = 0;

    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;
};

class ZuKeyDownEvent : public ZuKeyEvent {
    ZU_DECLARE_CLASS(ZuKeyDownEvent)
public:
    using ZuKeyEvent::ZuKeyEvent;
};

class ZuKeyUpEvent : public ZuKeyEvent {
    ZU_DECLARE_CLASS(ZuKeyUpEvent)
public:
    using ZuKeyEvent::ZuKeyEvent;
};

class ZuCharEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuCharEvent)
public:
    explicit ZuCharEvent(WPARAM character = 0, LPARAM lParam = 0) : character(character), lParam(lParam) {}
    WPARAM character;
    LPARAM lParam;

    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;
};
