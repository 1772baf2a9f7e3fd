#include "ui/scene/ZuGraphicsScene.h"

#include "ui/scene/ZuDefaultSceneEventHandler.h"
#include "ui/scene/ZuEventDispatcher.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsSceneIndex.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuHoverFocusEvents.h"
#include "ui/scene/ZuScenePainting.h"

#include <algorithm>
#include <cmath>

ZU_DEFINE_CLASS(ZuGraphicsScene, ZuRttiObject, 0)

namespace {
bool contains(const ZuRectF& outer, const ZuRectF& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}
ZuRectF unite(const ZuRectF& a, const ZuRectF& b) {
    if (a.width <= 0 && a.height <= 0)
        return b;
    if (b.width <= 0 && b.height <= 0)
        return a;
    double left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    double right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}
} // namespace

ZuGraphicsScene::ZuGraphicsScene(ZuObject* owner)
    : ZuObject(owner), m_index(new ZuGraphicsSceneLinearIndex(this)) {
    m_handler = new ZuDefaultSceneEventHandler(this);
    m_updateTimer.connectTimeout(this, &ZuGraphicsScene::updateTick);
}

ZuGraphicsScene::~ZuGraphicsScene() {
    m_updateTimer.disconnectTimeout(this, &ZuGraphicsScene::updateTick);
    m_updateTimer.stop();
    if (m_flags & OwnsTopLevelItems) {
        sortTopLevel();
        auto topLevel = m_topLevel;
        for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it)
            delete *it;
    }
    while (!m_topLevel.empty())
        removeItem(m_topLevel.back());
    for (ZuGraphicsItem* item : m_index->items())
        removeItem(item);
    delete m_index;
    m_index = nullptr;
    for (ZuGraphicsView* view : std::vector<ZuGraphicsView*>(m_views))
        view->setScene(nullptr);
    delete m_handler;
    m_handler = nullptr;
    m_observers.clear();
}

void ZuGraphicsScene::notify(int code, ZuGraphicsItem* item) {
    auto observers = m_observers;
    for (ZuSceneObserver* observer : observers)
        observer->sceneChanged(code, this, item);
}

void ZuGraphicsScene::addItem(ZuGraphicsItem* item) {
    if (!item || item->m_scene == this)
        return;
    notify(ZuSceneObserver::AboutToAdd, item);
    if (item->m_scene)
        item->m_scene->removeItem(item);
    if (!item->m_parent)
        addTopLevel(item);
    else if (item->m_parent->m_scene && item->m_parent->m_scene != this)
        item->setParentItem(nullptr);
    item->m_scene = this;
    item->markSubtree(ZuGraphicsItem::SceneTransformDirty);
    m_index->addItem(item);
    m_flags &= ~ItemsAtCacheValid;
    if (m_slots[TabChainStartSlot] && item->hasItemFlag(ZuGraphicsItem::Focusable))
        m_slots[TabChainStartSlot] = item;
    notify(ZuSceneObserver::Added, item);
    for (ZuGraphicsItem* child : std::vector<ZuGraphicsItem*>(item->m_children))
        addItem(child);
}

void ZuGraphicsScene::addTopLevel(ZuGraphicsItem* item) {
    if (std::find(m_topLevel.begin(), m_topLevel.end(), item) != m_topLevel.end())
        return;
    m_topLevel.push_back(item);
    item->m_index = m_nextInsertion++;
    m_flags |= TopLevelNeedsSorting;
    m_flags &= ~ItemsAtCacheValid;
    notify(ZuSceneObserver::TopLevelAdded, item);
}

void ZuGraphicsScene::removeTopLevel(ZuGraphicsItem* item) {
    auto it = std::find(m_topLevel.begin(), m_topLevel.end(), item);
    if (it == m_topLevel.end())
        return;
    m_topLevel.erase(it);
    m_flags &= ~ItemsAtCacheValid;
    notify(ZuSceneObserver::TopLevelRemoved, item);
}

void ZuGraphicsScene::dropFromBookkeeping(ZuGraphicsItem* item) {
    m_flags &= ~ItemsAtCacheValid;
    m_itemsAt.clear();
    std::erase(m_grabbers, item);
    if (std::erase(m_repaintQueue, item))
        item->m_state &= ~(ZuGraphicsItem::QueuedForRepaint | ZuGraphicsItem::GeometryChangePrepared |
                           ZuGraphicsItem::WholeItemDirty);
    for (ZuGraphicsItem*& slot : m_slots)
        if (slot == item)
            slot = nullptr;
    if (!m_slots[FocusSlot])
        m_flags &= ~Active;
}

