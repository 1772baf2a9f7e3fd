#include "ui/scene/ZuGraphicsView.h"

#include "ui/core/ZuDebugOutput.h"
#include "ui/scene/ZuDefaultViewEventHandler.h"
#include "ui/scene/ZuEventDispatcher.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuSceneEvent.h"
#include "ui/scene/ZuScenePainting.h"

#include <algorithm>
#include <cmath>
#include <string>

ZU_DEFINE_CLASS(ZuGraphicsView, ZuRttiObject, 0)

namespace {
ZuGraphicsView::WindowDeleter g_windowDeleter = nullptr;

bool differs(const ZuRectF& a, const ZuRectF& b) {
    return std::fabs(a.x - b.x) > 1e-12 || std::fabs(a.y - b.y) > 1e-12 ||
           std::fabs(a.width - b.width) > 1e-12 || std::fabs(a.height - b.height) > 1e-12;
}
bool isEmpty(const RECT& r) {
    return r.right < r.left || r.bottom < r.top;
}
std::wstring edges(const RECT& r) {
    return L"( " + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L", " +
           std::to_wstring(r.right) + L", " + std::to_wstring(r.bottom) + L")";
}
} // namespace

ZuGraphicsView::ZuGraphicsView(ZuGraphicsScene* scene, ZuObject* owner, ZuWindow* window) : ZuObject(owner) {
    m_window = window;
    m_handler = new ZuDefaultViewEventHandler(this);
    setScene(scene);
}

ZuGraphicsView::~ZuGraphicsView() {
    setScene(nullptr);
    delete m_handler;
    m_handler = nullptr;
    if ((m_flags & OwnsWindow) && m_window && g_windowDeleter)
        g_windowDeleter(m_window);
    m_window = nullptr;
}

void ZuGraphicsView::setScene(ZuGraphicsScene* scene) {
    if (scene == m_scene)
        return;
    if (m_scene)
        m_scene->removeView(this);
    m_scene = scene;
    if (m_scene)
        m_scene->addView(this);
    if (auto* handler = zu_cast<ZuDefaultViewEventHandler>(m_handler))
        handler->attachScene(m_scene);
}

void ZuGraphicsView::setWindow(ZuWindow* window, bool owns) {
    if ((m_flags & OwnsWindow) && m_window && m_window != window && g_windowDeleter)
        g_windowDeleter(m_window);
    m_window = window;
    m_flags = owns ? (m_flags | OwnsWindow) : (m_flags & ~OwnsWindow);
}

void ZuGraphicsView::setWindowDeleter(WindowDeleter deleter) {
    g_windowDeleter = deleter;
}

void ZuGraphicsView::setEventHandler(ZuViewEventHandler* handler) {
    if (handler == m_handler)
        return;
    delete m_handler;
    m_handler = handler;
    if (auto* defaults = zu_cast<ZuDefaultViewEventHandler>(m_handler))
        defaults->attachScene(m_scene);
}

bool ZuGraphicsView::sendEvent(ZuSceneEvent* event) {
    return ZuEventDispatcher::instance()->sendToView(this, event);
}

bool ZuGraphicsView::sendEventTo(ZuGraphicsItem* target, ZuSceneEvent* event) {
    if (!event)
        return false;
    event->setExplicitTarget(target);
    return sendEvent(event);
}

void ZuGraphicsView::setSceneRect(const ZuRectF& rect) {
    if (!differs(rect, m_sceneRect))
        return;
    m_sceneRect = rect;
    recomputeMatrices();
}

void ZuGraphicsView::setViewport(const ZuRectF& rect) {
    if (!differs(rect, m_viewport))
        return;
    m_viewport = rect;
    recomputeMatrices();
}

void ZuGraphicsView::recomputeMatrices() {
    // View coordinates are window pixels; the scene rectangle is fitted into
    // the viewport with the smaller of the two axis ratios.
    m_flags &= ~(WindowMapIdentity | SceneMapIdentity);
    double sx = m_sceneRect.width > 0 && m_viewport.width > 0 ? m_viewport.width / m_sceneRect.width : 1;
    double sy = m_sceneRect.height > 0 && m_viewport.height > 0 ? m_viewport.height / m_sceneRect.height : 1;
    if (m_aspectMode == 1)
        sx = sy = std::min(sx, sy);
    else if (m_aspectMode == 2)
        sx = sy = std::max(sx, sy);
    m_scaleX = sx;
    m_scaleY = sy;
    m_dx = m_viewport.x - m_sceneRect.x * sx;
    m_dy = m_viewport.y - m_sceneRect.y * sy;
}

ZuPointF ZuGraphicsView::mapToScene(const ZuPointF& p) const {
    if ((m_flags & WindowMapIdentity) && (m_flags & SceneMapIdentity))
        return p;
    return {(p.x - m_dx) / m_scaleX, (p.y - m_dy) / m_scaleY};
}

ZuPointF ZuGraphicsView::mapFromScene(const ZuPointF& p) const {
    if ((m_flags & WindowMapIdentity) && (m_flags & SceneMapIdentity))
        return p;
    return {p.x * m_scaleX + m_dx, p.y * m_scaleY + m_dy};
}

