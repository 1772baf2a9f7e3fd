#pragma once

#include "ui/scene/ZuSceneEvent.h"

#include <windows.h>

// Mouse data in every coordinate system: window points come from the native
// message, the view point equals it, scene and item points are computed on
// the way (prepareForView, prepareForItem).
class ZuMouseEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuMouseEvent)
public:
    ZuPoint screenPoint;
    ZuPoint windowPoint;
    ZuPoint viewPoint;
    ZuPoint scenePoint;
    ZuPoint itemPoint;
    int buttons = 0;
    uint8_t flag = 0;
    uint8_t nonClient = 0;
    WPARAM nativeData = 0;

    // Copies the mouse data (not the routing state) of `other`.
    void copyMouseData(const ZuMouseEvent& other);
    void prepareForView(ZuGraphicsView* view) override;
    void prepareForItem(ZuGraphicsItem* item) override;
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;

protected:
    // Topmost item under the scene point that acceptsItem; ends after an item
    // that blocks the mouse.
    ZuGraphicsItem* searchAtPoint(ZuGraphicsScene* scene);
};

#define ZU_MOUSE_EVENT(Name)                                                                                 \
    class Name : public ZuMouseEvent {                                                                       \
        ZU_DECLARE_CLASS(Name)                                                                               \
    };
ZU_MOUSE_EVENT(ZuSceneMouseEvent)
ZU_MOUSE_EVENT(ZuMouseDownEvent)
ZU_MOUSE_EVENT(ZuMouseUpEvent)
ZU_MOUSE_EVENT(ZuMouseDbClickEvent)
ZU_MOUSE_EVENT(ZuMouseHoverEvent)
ZU_MOUSE_EVENT(ZuMouseLeaveEvent)
#undef ZU_MOUSE_EVENT

class ZuMouseMoveEvent : public ZuMouseEvent {
    ZU_DECLARE_CLASS(ZuMouseMoveEvent)
public:
    ZuPoint delta;
    // Grabber, else the deepest hovered item, else the item under the point.
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
};

class ZuMouseWheelEvent : public ZuMouseEvent {
    ZU_DECLARE_CLASS(ZuMouseWheelEvent)
public:
    int modifiers = 0;
    double wheelDelta = 0;
    // Grabber, else the focus item, wherever the pointer is.
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;
};

class ZuMouseClickedEvent : public ZuMouseEvent {
    ZU_DECLARE_CLASS(ZuMouseClickedEvent)
public:
    ZuGraphicsItem* clickedItem() const;
    void setClickedItem(ZuGraphicsItem* item);
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;

private:
    ZuWeakRef m_clicked;
};

class ZuDragDropEvent : public ZuMouseEvent {
    ZU_DECLARE_CLASS(ZuDragDropEvent)
public:
    ZuGraphicsItem* draggedItem() const;
    void setDraggedItem(ZuGraphicsItem* item);
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;

private:
    ZuWeakRef m_dragged;
};