void ZuGraphicsScene::removeItem(ZuGraphicsItem* item) {
    if (!item || item->m_scene != this)
        return;
    dropFromBookkeeping(item);
    notify(ZuSceneObserver::AboutToRemove, item);
    bool dying = item->m_state & ZuGraphicsItem::BeingDestroyed;
    if (dying)
        m_index->removeDyingItem(item);
    else
        m_index->removeItem(item);
    item->m_scene = nullptr;
    notify(ZuSceneObserver::Removed, item);
    if (!dying)
        for (ZuGraphicsItem* child : std::vector<ZuGraphicsItem*>(item->m_children))
            removeItem(child);
    if (!item->m_parent)
        removeTopLevel(item);
    else if (item->m_parent->m_scene == this)
        item->m_parent->removeChild(item), item->m_parent = nullptr;
}

std::vector<ZuGraphicsItem*> ZuGraphicsScene::items() const {
    return m_index ? m_index->items() : std::vector<ZuGraphicsItem*>{};
}

void ZuGraphicsScene::sortTopLevel() const {
    if (!(m_flags & TopLevelNeedsSorting))
        return;
    m_flags &= ~TopLevelNeedsSorting;
    // Descending by z, then by insertion, then handed out reversed: the
    // painting order is ascending and later insertions paint on top.
    std::sort(m_topLevel.begin(), m_topLevel.end(), [](const ZuGraphicsItem* a, const ZuGraphicsItem* b) {
        if (a->zValue() != b->zValue())
            return a->zValue() > b->zValue();
        return a->m_index > b->m_index;
    });
    std::reverse(m_topLevel.begin(), m_topLevel.end());
}

const std::vector<ZuGraphicsItem*>& ZuGraphicsScene::topLevelItems() const {
    sortTopLevel();
    return m_topLevel;
}

namespace {
void hitTest(ZuGraphicsItem* item, const ZuPointF& point, std::vector<ZuGraphicsItem*>& out) {
    if (!item->isVisible())
        return;
    ZuRectF scene = item->sceneBoundingRect();
    bool hit = point.x >= scene.x && point.x < scene.x + scene.width && point.y >= scene.y &&
               point.y < scene.y + scene.height;
    if (hit) {
        ZuPointF local = item->mapFromScene(point);
        ZuRectF bounds = item->boundingRect();
        hit = local.x >= bounds.x && local.x < bounds.x + bounds.width && local.y >= bounds.y &&
              local.y < bounds.y + bounds.height;
    }
    const auto& children = item->childItems();
    if (!children.empty() && (hit || !item->hasItemFlag(ZuGraphicsItem::ClipsChildren)))
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            hitTest(*it, point, out);
    if (hit)
        out.push_back(item);
}
} // namespace

const std::vector<ZuGraphicsItem*>& ZuGraphicsScene::itemsAt(const ZuPointF& point) const {
    if ((m_flags & ItemsAtCacheValid) && m_itemsAtPoint == point)
        return m_itemsAt;
    m_itemsAt.clear();
    const auto& topLevel = topLevelItems();
    for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it)
        hitTest(*it, point, m_itemsAt);
    m_itemsAtPoint = point;
    m_flags |= ItemsAtCacheValid;
    return m_itemsAt;
}

std::vector<ZuGraphicsItem*> ZuGraphicsScene::itemsIn(const ZuRectF& rect, int mode) const {
    return m_index ? m_index->itemsIn(rect, mode) : std::vector<ZuGraphicsItem*>{};
}

ZuRectF ZuGraphicsScene::sceneRect() const {
    if (m_flags & SceneRectSet)
        return m_sceneRect;
    ZuRectF united;
    for (ZuGraphicsItem* item : m_topLevel)
        united = unite(united, item->sceneBoundingRect());
    return united;
}

void ZuGraphicsScene::setSceneRect(const ZuRectF& rect) {
    m_sceneRect = rect;
    m_flags |= SceneRectSet;
}

// Focus ---------------------------------------------------------------------

void ZuGraphicsScene::setFocusItem(ZuGraphicsItem* item, int reason) {
    for (int guard = 0; item && item->focusProxy() && guard < 64; ++guard)
        item = item->focusProxy();
    if (item && (!item->hasItemFlag(ZuGraphicsItem::Focusable) || !item->isVisible() || !item->isEnabled()))
        item = nullptr;
    if (item == m_slots[FocusSlot] && (item == nullptr || isActive()))
        return;
    if (ZuGraphicsItem* old = m_slots[FocusSlot]) {
        m_flags &= ~Active;
        m_slots[LastFocusSlot] = old;
        m_slots[FocusSlot] = nullptr;
        ZuFocusOutEvent out(reason);
        sendEventTo(old, &out);
    }
    if (item && item->scene() == this) {
        m_flags |= Active;
        m_slots[FocusSlot] = item;
        ZuFocusInEvent in(reason);
        sendEventTo(item, &in);
    }
}

