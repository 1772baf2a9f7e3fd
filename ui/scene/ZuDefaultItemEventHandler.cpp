#include "ui/scene/ZuDefaultItemEventHandler.h"

#include "ui/scene/ZuDragEvents.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuKeyEvents.h"
#include "ui/scene/ZuMouseEvents.h"

ZU_DEFINE_CLASS(ZuDefaultItemEventHandler, ZuItemEventHandler, ZU_TAG('D', 'I', 'E', 'H'))

void ZuDefaultItemEventHandler::handleEvent(ZuSceneEvent* event) {
    if (!event || event->isAccepted())
        return;
    const ZuClassRecord* type = event->eventType();
    if (auto* mouse = zu_cast<ZuMouseEvent>(event)) {
        if (type == ZuMouseDownEvent::staticRecord())
            mouseDown(mouse);
        else if (type == ZuMouseUpEvent::staticRecord())
            mouseUp(mouse);
        else if (type == ZuMouseWheelEvent::staticRecord())
            mouseWheel(mouse);
        else if (type == ZuMouseMoveEvent::staticRecord())
            mouseMove(mouse);
        else if (type == ZuMouseDbClickEvent::staticRecord())
            mouseDbClick(mouse);
        else if (type == ZuMouseClickedEvent::staticRecord())
            mouseClicked(mouse);
    } else if (auto* key = zu_cast<ZuKeyEvent>(event)) {
        if (type == ZuKeyDownEvent::staticRecord())
            keyDown(key);
        else if (type == ZuKeyUpEvent::staticRecord())
            keyUp(key);
    } else if (auto* character = zu_cast<ZuCharEvent>(event)) {
        charEvent(character);
    } else if (auto* hover = zu_cast<ZuHoverEvent>(event)) {
        if (type == ZuHoverEnterEvent::staticRecord())
            hoverEnter(hover);
        else if (type == ZuHoverLeaveEvent::staticRecord())
            hoverLeave(hover);
    } else if (auto* focus = zu_cast<ZuFocusEvent>(event)) {
        if (type == ZuFocusInEvent::staticRecord())
            focusIn(focus);
        else if (type == ZuFocusOutEvent::staticRecord())
            focusOut(focus);
    } else if (auto* drag = zu_cast<ZuSceneDragEvent>(event)) {
        if (type == ZuDragStartEvent::staticRecord())
            dragStart(drag);
        else if (type == ZuDragMoveEvent::staticRecord())
            dragMove(drag);
        else if (type == ZuDragEndEvent::staticRecord())
            dragEnd(drag);
    }
}

void ZuDefaultItemEventHandler::hoverEnter(ZuHoverEvent*) {
    if (ZuGraphicsItem* owner = item())
        owner->update();
}
void ZuDefaultItemEventHandler::hoverLeave(ZuHoverEvent*) {
    if (ZuGraphicsItem* owner = item())
        owner->update();
}
void ZuDefaultItemEventHandler::focusIn(ZuFocusEvent*) {
    if (ZuGraphicsItem* owner = item())
        owner->update();
}
void ZuDefaultItemEventHandler::focusOut(ZuFocusEvent*) {
    if (ZuGraphicsItem* owner = item())
        owner->update();
}
