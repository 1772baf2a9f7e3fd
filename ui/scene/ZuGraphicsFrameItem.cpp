#include "ui/scene/ZuGraphicsFrameItem.h"

ZU_DEFINE_CLASS(ZuGraphicsFrameItem, ZuGraphicsItem, 0)

ZuGraphicsFrameItem::ZuGraphicsFrameItem(ZuGraphicsItem* parent, ZuGraphicsScene* scene)
    : ZuGraphicsItem(parent, scene) {}

void ZuGraphicsFrameItem::setPressed(bool on) {
    if (m_pressed != on) {
        m_pressed = on;
        update();
    }
}
void ZuGraphicsFrameItem::setHovered(bool on) {
    if (m_hovered != on) {
        m_hovered = on;
        update();
    }
}
void ZuGraphicsFrameItem::setFocusFrame(bool on) {
    if (m_focused != on) {
        m_focused = on;
        update();
    }
}
