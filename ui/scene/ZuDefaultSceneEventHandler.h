#pragma once

#include "ui/scene/ZuEventHandler.h"

class ZuMouseEvent;
class ZuKeyEvent;
class ZuCharEvent;
class ZuHoverEvent;
class ZuEventAcceptedEvent;
class ZuResizeEvent;

// Mouse grabbing, click synthesis and dragging. Apart from a release that it
// redirects to the pressed item it accepts nothing: events go on to their target.
class ZuDefaultSceneEventHandler : public ZuSceneEventHandler {
    ZU_DECLARE_CLASS(ZuDefaultSceneEventHandler)
public:
    using ZuSceneEventHandler::ZuSceneEventHandler;
    void handleEvent(ZuSceneEvent* event) override;

    virtual void mousePress(ZuMouseEvent* event);
    virtual void mouseRelease(ZuMouseEvent* event);
    virtual void mouseWheel(ZuMouseEvent*) {}
    virtual void mouseMove(ZuMouseEvent* event);
    virtual void keyDown(ZuKeyEvent*) {}
    virtual void keyUp(ZuKeyEvent*) {}
    virtual void charEvent(ZuCharEvent*) {}
    virtual void hoverEnter(ZuHoverEvent*) {}
    virtual void hoverGain(ZuHoverEvent*) {}
    virtual void hoverLeave(ZuHoverEvent*) {}
    virtual void eventAccepted(ZuEventAcceptedEvent* event);
    virtual void resize(ZuResizeEvent*) {}

    int implicitGrabs() const { return m_implicitGrabs; }

private:
    void releaseImplicitGrabs();
    int m_implicitGrabs = 0;
};
