#include "ui/scene/ZuDefaultViewEventHandler.h"

#include "ui/core/ZuClock.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuKeyEvents.h"
#include "ui/scene/ZuMouseEvents.h"
#include "ui/scene/ZuWinEvents.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuDefaultViewEventHandler, ZuViewEventHandler, 0)

ZuDefaultViewEventHandler::ZuDefaultViewEventHandler(ZuGraphicsView* view) : ZuViewEventHandler(view) {
    if (view)
        attachScene(view->scene());
}

ZuDefaultViewEventHandler::~ZuDefaultViewEventHandler() {
    attachScene(nullptr);
}

void ZuDefaultViewEventHandler::attachScene(ZuGraphicsScene* scene) {
    if (scene == m_observed)
        return;
    if (m_observed)
        m_observed->removeObserver(this);
    m_observed = scene;
    m_hoverStack.clear();
    m_underMouse.clear();
    m_underMouseValid = false;
    if (m_observed)
        m_observed->addObserver(this);
}

void ZuDefaultViewEventHandler::sceneChanged(int code, ZuGraphicsScene*, ZuGraphicsItem* item) {
    if (code != AboutToRemove)
        return;
    std::erase(m_hoverStack, item);
    std::erase(m_underMouse, item);
}

void ZuDefaultViewEventHandler::handleEvent(ZuSceneEvent* event) {
    if (zu_cast<ZuMouseEvent>(event)) {
        m_underMouseValid = false;
        m_underMouse.clear();
        if (ZuGraphicsScene* scene = view() ? view()->scene() : nullptr)
            scene->invalidateItemsAtCache();
    }
    const ZuClassRecord* type = event->eventType();
    if (type == ZuMouseDownEvent::staticRecord())
        mousePress(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuMouseUpEvent::staticRecord())
        mouseRelease(static_cast<ZuMouseEvent*>(event));
    else if (type == ZuMouseMoveEvent::staticRecord())
        mouseMove(static_cast<ZuMouseEvent*>(event));
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
    else if (type == ZuResizeEvent::staticRecord())
        resize(static_cast<ZuResizeEvent*>(event));
    else if (type == ZuPaintEvent::staticRecord())
        paint(static_cast<ZuPaintEvent*>(event));
    else if (type == ZuUpdateHoverEvent::staticRecord())
        updateHover(static_cast<ZuUpdateHoverEvent*>(event));
}

const std::vector<ZuGraphicsItem*>& ZuDefaultViewEventHandler::itemsUnderMouse(ZuMouseEvent* event) {
    if (!m_underMouseValid) {
        m_underMouse.clear();
        ZuGraphicsView* v = view();
        if (v && v->scene()) {
            event->prepareForView(v);
            m_underMouse =
                v->scene()->itemsAt(ZuPointF{double(event->scenePoint.x), double(event->scenePoint.y)});
        }
        m_underMouseValid = true;
    }
    return m_underMouse;
}

void ZuDefaultViewEventHandler::mousePress(ZuMouseEvent* event) {
    hoverUpdate(event);
    clickFocus(event);
}

void ZuDefaultViewEventHandler::mouseRelease(ZuMouseEvent* event) {
    hoverUpdate(event);
}

void ZuDefaultViewEventHandler::mouseMove(ZuMouseEvent* event) {
    hoverUpdate(event);
}

namespace {
bool acceptsHover(const ZuGraphicsItem* item) {
    return item && item->hasItemFlag(ZuGraphicsItem::AcceptsHover);
}
} // namespace

void ZuDefaultViewEventHandler::hoverUpdate(ZuMouseEvent* event) {
    ZuGraphicsView* v = view();
    ZuGraphicsScene* scene = v ? v->scene() : nullptr;
    if (!scene || scene->mouseGrabber())
        return;
    const std::vector<ZuGraphicsItem*> under = itemsUnderMouse(event);
    ZuGraphicsItem* hover = nullptr;
    for (ZuGraphicsItem* item : under)
        if (acceptsHover(item)) {
            hover = item;
            break;
        }
    if (!hover && !under.empty())
        for (ZuGraphicsItem* up = under.front()->parentItem(); up && !hover; up = up->parentItem())
            if (acceptsHover(up))
                hover = up;

    ZuGraphicsItem* common = nullptr;
    int position = -1;
    if (hover && !m_hoverStack.empty()) {
        ZuGraphicsItem* ancestor = hover->commonAncestorItem(m_hoverStack.back());
        while (ancestor && !acceptsHover(ancestor))
            ancestor = ancestor->parentItem();
        if (ancestor && ancestor->topLevelItem() == hover->topLevelItem()) {
            common = ancestor;
            auto it = std::find(m_hoverStack.begin(), m_hoverStack.end(), common);
            position = it == m_hoverStack.end() ? -1 : int(it - m_hoverStack.begin());
            if (position < 0)
                common = nullptr;
        }
    }
    while (int(m_hoverStack.size()) > position + 1) {
        ZuGraphicsItem* leaving = m_hoverStack.back();
        m_hoverStack.pop_back();
        if (acceptsHover(leaving)) {
            ZuHoverLeaveEvent leave;
            v->sendEventTo(leaving, &leave);
            if (!view())
                return;
        }
    }
    if (!hover)
        return;
    std::vector<ZuGraphicsItem*> entering;
    for (ZuGraphicsItem* item = hover; item && item != common; item = item->parentItem())
        entering.push_back(item);
    ZuWeakRef viewRef(v);
    for (auto it = entering.rbegin(); it != entering.rend(); ++it) {
        ZuGraphicsItem* item = *it;
        m_hoverStack.push_back(item);
        if (acceptsHover(item)) {
            ZuHoverEnterEvent enter;
            v->sendEventTo(item, &enter);
            if (!viewRef.get())
                return;
        }
    }
}

