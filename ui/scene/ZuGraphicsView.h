#pragma once

#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuRttiObject.h"

#include <windows.h>

#include <functional>
#include <vector>

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuPainter;
class ZuSceneEvent;
class ZuViewEventHandler;
class ZuWindow;

// Shows a scene in one native window: maps window and scene coordinates,
// turns scene repaint requests into window invalidations and paints the
// exposed part.
class ZuGraphicsView : public ZuObject, public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuGraphicsView)
public:
    enum Flag : uint32_t {
        WindowMapIdentity = 0x1,
        SceneMapIdentity = 0x2,
        OwnsWindow = 0x4,
        FullRepaintPending = 0x8
    };
    enum UpdateMode : int {
        FullUpdate = 0,
        MinimalUpdate = 1,
        SmartUpdate = 2,
        NoUpdate = 3,
        BoundingRectUpdate = 4
    };
    // Invalidates a part of the native window (Part of the window module).
    using Invalidator = std::function<void(const ZuRect& rect)>;
    using WindowDeleter = void (*)(ZuWindow* window);

    explicit ZuGraphicsView(ZuGraphicsScene* scene = nullptr, ZuObject* owner = nullptr,
                            ZuWindow* window = nullptr);
    ~ZuGraphicsView() override;

    void setScene(ZuGraphicsScene* scene);
    ZuGraphicsScene* scene() const { return m_scene; }
    // With `owns`, the view deletes the window through the window module's deleter.
    void setWindow(ZuWindow* window, bool owns = false);
    ZuWindow* window() const { return m_window; }
    static void setWindowDeleter(WindowDeleter deleter);
    void setInvalidator(Invalidator invalidator) { m_invalidator = std::move(invalidator); }
    void setEventHandler(ZuViewEventHandler* handler);
    ZuViewEventHandler* eventHandler() const { return m_handler; }
    bool sendEvent(ZuSceneEvent* event);
    bool sendEventTo(ZuGraphicsItem* target, ZuSceneEvent* event);

    void setSceneRect(const ZuRectF& rect);
    void setViewport(const ZuRectF& rect);
    ZuRectF sceneRect() const { return m_sceneRect; }
    ZuRectF viewport() const { return m_viewport; }
    ZuPointF mapToScene(const ZuPointF& point) const;
    ZuPointF mapFromScene(const ZuPointF& point) const;
    ZuRectF mapToScene(const ZuRectF& rect) const;
    ZuRectF mapFromScene(const ZuRectF& rect) const;

    void updateScene(const std::vector<ZuRectF>& rects);
    void drawViewPort(ZuPainter* painter, const ZuRectF& exposedRect);
    // Left, top, right, bottom; (0, 0, -1, -1) when none is pending.
    RECT pendingUpdateRect() const { return m_pendingUpdate; }
    int updateMode() const { return m_updateMode; }
    uint32_t flags() const { return m_flags; }

private:
    void recomputeMatrices();
    void invalidateWindow(const RECT& rect);

    ZuGraphicsScene* m_scene = nullptr;
    ZuWindow* m_window = nullptr;
    ZuViewEventHandler* m_handler = nullptr;
    uint32_t m_flags = WindowMapIdentity | SceneMapIdentity;
    ZuRectF m_sceneRect;
    ZuRectF m_viewport;
    // Scale and offset per axis: window = view, view -> scene by these.
    double m_scaleX = 1, m_scaleY = 1, m_dx = 0, m_dy = 0;
    int m_aspectMode = 1;
    uint8_t m_background[4] = {0, 0, 0, 0};
    int m_updateMode = BoundingRectUpdate;
    RECT m_pendingUpdate = {0, 0, -1, -1};
    std::vector<RECT> m_dirtyViewRects;
    Invalidator m_invalidator;
};
