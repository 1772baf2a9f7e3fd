#include "ui/scene/ZuDragEvents.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuKeyEvents.h"
#include "ui/scene/ZuMouseEvents.h"
#include "ui/scene/ZuWidgetItem.h"
#include "ui/scene/ZuWinEvents.h"

#include <cmath>

ZU_DEFINE_CLASS(ZuSceneEvent, ZuEvent, 0)
ZU_DEFINE_CLASS(ZuEventAcceptedEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuMouseEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuSceneMouseEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseDownEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseUpEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseDbClickEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseHoverEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseLeaveEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseMoveEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseWheelEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuMouseClickedEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuDragDropEvent, ZuMouseEvent, 0)
ZU_DEFINE_CLASS(ZuKeyEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuKeyDownEvent, ZuKeyEvent, 0)
ZU_DEFINE_CLASS(ZuKeyUpEvent, ZuKeyEvent, 0)
ZU_DEFINE_CLASS(ZuCharEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuHoverEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuHoverEnterEvent, ZuHoverEvent, 0)
ZU_DEFINE_CLASS(ZuHoverGainEvent, ZuHoverEvent, 0)
ZU_DEFINE_CLASS(ZuHoverLeaveEvent, ZuHoverEvent, 0)
ZU_DEFINE_CLASS(ZuFocusEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuFocusInEvent, ZuFocusEvent, 0)
ZU_DEFINE_CLASS(ZuFocusOutEvent, ZuFocusEvent, 0)
ZU_DEFINE_CLASS(ZuFocusGainEvent, ZuFocusEvent, 0)
ZU_DEFINE_CLASS(ZuSceneDragEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuDragStartEvent, ZuSceneDragEvent, 0)
ZU_DEFINE_CLASS(ZuDragEndEvent, ZuSceneDragEvent, 0)
ZU_DEFINE_CLASS(ZuDragMoveEvent, ZuSceneDragEvent, 0)
ZU_DEFINE_CLASS(ZuWinEventBase, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuWinEvent, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuResizeEvent, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuMoveEvent, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuWinOnShowEvent, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuNcHitTestEvent, ZuWinEvent, 0)
ZU_DEFINE_CLASS(ZuWinCommandEventBase, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuWinCommandEvent, ZuWinCommandEventBase, 0)
ZU_DEFINE_CLASS(ZuWinSysCommandEvent, ZuWinCommandEventBase, 0)
ZU_DEFINE_CLASS(ZuWindowEvent, ZuWinEventBase, 0)
ZU_DEFINE_CLASS(ZuPaintEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuEraseBkgndEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuMouseNcToClientEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuUpdateHoverEvent, ZuSceneEvent, 0)
ZU_DEFINE_CLASS(ZuWidgetEvent, ZuSceneEvent, 0)

namespace {
ZuGraphicsItem* asItem(ZuRttiObject* object) {
    return zu_cast<ZuGraphicsItem>(object);
}
bool hasFocusOrGrab(ZuGraphicsItem* item) {
    return item->hasFocus() || (item->scene() && item->scene()->mouseGrabber() == item);
}
ZuPoint rounded(const ZuPointF& p) {
    return {int32_t(std::lround(p.x)), int32_t(std::lround(p.y))};
}
} // namespace

// ZuSceneEvent ----------------------------------------------------------------

ZuGraphicsItem* ZuSceneEvent::explicitTarget() const {
    return asItem(target());
}
void ZuSceneEvent::setExplicitTarget(ZuGraphicsItem* item) {
    setTarget(item);
    m_searched = item != nullptr;
}
ZuGraphicsItem* ZuSceneEvent::acceptingItem() const {
    return asItem(m_acceptingItem.get());
}
void ZuSceneEvent::setAcceptingItem(ZuGraphicsItem* item) {
    m_acceptingItem = item;
}
ZuGraphicsView* ZuSceneEvent::view() const {
    return zu_cast<ZuGraphicsView>(m_view.get());
}
void ZuSceneEvent::setView(ZuGraphicsView* view) {
    m_view = static_cast<ZuRttiObject*>(view);
}