void ZuGraphicsScene::setFocus(int reason) {
    if (isActive())
        return;
    if (reason == ZuGraphicsItem::TabFocusReason || reason == ZuGraphicsItem::BacktabFocusReason)
        focusNextPrevChild(reason == ZuGraphicsItem::TabFocusReason);
    else if (m_slots[LastFocusSlot])
        setFocusItem(m_slots[LastFocusSlot], reason);
}

void ZuGraphicsScene::clearFocus() {
    if (isActive())
        setFocusItem(nullptr, ZuGraphicsItem::OtherFocusReason);
}

bool ZuGraphicsScene::focusNextPrevChild(bool next) {
    int reason = next ? ZuGraphicsItem::TabFocusReason : ZuGraphicsItem::BacktabFocusReason;
    ZuGraphicsItem* focus = m_slots[FocusSlot];
    if (!focus && m_slots[LastFocusSlot]) {
        setFocusItem(m_slots[LastFocusSlot], reason);
        return true;
    }
    ZuGraphicsItem* start = m_slots[TabChainStartSlot];
    if (!start)
        return false;
    ZuGraphicsItem* end = next ? start : start->previousInFocusChain();
    ZuGraphicsItem* first;
    if (focus) {
        first = next ? focus->nextInFocusChain() : focus->previousInFocusChain();
        if (first == end)
            return false;
    } else {
        first = next ? start : start->previousInFocusChain();
    }
    ZuGraphicsItem* candidate = first;
    for (int steps = 0; candidate && steps < 100000; ++steps) {
        bool fits = candidate->hasItemFlag(ZuGraphicsItem::Focusable) && candidate->isEnabled() &&
                    candidate->isVisibleTo(nullptr) &&
                    (candidate->focusPolicy() & ZuGraphicsItem::TabFocus) &&
                    (!focus || focus->isAncestorOf(candidate));
        if (fits) {
            setFocusItem(candidate, reason);
            return true;
        }
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (candidate == end || candidate == first)
            return false;
    }
    return false;
}

// Mouse grabs ---------------------------------------------------------------

void ZuGraphicsScene::grabMouse(ZuGraphicsItem* item, bool implicit) {
    if (!item)
        return;
    auto it = std::find(m_grabbers.begin(), m_grabbers.end(), item);
    if (it == m_grabbers.end()) {
        if (!m_grabbers.empty() && (m_flags & ImplicitGrab))
            m_grabbers.pop_back();
        m_grabbers.push_back(item);
        setFlag(ImplicitGrab, implicit);
    } else if (item == m_grabbers.back()) {
        m_flags &= ~ImplicitGrab;
    }
}

void ZuGraphicsScene::ungrabMouse(ZuGraphicsItem* item) {
    auto it = std::find(m_grabbers.begin(), m_grabbers.end(), item);
    if (it == m_grabbers.end())
        return;
    m_grabbers.erase(it, m_grabbers.end());
    m_flags &= ~ImplicitGrab;
}

// Repaint pipeline ------------------------------------------------------------

void ZuGraphicsScene::invalidate(const ZuRectF& rect) {
    if (rect.width <= 0 || rect.height <= 0 || (m_flags & WholeSceneDirty))
        return;
    ZuRectF whole = sceneRect();
    if (whole.width > 0 && whole.height > 0 && contains(rect, whole)) {
        m_flags |= WholeSceneDirty;
        return;
    }
    m_dirtyRects.push_back(rect);
    if (!m_updateTimer.isActive())
        m_updateTimer.start(kUpdateIntervalMs);
}

void ZuGraphicsScene::queueItemUpdate(ZuGraphicsItem* item, const ZuRectF&) {
    if (!item)
        return;
    if (std::find(m_repaintQueue.begin(), m_repaintQueue.end(), item) == m_repaintQueue.end())
        m_repaintQueue.push_back(item);
    if (!m_updateTimer.isActive())
        m_updateTimer.start(kUpdateIntervalMs);
}

void ZuGraphicsScene::updateTick() {
    if (m_flags & WholeSceneDirty)
        m_dirtyRects.push_back(sceneRect());
    m_flags &= ~WholeSceneDirty;
    m_updateTimer.stop();
    for (ZuGraphicsItem* item : m_repaintQueue)
        item->m_state &= ~(ZuGraphicsItem::QueuedForRepaint | ZuGraphicsItem::GeometryChangePrepared |
                           ZuGraphicsItem::WholeItemDirty);
    m_repaintQueue.clear();
    if (m_dirtyRects.empty())
        return;
    std::vector<ZuRectF> rects;
    rects.swap(m_dirtyRects);
    for (ZuGraphicsView* view : std::vector<ZuGraphicsView*>(m_views))
        view->updateScene(rects);
}

// Handlers, slots, observers, views ------------------------------------------------

void ZuGraphicsScene::setEventHandler(ZuSceneEventHandler* handler) {
    if (handler == m_handler)
        return;
    delete m_handler;
    m_handler = handler;
}

