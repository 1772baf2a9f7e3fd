#pragma once

#include "ui/scene/ZuMouseEvents.h"

// Drag events reach only movable items; explicit targets only. The handler
// of the pressed item may name another item as the one to drag.
class ZuSceneDragEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuSceneDragEvent)
public:
    ZuGraphicsItem* dragItem() const;
    void setDragItem(ZuGraphicsItem* item);
    ZuMouseEvent mouse; // copied from the causing mouse event
    bool acceptsItem(ZuGraphicsItem* item) const override;

private:
    ZuWeakRef m_dragItem;
};
class ZuDragStartEvent : public ZuSceneDragEvent {
    ZU_DECLARE_CLASS(ZuDragStartEvent)
};
class ZuDragEndEvent : public ZuSceneDragEvent {
    ZU_DECLARE_CLASS(ZuDragEndEvent)
};
class ZuDragMoveEvent : public ZuSceneDragEvent {
    ZU_DECLARE_CLASS(ZuDragMoveEvent)
public:
    ZuPoint scenePoint;
    ZuPoint delta;
};