ZuRectF ZuGraphicsView::mapToScene(const ZuRectF& r) const {
    ZuPointF a = mapToScene(ZuPointF{r.x, r.y}), b = mapToScene(ZuPointF{r.x + r.width, r.y + r.height});
    return {a.x, a.y, b.x - a.x, b.y - a.y};
}

ZuRectF ZuGraphicsView::mapFromScene(const ZuRectF& r) const {
    ZuPointF a = mapFromScene(ZuPointF{r.x, r.y}), b = mapFromScene(ZuPointF{r.x + r.width, r.y + r.height});
    return {a.x, a.y, b.x - a.x, b.y - a.y};
}

void ZuGraphicsView::invalidateWindow(const RECT& rect) {
    if (m_invalidator)
        m_invalidator(ZuRect{rect.left, rect.top, rect.right - rect.left + 1, rect.bottom - rect.top + 1});
}

void ZuGraphicsView::updateScene(const std::vector<ZuRectF>& rects) {
    if ((m_flags & FullRepaintPending) || m_updateMode == NoUpdate)
        return;
    RECT viewport{LONG(std::floor(m_viewport.x)), LONG(std::floor(m_viewport.y)),
                  LONG(std::ceil(m_viewport.x + m_viewport.width)) - 1,
                  LONG(std::ceil(m_viewport.y + m_viewport.height)) - 1};
    bool anyViewport = m_viewport.width > 0 && m_viewport.height > 0;
    for (const ZuRectF& rect : rects) {
        ZuRectF v = mapFromScene(rect);
        RECT r{LONG(std::floor(v.x)), LONG(std::floor(v.y)), LONG(std::ceil(v.x + v.width)) - 1,
               LONG(std::ceil(v.y + v.height)) - 1};
        if (isEmpty(r))
            continue;
        if (anyViewport) {
            RECT clipped{std::max(r.left, viewport.left), std::max(r.top, viewport.top),
                         std::min(r.right, viewport.right), std::min(r.bottom, viewport.bottom)};
            if (isEmpty(clipped))
                continue;
        }
        m_dirtyViewRects.push_back(r);
    }
    if (m_dirtyViewRects.empty())
        return;
    if (m_updateMode == FullUpdate) {
        m_flags |= FullRepaintPending;
        m_dirtyViewRects.clear();
        invalidateWindow(anyViewport ? viewport : RECT{0, 0, -1, -1});
        return;
    }
    if (m_updateMode == BoundingRectUpdate || (m_updateMode == SmartUpdate && m_dirtyViewRects.size() > 49)) {
        RECT united = m_pendingUpdate;
        for (const RECT& r : m_dirtyViewRects) {
            if (isEmpty(united)) {
                united = r;
                continue;
            }
            united = {std::min(united.left, r.left), std::min(united.top, r.top),
                      std::max(united.right, r.right), std::max(united.bottom, r.bottom)};
        }
        m_dirtyViewRects.clear();
        m_pendingUpdate = united;
        invalidateWindow(united);
    }
}

void ZuGraphicsView::drawViewPort(ZuPainter* painter, const ZuRectF& exposedRect) {
    if (!m_scene)
        return;
    ZuRectF exposed = exposedRect;
    bool whole = exposed.width <= 0 || exposed.height <= 0;
    RECT exposedEdges{LONG(std::floor(exposed.x)), LONG(std::floor(exposed.y)),
                      LONG(std::ceil(exposed.x + exposed.width)) - 1,
                      LONG(std::ceil(exposed.y + exposed.height)) - 1};
    if (!isEmpty(m_pendingUpdate) && !whole) {
        const RECT& p = m_pendingUpdate;
        bool same = p.left == exposedEdges.left && p.top == exposedEdges.top &&
                    p.right == exposedEdges.right && p.bottom == exposedEdges.bottom;
        bool inside = exposedEdges.left >= p.left && exposedEdges.top >= p.top &&
                      exposedEdges.right <= p.right && exposedEdges.bottom <= p.bottom;
        if (!same && inside) {
            zuDebugLine((L"ZuGraphicsView::drawViewPort hi jack upateRect: " + edges(exposedEdges) + L" to " +
                         edges(p))
                            .c_str());
            exposed = {double(p.left), double(p.top), double(p.right - p.left + 1),
                       double(p.bottom - p.top + 1)};
        }
    }
    m_flags &= ~FullRepaintPending;
    m_pendingUpdate = {0, 0, -1, -1};
    if (whole) {
        ZuRectF sceneRect = m_scene->sceneRect();
        exposed = m_viewport.width > 0 && m_viewport.height > 0 ? m_viewport : mapFromScene(sceneRect);
    }
    if (!whole) {
        ZuScenePainting::save(painter);
        ZuScenePainting::setTranslation(painter, ZuPointF{0, 0});
        ZuScenePainting::clipTo(painter, exposed, false);
    }
    ZuPointF offset = mapFromScene(ZuPointF{0, 0});
    m_scene->drawItems(painter, offset, mapToScene(exposed));
    if (!whole)
        ZuScenePainting::restore(painter);
}