bool ZuGraphicsScene::sendEvent(ZuSceneEvent* event) {
    if (!event)
        return false;
    ZuEventDispatcher* dispatcher = ZuEventDispatcher::instance();
    if (dispatcher->sendToScene(this, event))
        return true;
    ZuGraphicsItem* target = event->findTarget(this);
    if (!target)
        return false;
    event->prepareForItem(target);
    return dispatcher->sendToItem(target, event);
}

bool ZuGraphicsScene::sendEventTo(ZuGraphicsItem* target, ZuSceneEvent* event) {
    if (!event)
        return false;
    event->setExplicitTarget(target);
    return sendEvent(event);
}

void ZuGraphicsScene::setSpecialItem(int slot, ZuGraphicsItem* item) {
    if (slot >= 0 && slot < SlotCount)
        m_slots[slot] = item;
}

ZuGraphicsItem* ZuGraphicsScene::specialItem(int slot) const {
    return slot >= 0 && slot < SlotCount ? m_slots[slot] : nullptr;
}

void ZuGraphicsScene::addObserver(ZuSceneObserver* observer) {
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void ZuGraphicsScene::removeObserver(ZuSceneObserver* observer) {
    std::erase(m_observers, observer);
}

void ZuGraphicsScene::addView(ZuGraphicsView* view) {
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void ZuGraphicsScene::removeView(ZuGraphicsView* view) {
    std::erase(m_views, view);
}

void ZuGraphicsScene::setFlag(uint32_t flag, bool on) {
    m_flags = on ? (m_flags | flag) : (m_flags & ~flag);
}

void ZuGraphicsScene::itemChanged(ZuGraphicsItem* item, int change, const ZuVariant& value) {
    m_flags &= ~ItemsAtCacheValid;
    if (m_index)
        m_index->itemChanged(item, change, value);
}

// Painting ------------------------------------------------------------------

void ZuGraphicsScene::drawItems(ZuPainter* painter, const ZuPointF& viewOffset, const ZuRectF& exposedRect) {
    ZuScenePainting::save(painter);
    for (ZuGraphicsItem* item : std::vector<ZuGraphicsItem*>(topLevelItems()))
        drawItem(painter, item, viewOffset, exposedRect, item->isEnabled() ? 1.0 : 0.0, true);
    ZuScenePainting::restore(painter);
}

namespace {
bool intersects(const ZuRectF& a, const ZuRectF& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}
} // namespace

void ZuGraphicsScene::drawItem(ZuPainter* painter, ZuGraphicsItem* item, const ZuPointF& viewOffset,
                               const ZuRectF& exposed, double inheritedOpacity, bool enabledChain) {
    if (!item->isVisible())
        return;
    ZuPointF offset = item->sceneTransform();
    offset = {offset.x + viewOffset.x, offset.y + viewOffset.y};
    ZuRectF sceneRect = item->sceneBoundingRect();
    bool exposedHit = intersects(sceneRect, exposed);
    bool paintsSelf = !item->hasItemFlag(ZuGraphicsItem::HasNoContents) && exposedHit;
    const auto& children = item->childItems();
    if (!paintsSelf && children.empty())
        return;
    double opacity = item->opacity() * inheritedOpacity;
    if (opacity <= 1e-12)
        return;
    bool chain = enabledChain && item->isEnabled();
    bool saved = false;
    if (paintsSelf) {
        ZuScenePainting::setTranslation(painter, offset);
        if (item->hasItemFlag(ZuGraphicsItem::ClipsToShape)) {
            ZuScenePainting::save(painter);
            saved = true;
            ZuScenePainting::clipTo(painter, item->clipRect(), true);
        }
        if (std::fabs(opacity - 1.0) <= 1e-12 && chain)
            item->paint(painter, nullptr);
        else
            ZuScenePainting::paintThroughLayer(painter, item, opacity, chain);
    }
    bool keepsInside = item->hasItemFlag(ZuGraphicsItem::ChildrenInside);
    bool clipsChildren = item->hasItemFlag(ZuGraphicsItem::ClipsChildren);
    if (!children.empty() && ((!keepsInside && !clipsChildren) || exposedHit)) {
        if (clipsChildren) {
            if (!saved) {
                ZuScenePainting::save(painter);
                saved = true;
            }
            ZuScenePainting::setTranslation(painter, offset);
            ZuScenePainting::clipTo(painter, item->clipRect(), true);
        } else if (saved) {
            ZuScenePainting::restore(painter);
            saved = false;
        }
        for (ZuGraphicsItem* child : std::vector<ZuGraphicsItem*>(children))
            drawItem(painter, child, viewOffset, exposed, opacity, chain);
    }
    if (saved)
        ZuScenePainting::restore(painter);
}
