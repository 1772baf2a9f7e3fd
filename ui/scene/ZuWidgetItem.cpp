#include "ui/scene/ZuWidgetItem.h"

#include "ui/core/ZuEventSignalDispatch.h"
#include "ui/core/ZuWeakRef.h"
#include "ui/scene/ZuDragEvents.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuMouseEvents.h"

ZU_DEFINE_CLASS(ZuWidgetItem, ZuGraphicsItem, ZU_TAG('W', 'T', 'I', 'M'))
ZU_DEFINE_CLASS(ZuWidgetEventHandler, ZuDefaultItemEventHandler, 0)

ZuWidgetItem::ZuWidgetItem(ZuGraphicsItem* parent, ZuGraphicsScene* scene) : ZuGraphicsItem(parent, scene) {
    setItemFlag(Focusable | AcceptsHover | StopsClickFocus | BlocksMouse | ChildrenInside | HasNoContents,
                true);
    setFocusPolicy(ClickFocus);
    setAcceptedMouseButtons(LeftButton | RightButton | MiddleButton, false);
    setAcceptedMouseButtons(LeftButton, true);
    m_background = new ZuGraphicsFrameItem(this);
    if (m_background)
        m_background->setObjectName(L"background");
    setEventHandler(new ZuWidgetEventHandler(this, m_background));
    setItemFlag(WidgetFlag, true);
}

ZuEventSignalDispatch* ZuWidgetItem::signals() {
    auto* handler = zu_cast<ZuWidgetEventHandler>(eventHandler());
    return handler ? handler->signals() : nullptr;
}

void ZuWidgetItem::registerClassProperties() const {
    ZuGraphicsItem::registerClassProperties();
}

void ZuWidgetItem::itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue) {
    // The background fills the widget.
    if (change == GeometryChange && m_background && !(state() & BeingDestroyed)) {
        ZuRectF bounds = boundingRect();
        m_background->setGeometry(bounds);
    }
    ZuGraphicsItem::itemChanged(change, newValue, oldValue);
}

ZuWidgetEventHandler::ZuWidgetEventHandler(ZuWidgetItem* widget, ZuGraphicsFrameItem* background)
    : ZuDefaultItemEventHandler(widget), m_widget(widget), m_background(background) {}

ZuWidgetEventHandler::~ZuWidgetEventHandler() {
    delete m_signals;
}

ZuEventSignalDispatch* ZuWidgetEventHandler::signals() {
    if (!m_signals)
        m_signals = new ZuEventSignalDispatch(m_widget);
    return m_signals;
}

void ZuWidgetEventHandler::handleEvent(ZuSceneEvent* event) {
    if (!event)
        return;
    if (m_signals) {
        ZuWeakRef self(this); // a connection may delete the widget, and this handler with it
        if (m_signals->emit(m_widget, event) || !self.get())
            return;
    }
    ZuDefaultItemEventHandler::handleEvent(event);
}

void ZuWidgetEventHandler::mouseDown(ZuMouseEvent*) {
    if (m_background)
        m_background->setPressed(true);
}

void ZuWidgetEventHandler::mouseUp(ZuMouseEvent*) {
    if (m_background)
        m_background->setPressed(false);
}

void ZuWidgetEventHandler::hoverEnter(ZuHoverEvent* event) {
    ZuDefaultItemEventHandler::hoverEnter(event);
    if (m_background)
        m_background->setHovered(true);
}

void ZuWidgetEventHandler::hoverLeave(ZuHoverEvent* event) {
    ZuDefaultItemEventHandler::hoverLeave(event);
    if (m_background)
        m_background->setHovered(false);
}

void ZuWidgetEventHandler::focusIn(ZuFocusEvent* event) {
    ZuDefaultItemEventHandler::focusIn(event);
    if (m_background)
        m_background->setFocusFrame(true);
}

void ZuWidgetEventHandler::focusOut(ZuFocusEvent* event) {
    ZuDefaultItemEventHandler::focusOut(event);
    if (m_background)
        m_background->setFocusFrame(false);
}

void ZuWidgetEventHandler::dragStart(ZuSceneDragEvent* event) {
    if (event && m_widget && m_widget->hasItemFlag(ZuGraphicsItem::Movable) && !event->dragItem())
        event->setDragItem(m_widget);
}

void ZuWidgetEventHandler::dragMove(ZuSceneDragEvent* event) {
    auto* move = zu_cast<ZuDragMoveEvent>(event);
    if (move && m_widget && m_widget->hasItemFlag(ZuGraphicsItem::Movable)) {
        ZuPointF pos = m_widget->pos();
        m_widget->setPos(pos.x + move->delta.x, pos.y + move->delta.y);
    }
}
