#include "ui/scene/ZuDefaultSceneEventHandler.h"

#include "ui/scene/ZuDragEvents.h"
#include "ui/scene/ZuEventDispatcher.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuKeyEvents.h"
#include "ui/scene/ZuMouseEvents.h"
#include "ui/scene/ZuWinEvents.h"

ZU_DEFINE_CLASS(ZuDefaultSceneEventHandler, ZuSceneEventHandler, 0)

void ZuDefaultSceneEventHandler::handleEvent(ZuSceneEvent* event) {
    const ZuClassRecord* type = event->eventType();
    if (type == ZuMouseDownEvent::staticRecord())
        mousePress(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuMouseUpEvent::staticRecord())
        mouseRelease(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuMouseMoveEvent::staticRecord())
        mouseMove(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuMouseWheelEvent::staticRecord())
        mouseWheel(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuKeyDownEvent::staticRecord())
        keyDown(static_cast<ZuKeyEvent*>(event));
    else if (type == ZuKeyUpEvent::staticRecord())
        keyUp(static_cast<ZuKeyEvent*>(event));
    else if (type == ZuCharEvent::staticRecord())
        charEvent(static_cast<ZuCharEvent*>(event));
    else if (type == ZuHoverEnterEvent::staticRecord())
        hoverEnter(static_cast<ZuHoverEvent*>(event));
    else if (type == ZuHoverGainEvent::staticRecord())
        hoverGain(static_cast<ZuHoverEvent*>(event));
    else if (type == ZuHoverLeaveEvent::staticRecord())
        hoverLeave(static_cast<ZuHoverEvent*>(event));
    else if (type == ZuEventAcceptedEvent::staticRecord())
        eventAccepted(static_cast<ZuEventAcceptedEvent*>(event));
    else if (type == ZuResizeEvent::staticRecord())
        resize(static_cast<ZuResizeEvent*>(event));
}

void ZuDefaultSceneEventHandler::releaseImplicitGrabs() {
    ZuGraphicsScene* s = scene();
    if (!s)
        return;
    while (m_implicitGrabs > 0 && s->mouseGrabber() && s->topGrabIsImplicit()) {
        s->ungrabMouse(s->mouseGrabber());
        --m_implicitGrabs;
    }
    m_implicitGrabs = 0;
}

void ZuDefaultSceneEventHandler::mousePress(ZuMouseEvent* event) {
    ZuGraphicsScene* s = scene();
    if (!s)
        return;
    releaseImplicitGrabs();
    ZuGraphicsItem* target = event->findTarget(s);
    s->setSpecialItem(ZuGraphicsScene::PressedSlot, target);
    if (!target)
        return;
    if (target->hasItemFlag(ZuGraphicsItem::Movable)) {
        ZuDragStartEvent start;
        start.mouse.copyMouseData(*event);
        s->sendEventTo(target, &start);
        s->setSpecialItem(ZuGraphicsScene::DragSlot, start.dragItem());
    } else if ((target->acceptedMouseButtons() & event->buttons) &&
               (target->focusPolicy() & ZuGraphicsItem::ClickFocus)) {
        s->grabMouse(target, true);
        ++m_implicitGrabs;
    }
}

void ZuDefaultSceneEventHandler::mouseMove(ZuMouseEvent* event) {
    ZuGraphicsScene* s = scene();
    if (!s)
        return;
    auto* move = zu_cast<ZuMouseMoveEvent>(event);
    ZuGraphicsItem* drag = s->specialItem(ZuGraphicsScene::DragSlot);
    if (!drag || !move) {
        s->setSpecialItem(ZuGraphicsScene::DraggedSinceSlot, nullptr);
        return;
    }
    event->setExplicitTarget(drag);
    s->setSpecialItem(ZuGraphicsScene::DraggedSinceSlot, drag);
    ZuDragMoveEvent dragMove;
    dragMove.mouse.copyMouseData(*event);
    dragMove.setDragItem(drag);
    dragMove.scenePoint = event->scenePoint;
    dragMove.delta = move->delta;
    s->sendEventTo(drag, &dragMove);
}

void ZuDefaultSceneEventHandler::mouseRelease(ZuMouseEvent* event) {
    ZuGraphicsScene* s = scene();
    if (!s)
        return;
    ZuWeakRef sceneRef(s);
    if (ZuGraphicsItem* pressed = s->specialItem(ZuGraphicsScene::PressedSlot)) {
        ZuGraphicsItem* target = event->findTarget(s);
        // One press gives at most one click.
        s->setSpecialItem(ZuGraphicsScene::PressedSlot, nullptr);
        if (target == pressed) {
            // The release still reaches it once the implicit grab is gone.
            event->setExplicitTarget(pressed);
            ZuPointF local =
                pressed->mapFromScene(ZuPointF{double(event->scenePoint.x), double(event->scenePoint.y)});
            ZuRectF bounds = pressed->boundingRect();
            bool inside = local.x >= bounds.x && local.x < bounds.x + bounds.width && local.y >= bounds.y &&
                          local.y < bounds.y + bounds.height;
            if (inside && !s->specialItem(ZuGraphicsScene::DraggedSinceSlot)) {
                ZuMouseClickedEvent clicked;
                clicked.copyMouseData(*event);
                clicked.setClickedItem(pressed);
                clicked.setView(event->view());
                s->sendEvent(&clicked);
            }
        } else {
            ZuMouseUpEvent copy;
            copy.copyMouseData(*event);
            copy.setView(event->view());
            s->sendEventTo(pressed, &copy);
            event->accept();
        }
    }
    if (!sceneRef.get())
        return;
    if (ZuGraphicsItem* drag = s->specialItem(ZuGraphicsScene::DragSlot)) {
        event->setExplicitTarget(drag);
        s->setSpecialItem(ZuGraphicsScene::DragSlot, nullptr);
        ZuDragEndEvent end;
        end.mouse.copyMouseData(*event);
        end.setDragItem(drag);
        s->sendEventTo(drag, &end);
        ZuDragDropEvent drop;
        drop.copyMouseData(*event);
        drop.setDraggedItem(drag);
        s->sendEvent(&drop);
    }
    if (m_implicitGrabs > 0) {
        releaseImplicitGrabs();
        for (ZuGraphicsView* view : std::vector<ZuGraphicsView*>(s->views())) {
            ZuUpdateHoverEvent update(event);
            ZuEventDispatcher::instance()->sendToView(view, &update);
        }
    }
}

void ZuDefaultSceneEventHandler::eventAccepted(ZuEventAcceptedEvent* event) {
    ZuSceneEvent* accepted = event->acceptedEvent();
    ZuGraphicsScene* s = scene();
    if (s && accepted && accepted->eventType() == ZuMouseDownEvent::staticRecord())
        s->setSpecialItem(ZuGraphicsScene::PressedSlot, accepted->acceptingItem());
}
