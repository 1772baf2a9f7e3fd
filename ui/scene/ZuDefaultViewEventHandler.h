#pragma once

#include "ui/scene/ZuEventHandler.h"
#include "ui/scene/ZuGraphicsScene.h"

#include <vector>

class ZuMouseEvent;
class ZuKeyEvent;
class ZuCharEvent;
class ZuHoverEvent;
class ZuResizeEvent;
class ZuPaintEvent;
class ZuUpdateHoverEvent;

// Hover tracking, click focus, Tab traversal, resizing and painting.
class ZuDefaultViewEventHandler : public ZuViewEventHandler, public ZuSceneObserver {
    ZU_DECLARE_CLASS(ZuDefaultViewEventHandler)
public:
    explicit ZuDefaultViewEventHandler(ZuGraphicsView* view = nullptr);
    ~ZuDefaultViewEventHandler() override;
    void handleEvent(ZuSceneEvent* event) override;

    virtual void mousePress(ZuMouseEvent* event);
    virtual void mouseRelease(ZuMouseEvent* event);
    virtual void mouseWheel(ZuMouseEvent*) {}
    virtual void mouseMove(ZuMouseEvent* event);
    virtual void keyDown(ZuKeyEvent* event);
    virtual void keyUp(ZuKeyEvent*) {}
    virtual void charEvent(ZuCharEvent*) {}
    virtual void hoverEnter(ZuHoverEvent* event);
    virtual void hoverGain(ZuHoverEvent* event);
    virtual void hoverLeave(ZuHoverEvent* event);
    virtual void resize(ZuResizeEvent* event);
    virtual void paint(ZuPaintEvent* event);
    virtual void updateHover(ZuUpdateHoverEvent* event);

    void sceneChanged(int code, ZuGraphicsScene* scene, ZuGraphicsItem* item) override;
    const std::vector<ZuGraphicsItem*>& hoverStack() const { return m_hoverStack; }
    // The view's scene changed: observe the new one.
    void attachScene(ZuGraphicsScene* scene);

private:
    void hoverUpdate(ZuMouseEvent* event);
    void clickFocus(ZuMouseEvent* event);
    const std::vector<ZuGraphicsItem*>& itemsUnderMouse(ZuMouseEvent* event);

    ZuGraphicsScene* m_observed = nullptr;
    std::vector<ZuGraphicsItem*> m_underMouse;
    bool m_underMouseValid = false;
    std::vector<ZuGraphicsItem*> m_hoverStack;
    unsigned long long m_hoverTime = 0;
};