ZuGraphicsItem* ZuSceneEvent::findTarget(ZuGraphicsScene*) {
    return explicitTarget();
}

ZuGraphicsItem* ZuSceneEvent::routeInScene(ZuGraphicsView* view) {
    prepareForView(view);
    return view && view->scene() ? findTarget(view->scene()) : nullptr;
}

bool ZuSceneEvent::acceptsItem(ZuGraphicsItem*) const {
    return true;
}

ZuGraphicsItem* ZuSceneEvent::cacheSearch(ZuGraphicsItem* found) {
    m_searched = true;
    if (found)
        setTarget(found);
    return found;
}

// Mouse -----------------------------------------------------------------------

void ZuMouseEvent::copyMouseData(const ZuMouseEvent& other) {
    screenPoint = other.screenPoint;
    windowPoint = other.windowPoint;
    viewPoint = other.viewPoint;
    scenePoint = other.scenePoint;
    itemPoint = other.itemPoint;
    buttons = other.buttons;
    flag = other.flag;
    nonClient = other.nonClient;
    nativeData = other.nativeData;
}

void ZuMouseEvent::prepareForView(ZuGraphicsView* view) {
    if (view)
        scenePoint = rounded(view->mapToScene(ZuPointF{double(viewPoint.x), double(viewPoint.y)}));
}

void ZuMouseEvent::prepareForItem(ZuGraphicsItem* item) {
    if (item)
        itemPoint = rounded(item->mapFromScene(ZuPointF{double(scenePoint.x), double(scenePoint.y)}));
}

ZuGraphicsItem* ZuMouseEvent::searchAtPoint(ZuGraphicsScene* scene) {
    for (ZuGraphicsItem* item : scene->itemsAt(ZuPointF{double(scenePoint.x), double(scenePoint.y)})) {
        if (acceptsItem(item))
            return cacheSearch(item);
        if (item->hasItemFlag(ZuGraphicsItem::BlocksMouse))
            break;
    }
    return cacheSearch(nullptr);
}

ZuGraphicsItem* ZuMouseEvent::findTarget(ZuGraphicsScene* scene) {
    if (!scene)
        return nullptr;
    if (ZuGraphicsItem* grabber = scene->mouseGrabber())
        return grabber;
    if (searched() || explicitTarget())
        return explicitTarget();
    return searchAtPoint(scene);
}

bool ZuMouseEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && (buttons == 0 || (item->acceptedMouseButtons() & buttons) != 0);
}

ZuGraphicsItem* ZuMouseMoveEvent::findTarget(ZuGraphicsScene* scene) {
    if (!scene)
        return nullptr;
    if (ZuGraphicsItem* grabber = scene->mouseGrabber())
        return grabber;
    if (searched() || explicitTarget())
        return explicitTarget();
    if (ZuGraphicsItem* hovered = scene->specialItem(ZuGraphicsScene::HoverSlot))
        return cacheSearch(hovered);
    return searchAtPoint(scene);
}

ZuGraphicsItem* ZuMouseWheelEvent::findTarget(ZuGraphicsScene* scene) {
    if (!scene)
        return nullptr;
    if (ZuGraphicsItem* grabber = scene->mouseGrabber())
        return grabber;
    if (searched() || explicitTarget())
        return explicitTarget();
    return cacheSearch(scene->focusItem());
}

bool ZuMouseWheelEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item->hasItemFlag(ZuGraphicsItem::Focusable);
}

ZuGraphicsItem* ZuMouseClickedEvent::clickedItem() const {
    return asItem(m_clicked.get());
}
void ZuMouseClickedEvent::setClickedItem(ZuGraphicsItem* item) {
    m_clicked = item;
}
ZuGraphicsItem* ZuMouseClickedEvent::findTarget(ZuGraphicsScene*) {
    return clickedItem();
}

