#pragma once

#include "ui/scene/ZuGraphicsItem.h"

// The background of a widget: it carries the widget's pressed, hover and
// focus states; the widgets module draws its state pictures.
class ZuGraphicsFrameItem : public ZuGraphicsItem {
    ZU_DECLARE_CLASS(ZuGraphicsFrameItem)
public:
    explicit ZuGraphicsFrameItem(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr);

    bool isPressed() const { return m_pressed; }
    bool isHovered() const { return m_hovered; }
    bool hasFocusFrame() const { return m_focused; }
    virtual void setPressed(bool on);
    virtual void setHovered(bool on);
    virtual void setFocusFrame(bool on);

private:
    bool m_pressed = false;
    bool m_hovered = false;
    bool m_focused = false;
};
