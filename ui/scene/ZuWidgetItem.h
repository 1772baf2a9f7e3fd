#pragma once

#include "ui/scene/ZuDefaultItemEventHandler.h"
#include "ui/scene/ZuGraphicsFrameItem.h"

class ZuEventSignalDispatch;
class ZuWidgetItem;

// The base of all widgets: a background frame item that fills it, click
// focus, the left button, and a handler that first emits every event on the
// widget's signals.
class ZuWidgetItem : public ZuGraphicsItem {
    ZU_DECLARE_CLASS(ZuWidgetItem)
public:
    enum WindowDragMode : int { BlocksWindowDrag = 0, DragsWindow = 1, DefersToParent = 2 };

    explicit ZuWidgetItem(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr);

    // Created on first call.
    virtual ZuEventSignalDispatch* signals();
    ZuGraphicsFrameItem* background() const { return m_background; }
    int windowDragMode() const { return m_windowDragMode; }
    void setWindowDragMode(int mode) { m_windowDragMode = mode; }
    void registerClassProperties() const override;
    void itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue) override;

private:
    int m_windowDragMode = BlocksWindowDrag;
    ZuGraphicsFrameItem* m_background = nullptr;
};

class ZuWidgetEventHandler : public ZuDefaultItemEventHandler {
    ZU_DECLARE_CLASS(ZuWidgetEventHandler)
public:
    explicit ZuWidgetEventHandler(ZuWidgetItem* widget = nullptr, ZuGraphicsFrameItem* background = nullptr);
    ~ZuWidgetEventHandler() override;

    ZuWidgetItem* widget() const { return m_widget; }
    ZuGraphicsFrameItem* background() const { return m_background; }
    ZuEventSignalDispatch* signals(); // created on first call
    ZuEventSignalDispatch* existingSignals() const { return m_signals; }

    void handleEvent(ZuSceneEvent* event) override;
    void mouseDown(ZuMouseEvent* event) override;
    void mouseUp(ZuMouseEvent* event) override;
    void hoverEnter(ZuHoverEvent* event) override;
    void hoverLeave(ZuHoverEvent* event) override;
    void focusIn(ZuFocusEvent* event) override;
    void focusOut(ZuFocusEvent* event) override;
    void dragStart(ZuSceneDragEvent* event) override;
    void dragMove(ZuSceneDragEvent* event) override;

private:
    ZuWidgetItem* m_widget;
    ZuGraphicsFrameItem* m_background;
    ZuEventSignalDispatch* m_signals = nullptr;
};