void ZuDefaultViewEventHandler::clickFocus(ZuMouseEvent* event) {
    ZuGraphicsView* v = view();
    ZuGraphicsScene* scene = v ? v->scene() : nullptr;
    if (!scene || scene->mouseGrabber())
        return;
    const std::vector<ZuGraphicsItem*> under = itemsUnderMouse(event);
    for (ZuGraphicsItem* item : under) {
        if (item->hasItemFlag(ZuGraphicsItem::Focusable) && item->isEnabled() &&
            (item->focusPolicy() & ZuGraphicsItem::ClickFocus)) {
            if (!item->hasFocus())
                scene->setFocusItem(item, ZuGraphicsItem::MouseFocusReason);
            return;
        }
        if (item->hasItemFlag(ZuGraphicsItem::StopsClickFocus))
            break;
    }
    if (!(scene->flags() & ZuGraphicsScene::KeepFocus))
        scene->setFocusItem(nullptr, ZuGraphicsItem::MouseFocusReason);
}

void ZuDefaultViewEventHandler::keyDown(ZuKeyEvent* event) {
    ZuGraphicsView* v = view();
    ZuGraphicsScene* scene = v ? v->scene() : nullptr;
    if (!scene || scene->specialItem(ZuGraphicsScene::KeyboardGrabberSlot))
        return;
    ZuGraphicsItem* focus = scene->focusItem();
    if (focus && !focus->hasItemFlag(ZuGraphicsItem::ViewHandlesTab))
        return;
    if (event->key != VK_TAB || (event->modifiers & (ZuKeyEvent::Control | ZuKeyEvent::Alt)))
        return;
    if (scene->focusNextPrevChild(!(event->modifiers & ZuKeyEvent::Shift)))
        event->accept();
    else
        event->ignore();
}

void ZuDefaultViewEventHandler::hoverEnter(ZuHoverEvent* event) {
    if (ZuGraphicsScene* scene = view() ? view()->scene() : nullptr)
        scene->setSpecialItem(ZuGraphicsScene::HoverSlot, event->explicitTarget());
    m_hoverTime = monotonicMilliseconds();
}

void ZuDefaultViewEventHandler::hoverGain(ZuHoverEvent*) {
    m_hoverTime = monotonicMilliseconds();
}

void ZuDefaultViewEventHandler::hoverLeave(ZuHoverEvent* event) {
    ZuGraphicsView* v = view();
    ZuGraphicsScene* scene = v ? v->scene() : nullptr;
    if (!scene)
        return;
    // Route it first, so the item sees its leave before the slot moves on.
    ZuWeakRef self(this);
    if (ZuGraphicsItem* target = event->findTarget(scene)) {
        scene->sendEventTo(target, event);
    }
    if (!self.get())
        return;
    event->accept();
    scene->setSpecialItem(ZuGraphicsScene::HoverSlot, m_hoverStack.empty() ? nullptr : m_hoverStack.back());
    if (!m_hoverStack.empty())
        m_hoverTime = monotonicMilliseconds();
}

void ZuDefaultViewEventHandler::resize(ZuResizeEvent* event) {
    ZuGraphicsView* v = view();
    if (!v)
        return;
    ZuRectF client{0, 0, event->clientWidth, event->clientHeight};
    v->setSceneRect(client);
    v->setViewport(client);
    ZuWeakRef self(this);
    while (!m_hoverStack.empty()) {
        ZuGraphicsItem* leaving = m_hoverStack.back();
        m_hoverStack.pop_back();
        ZuHoverLeaveEvent leave;
        v->sendEventTo(leaving, &leave);
        if (!self.get())
            return;
    }
    if (ZuGraphicsScene* scene = v->scene())
        scene->clearFocus();
    m_hoverTime = 0;
}

void ZuDefaultViewEventHandler::paint(ZuPaintEvent* event) {
    if (ZuGraphicsView* v = view())
        v->drawViewPort(event->painter, event->exposedRect);
    event->accept();
}

void ZuDefaultViewEventHandler::updateHover(ZuUpdateHoverEvent* event) {
    if (event->cause) {
        m_underMouseValid = false;
        hoverUpdate(event->cause);
    }
    event->accept();
}
