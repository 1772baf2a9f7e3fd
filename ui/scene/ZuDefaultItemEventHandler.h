#pragma once

#include "ui/scene/ZuEventHandler.h"

class ZuMouseEvent;
class ZuKeyEvent;
class ZuCharEvent;
class ZuHoverEvent;
class ZuFocusEvent;
class ZuSceneDragEvent;

// Dispatches an unaccepted event to one virtual slot per event type. Hover
// and focus changes repaint the item without accepting.
class ZuDefaultItemEventHandler : public ZuItemEventHandler {
    ZU_DECLARE_CLASS(ZuDefaultItemEventHandler)
public:
    explicit ZuDefaultItemEventHandler(ZuGraphicsItem* item = nullptr) : ZuItemEventHandler(item) {}
    void handleEvent(ZuSceneEvent* event) override;

    virtual void mouseDown(ZuMouseEvent*) {}
    virtual void mouseUp(ZuMouseEvent*) {}
    virtual void mouseWheel(ZuMouseEvent*) {}
    virtual void mouseMove(ZuMouseEvent*) {}
    virtual void mouseDbClick(ZuMouseEvent*) {}
    virtual void mouseClicked(ZuMouseEvent*) {}
    virtual void keyDown(ZuKeyEvent*) {}
    virtual void keyUp(ZuKeyEvent*) {}
    virtual void charEvent(ZuCharEvent*) {}
    virtual void hoverEnter(ZuHoverEvent* event);
    virtual void hoverLeave(ZuHoverEvent* event);
    virtual void focusIn(ZuFocusEvent* event);
    virtual void focusOut(ZuFocusEvent* event);
    virtual void dragStart(ZuSceneDragEvent*) {}
    virtual void dragMove(ZuSceneDragEvent*) {}
    virtual void dragEnd(ZuSceneDragEvent*) {}
};