ZuGraphicsItem* ZuDragDropEvent::draggedItem() const {
    return asItem(m_dragged.get());
}
void ZuDragDropEvent::setDraggedItem(ZuGraphicsItem* item) {
    m_dragged = item;
}
ZuGraphicsItem* ZuDragDropEvent::findTarget(ZuGraphicsScene* scene) {
    if (searched() || explicitTarget())
        return explicitTarget();
    return scene ? searchAtPoint(scene) : nullptr;
}
bool ZuDragDropEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item != draggedItem() && item->hasItemFlag(ZuGraphicsItem::AcceptsDrops) &&
           item->isVisible() && item->isEnabled();
}

// Keys ------------------------------------------------------------------------

ZuKeyEvent::ZuKeyEvent(WPARAM key, LPARAM lParam) : key(key), lParam(lParam) {
    if (GetKeyState(VK_SHIFT) < 0)
        modifiers |= Shift;
    if (GetKeyState(VK_CONTROL) < 0)
        modifiers |= Control;
    if (GetKeyState(VK_MENU) < 0)
        modifiers |= Alt;
}

namespace {
ZuGraphicsItem* keyTarget(ZuSceneEvent* event, ZuGraphicsScene* scene) {
    if (!scene)
        return nullptr;
    if (ZuGraphicsItem* grabber = scene->specialItem(ZuGraphicsScene::KeyboardGrabberSlot))
        return grabber;
    if (ZuGraphicsItem* target = event->explicitTarget())
        return target;
    return scene->focusItem();
}
} // namespace

ZuGraphicsItem* ZuKeyEvent::findTarget(ZuGraphicsScene* scene) {
    return keyTarget(this, scene);
}
bool ZuKeyEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && hasFocusOrGrab(item);
}
ZuGraphicsItem* ZuCharEvent::findTarget(ZuGraphicsScene* scene) {
    return keyTarget(this, scene);
}
bool ZuCharEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && hasFocusOrGrab(item);
}

// Hover, focus, drag ------------------------------------------------------------

bool ZuHoverEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item->hasItemFlag(ZuGraphicsItem::AcceptsHover);
}
bool ZuFocusEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item->hasItemFlag(ZuGraphicsItem::Focusable);
}
ZuGraphicsItem* ZuSceneDragEvent::dragItem() const {
    return asItem(m_dragItem.get());
}
void ZuSceneDragEvent::setDragItem(ZuGraphicsItem* item) {
    m_dragItem = item;
}
bool ZuSceneDragEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item->hasItemFlag(ZuGraphicsItem::Movable);
}

// Native-window events ------------------------------------------------------------

ZuGraphicsItem* ZuWinEventBase::findTarget(ZuGraphicsScene* scene) {
    if (ZuGraphicsItem* target = explicitTarget())
        return target;
    ZuGraphicsItem* frame = scene ? scene->specialItem(ZuGraphicsScene::FrameWindowSlot) : nullptr;
    return frame && frame->inherits("ZuFrameWindow") ? frame : nullptr;
}

bool ZuResizeEvent::acceptsItem(ZuGraphicsItem* item) const {
    return item && item->isVisible();
}

void ZuNcHitTestEvent::prepareForView(ZuGraphicsView* view) {
    if (view)
        scenePoint = rounded(view->mapToScene(ZuPointF{double(viewPoint.x), double(viewPoint.y)}));
}
void ZuNcHitTestEvent::prepareForItem(ZuGraphicsItem* item) {
    if (item)
        itemPoint = rounded(item->mapFromScene(ZuPointF{double(scenePoint.x), double(scenePoint.y)}));
}
ZuGraphicsItem* ZuNcHitTestEvent::findTarget(ZuGraphicsScene* scene) {
    if (searched() || explicitTarget())
        return explicitTarget();
    if (!scene)
        return nullptr;
    for (ZuGraphicsItem* item : scene->itemsAt(ZuPointF{double(scenePoint.x), double(scenePoint.y)})) {
        if (acceptsItem(item))
            return cacheSearch(item);
        if (item->hasItemFlag(ZuGraphicsItem::BlocksMouse))
            break;
    }
    return cacheSearch(nullptr);
}
bool ZuNcHitTestEvent::acceptsItem(ZuGraphicsItem* item) const {
    return zu_cast<ZuWidgetItem>(item) != nullptr;
}
