#pragma once

#include "ui/scene/ZuSceneEvent.h"

#include <windows.h>

class ZuPainter;
class ZuWindow;

// Native-window events go to the explicit target, else the scene's frame window.
class ZuWinEventBase : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuWinEventBase)
public:
    HWND window = nullptr;
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
};
class ZuWinEvent : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuWinEvent)
};

class ZuResizeEvent : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuResizeEvent)
public:
    int sizeType = 0;
    double windowWidth = 0, windowHeight = 0, clientWidth = 0, clientHeight = 0;
    RECT windowRect{};
    bool acceptsItem(ZuGraphicsItem* item) const override;
};

class ZuMoveEvent : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuMoveEvent)
public:
    RECT windowRect{};
};

class ZuWinOnShowEvent : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuWinOnShowEvent)
public:
    ZuWeakRef nativeWindow;
    int showCommand = 1;
};

// Asks the first widget under the point for a hit-test code.
class ZuNcHitTestEvent : public ZuWinEvent {
    ZU_DECLARE_CLASS(ZuNcHitTestEvent)
public:
    RECT windowRect{};
    ZuPoint screenPoint, windowPoint, viewPoint, scenePoint, itemPoint;
    LRESULT result = HTNOWHERE;
    void prepareForView(ZuGraphicsView* view) override;
    void prepareForItem(ZuGraphicsItem* item) override;
    ZuGraphicsItem* findTarget(ZuGraphicsScene* scene) override;
    bool acceptsItem(ZuGraphicsItem* item) const override;
};

class ZuWinCommandEventBase : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuWinCommandEventBase)
public:
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 1;
};
class ZuWinCommandEvent : public ZuWinCommandEventBase {
    ZU_DECLARE_CLASS(ZuWinCommandEvent)
};
class ZuWinSysCommandEvent : public ZuWinCommandEventBase {
    ZU_DECLARE_CLASS(ZuWinSysCommandEvent)
};

// A posted message (WM_USER and above) for the frame window; accepting it
// makes the message handled with `result`.
class ZuWindowEvent : public ZuWinEventBase {
    ZU_DECLARE_CLASS(ZuWindowEvent)
public:
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};

class ZuPaintEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuPaintEvent)
public:
    ZuWeakRef nativeWindow;
    ZuRectF exposedRect; // empty: the whole window
    ZuPainter* painter = nullptr;
};

class ZuEraseBkgndEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuEraseBkgndEvent)
public:
    ZuWeakRef nativeWindow;
    ZuRectF rect;
};

class ZuMouseNcToClientEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuMouseNcToClientEvent)
};

class ZuMouseEvent;
// Asks the views to recompute hover, after a grab ended.
class ZuUpdateHoverEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuUpdateHoverEvent)
public:
    explicit ZuUpdateHoverEvent(ZuMouseEvent* cause = nullptr) : cause(cause) {}
    ZuMouseEvent* cause;
};

// Base of the events that widgets send about themselves.
class ZuWidgetEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuWidgetEvent)
};
