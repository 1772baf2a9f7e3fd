#include "ui/scene/ZuGraphicsItem.h"

#include "ui/core/ZuDeferredDeleteQueue.h"
#include "ui/core/ZuPropertyRegistry.h"
#include "ui/scene/ZuEventDispatcher.h"
#include "ui/scene/ZuEventHandler.h"
#include "ui/scene/ZuGraphicsScene.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_map>

ZU_DEFINE_CLASS(ZuGraphicsItem, ZuRttiObject, ZU_TAG('I', 'T', 'E', 'M'))

namespace {

constexpr double kEpsilon = 1e-12;

bool closeTo(double a, double b) {
    return std::fabs(a - b) <= kEpsilon;
}
bool nearRect(const ZuRectF& a, const ZuRectF& b) {
    return closeTo(a.x, b.x) && closeTo(a.y, b.y) && closeTo(a.width, b.width) && closeTo(a.height, b.height);
}
bool isEmptyRect(const ZuRectF& r) {
    return std::fabs(r.width) <= kEpsilon && std::fabs(r.height) <= kEpsilon;
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
ZuRectF moved(const ZuRectF& r, const ZuPointF& by) {
    return {r.x + by.x, r.y + by.y, r.width, r.height};
}

std::atomic<uint32_t> g_nextId{1};

std::unordered_map<uint32_t, ZuGraphicsItem*>& liveItems() {
    static auto* items = new std::unordered_map<uint32_t, ZuGraphicsItem*>;
    return *items;
}

// Equal z when the difference is at most 1e-12 times the smaller magnitude.
bool zEqual(double a, double b) {
    return std::fabs(a - b) <= kEpsilon * std::min(std::fabs(a), std::fabs(b));
}

} // namespace

ZuGraphicsItem::ZuGraphicsItem(ZuGraphicsItem* parent, ZuGraphicsScene* scene) : m_id(g_nextId++) {
    liveItems()[m_id] = this;
    setAcceptedMouseButtons(LeftButton | RightButton | MiddleButton, true);
    if (parent)
        setParentItem(parent);
    else if (scene)
        scene->addItem(this);
}

ZuGraphicsItem::~ZuGraphicsItem() {
    m_state |= BeingDestroyed;
    for (ZuGraphicsItem* user : m_proxyUsers)
        user->m_focusProxy = nullptr;
    m_proxyUsers.clear();
    if (m_focusProxy)
        std::erase(m_focusProxy->m_proxyUsers, this);
    m_focusProxy = nullptr;
    notifyListeners(ItemDestroyed, ZuVariant(static_cast<ZuRttiObject*>(this)), ZuVariant());
    while (!m_children.empty()) {
        ZuGraphicsItem* child = m_children.back();
        delete child; // detaches itself from this item
        if (!m_children.empty() && m_children.back() == child)
            m_children.pop_back();
    }
    if (m_scene)
        m_scene->removeItem(this);
    else if (m_parent)
        m_parent->removeChild(this);
    if (m_parent)
        m_parent->removeChild(this);
    delete m_handler;
    m_handler = nullptr;
    auto listeners = m_listeners;
    m_listeners.clear();
    for (ZuItemChangeListener* listener : listeners)
        listener->detached(this);
    delete m_anchors;
    liveItems().erase(m_id);
}

ZuGraphicsItem* ZuGraphicsItem::itemById(uint32_t id) {
    auto it = liveItems().find(id);
    return it == liveItems().end() ? nullptr : it->second;
}

ZuRectF ZuGraphicsItem::clipRect() const {
    if (m_clipRect.width > 0 && m_clipRect.height > 0)
        return m_clipRect;
    return boundingRect();
}

void ZuGraphicsItem::setClipRect(const ZuRectF& rect) {
    if (nearRect(rect, m_clipRect))
        return;
    prepareGeometryChange();
    m_clipRect = rect;
    update(rect);
}

void ZuGraphicsItem::paint(ZuPainter*, const void*) {}

ZuString ZuGraphicsItem::objectPath() const {
    if (!m_parent)
        return m_objectName;
    ZuString path = m_parent->objectPath();
    path.append(L".");
    path.append(m_objectName);
    return path;
}

ZuVariant ZuGraphicsItem::itemChange(int, const ZuVariant& value) {
    return value;
}

void ZuGraphicsItem::itemChanged(int change, const ZuVariant& newValue, const ZuVariant&) {
    if (m_scene)
        m_scene->itemChanged(this, change, newValue);
}

namespace {
void setOpacityProperty(ZuRttiObject* object, const ZuVariant& value) {
    static_cast<ZuGraphicsItem*>(object)->setOpacity(value.toDouble());
}
ZuVariant opacityProperty(const ZuRttiObject* object) {
    return ZuVariant(static_cast<const ZuGraphicsItem*>(object)->opacity());
}
} // namespace

void ZuGraphicsItem::registerClassProperties() const {
    static const bool registered =
        ZuPropertyRegistry::instance()->registerProperty("opacity", {&setOpacityProperty, &opacityProperty});
    (void)registered;
}

void ZuGraphicsItem::setProperty(const char* name, const ZuVariant& value) {
    registerClassProperties();
    auto* registry = ZuPropertyRegistry::instance();
    if (registry->hasClassProperty(name))
        registry->setClassProperty(this, name, value);
    else
        m_properties[name] = value;
}

ZuVariant ZuGraphicsItem::property(const char* name) const {
    registerClassProperties();
    auto* registry = ZuPropertyRegistry::instance();
    if (registry->hasClassProperty(name))
        return registry->classProperty(this, name);
    auto it = m_properties.find(name);
    return it == m_properties.end() ? ZuVariant() : it->second;
}

bool ZuGraphicsItem::hasProperty(const char* name) const {
    registerClassProperties();
    return ZuPropertyRegistry::instance()->hasClassProperty(name) || m_properties.count(name) > 0;
}

// Tree ----------------------------------------------------------------------

void ZuGraphicsItem::setParentItem(ZuGraphicsItem* parent) {
    if (parent == m_parent || parent == this)
        return;
    for (ZuGraphicsItem* up = parent; up; up = up->m_parent)
        if (up == this)
            return; // a descendant cannot own its ancestor
    prepareGeometryChange();
    ZuGraphicsItem* oldParent = m_parent;
    if (m_scene && !(m_state & BeingDestroyed)) {
        if (!parent)
            m_scene->addTopLevel(this);
        else if (!m_parent)
            m_scene->removeTopLevel(this);
    }
    if (oldParent)
        oldParent->removeChild(this);
    m_parent = parent;
    if (parent) {
        if (!parent->m_scene && m_scene)
            m_scene->removeItem(this);
        else if (parent->m_scene && parent->m_scene != m_scene)
            parent->m_scene->addItem(this);
        parent->addChild(this);
    }
    invalidateDepth();
    itemChanged(ParentChange, ZuVariant(static_cast<ZuRttiObject*>(parent)),
                ZuVariant(static_cast<ZuRttiObject*>(oldParent)));
    update();
}

void ZuGraphicsItem::addChild(ZuGraphicsItem* child) {
    child->m_index = m_children.empty() ? 0 : m_children.back()->m_index + 1;
    m_children.push_back(child);
    ZuVariant value(static_cast<ZuRttiObject*>(child));
    itemChange(ChildAdded, value);
    itemChanged(ChildAdded, value, ZuVariant());
    markChildrenRectDirtyUp();
    child->markSubtree(SceneTransformDirty | StackingDirty);
    markUp(ChildrenNeedSorting);
}

void ZuGraphicsItem::removeChild(ZuGraphicsItem* child) {
    auto it = std::find(m_children.begin(), m_children.end(), child);
    if (it == m_children.end())
        return;
    m_children.erase(it);
    child->m_index = -1;
    if (child->m_parent == this && (child->m_state & BeingDestroyed))
        child->m_parent = nullptr;
    ZuVariant value(static_cast<ZuRttiObject*>(child));
    itemChange(ChildRemoved, value);
    itemChanged(ChildRemoved, value, ZuVariant());
    markChildrenRectDirtyUp();
    child->markSubtree(SceneTransformDirty | StackingDirty);
}

ZuGraphicsItem* ZuGraphicsItem::topLevelItem() const {
    const ZuGraphicsItem* item = this;
    while (item->m_parent)
        item = item->m_parent;
    return const_cast<ZuGraphicsItem*>(item);
}

void ZuGraphicsItem::sortChildren() const {
    if (!(m_state & ChildrenNeedSorting))
        return;
    m_state &= ~ChildrenNeedSorting;
    std::sort(m_children.begin(), m_children.end(),
              [](const ZuGraphicsItem* a, const ZuGraphicsItem* b) { return a->m_index < b->m_index; });
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->m_index = int(i);
    std::sort(m_children.begin(), m_children.end(), [](const ZuGraphicsItem* a, const ZuGraphicsItem* b) {
        if (!zEqual(a->m_z, b->m_z))
            return a->m_z < b->m_z;
        return a->m_index < b->m_index;
    });
}

const std::vector<ZuGraphicsItem*>& ZuGraphicsItem::childItems() const {
    sortChildren();
    return m_children;
}

int ZuGraphicsItem::depth() const {
    if (m_depth < 0)
        m_depth = m_parent ? m_parent->depth() + 1 : 0;
    return m_depth;
}

void ZuGraphicsItem::invalidateDepth() {
    m_depth = -1;
    for (ZuGraphicsItem* child : m_children)
        child->invalidateDepth();
}

bool ZuGraphicsItem::isAncestorOf(const ZuGraphicsItem* item) const {
    for (const ZuGraphicsItem* up = item ? item->m_parent : nullptr; up; up = up->m_parent)
        if (up == this)
            return true;
    return false;
}

ZuGraphicsItem* ZuGraphicsItem::commonAncestorItem(const ZuGraphicsItem* item) const {
    if (!item)
        return nullptr;
    for (const ZuGraphicsItem* up = this; up; up = up->m_parent)
        if (up == item || up->isAncestorOf(item))
            return const_cast<ZuGraphicsItem*>(up);
    return nullptr;
}

void ZuGraphicsItem::markChildrenRectDirtyUp() {
    for (ZuGraphicsItem* up = this; up; up = up->m_parent)
        up->m_state |= ChildrenRectDirty;
}

void ZuGraphicsItem::markSubtree(uint32_t bits) {
    m_state |= bits;
    for (ZuGraphicsItem* child : m_children)
        child->markSubtree(bits);
}

void ZuGraphicsItem::markUp(uint32_t bits) {
    for (ZuGraphicsItem* up = this; up; up = up->m_parent)
        up->m_state |= bits;
}

// Geometry ------------------------------------------------------------------

void ZuGraphicsItem::notifyListeners(uint32_t maskBit, const ZuVariant& newValue, const ZuVariant& oldValue) {
    if (m_listeners.empty())
        return;
    auto listeners = m_listeners; // a listener may remove itself
    for (ZuItemChangeListener* listener : listeners)
        if (listener->mask() & maskBit)
            listener->itemNotify(maskBit, this, newValue, oldValue);
}

void ZuGraphicsItem::notifyGeometry(const ZuRectF& oldGeometry) {
    ZuVariant newValue(geometry()), oldValue(oldGeometry);
    notifyListeners(GeometryChanged, newValue, oldValue);
    itemChange(GeometryChange, newValue);
    itemChanged(GeometryChange, newValue, oldValue);
}

void ZuGraphicsItem::setPos(const ZuPointF& pos) {
    if ((closeTo(pos.x, m_pos.x) && closeTo(pos.y, m_pos.y)) || (m_state & BeingDestroyed))
        return;
    prepareGeometryChange();
    ZuRectF oldGeometry = geometry();
    ZuPointF oldPos = m_pos;
    m_pos = pos;
    if (m_parent)
        m_parent->markChildrenRectDirtyUp();
    markSubtree(SceneTransformDirty);
    if (!(m_state & InGeometryChange))
        notifyGeometry(oldGeometry);
    notifyListeners(PositionChanged, ZuVariant(m_pos), ZuVariant(oldPos));
    itemChanged(PositionChange, ZuVariant(m_pos), ZuVariant(oldPos));
    update();
}

void ZuGraphicsItem::setRectInternal(const ZuRectF& rect) {
    if (nearRect(rect, m_rect))
        return;
    prepareGeometryChange();
    ZuRectF oldGeometry = geometry();
    m_rect = rect;
    markChildrenRectDirtyUp();
    if (!(m_state & InGeometryChange))
        notifyGeometry(oldGeometry);
    update();
}

void ZuGraphicsItem::setGeometry(const ZuRectF& rect) {
    bool nested = m_state & InGeometryChange;
    ZuRectF oldGeometry = geometry();
    m_state |= InGeometryChange;
    setPos(rect.x, rect.y);
    setRectInternal({0, 0, rect.width, rect.height});
    if (!nested) {
        m_state &= ~InGeometryChange;
        notifyGeometry(oldGeometry);
    }
}

void ZuGraphicsItem::setWidth(double width) {
    setRectInternal({m_rect.x, m_rect.y, width, m_rect.height});
}
void ZuGraphicsItem::setHeight(double height) {
    setRectInternal({m_rect.x, m_rect.y, m_rect.width, height});
}
void ZuGraphicsItem::resize(double width, double height) {
    setRectInternal({m_rect.x, m_rect.y, width, height});
}

ZuRectF ZuGraphicsItem::geometry() const {
    return moved(boundingRect(), m_pos);
}

ZuPointF ZuGraphicsItem::sceneTransform() const {
    if (m_state & SceneTransformDirty) {
        ZuPointF offset = m_pos;
        if (m_parent) {
            ZuPointF up = m_parent->sceneTransform();
            offset = {offset.x + up.x, offset.y + up.y};
        }
        m_sceneOffset = offset;
        m_state &= ~SceneTransformDirty;
    }
    return m_sceneOffset;
}

ZuRectF ZuGraphicsItem::sceneBoundingRect() const {
    return moved(boundingRect(), sceneTransform());
}

ZuRectF ZuGraphicsItem::childrenBoundingRect() const {
    if (m_state & ChildrenRectDirty) {
        ZuRectF united;
        for (const ZuGraphicsItem* child : m_children)
            united = unite(united,
                           moved(unite(child->childrenBoundingRect(), child->boundingRect()), child->m_pos));
        m_childrenRect = united;
        m_state &= ~ChildrenRectDirty;
    }
    return m_childrenRect;
}

ZuPointF ZuGraphicsItem::mapToParent(const ZuPointF& p) const {
    return {p.x + m_pos.x, p.y + m_pos.y};
}
ZuRectF ZuGraphicsItem::mapToParent(const ZuRectF& r) const {
    return moved(r, m_pos);
}
ZuPointF ZuGraphicsItem::mapToScene(const ZuPointF& p) const {
    ZuPointF o = sceneTransform();
    return {p.x + o.x, p.y + o.y};
}
ZuRectF ZuGraphicsItem::mapToScene(const ZuRectF& r) const {
    return moved(r, sceneTransform());
}
std::vector<ZuPointF> ZuGraphicsItem::mapToScene(const std::vector<ZuPointF>& polygon) const {
    std::vector<ZuPointF> out;
    out.reserve(polygon.size());
    for (const ZuPointF& p : polygon)
        out.push_back(mapToScene(p));
    return out;
}
ZuPointF ZuGraphicsItem::mapFromScene(const ZuPointF& p) const {
    ZuPointF o = sceneTransform();
    return {p.x - o.x, p.y - o.y};
}
ZuRectF ZuGraphicsItem::mapFromScene(const ZuRectF& r) const {
    ZuPointF o = sceneTransform();
    return moved(r, {-o.x, -o.y});
}
std::vector<ZuPointF> ZuGraphicsItem::mapFromScene(const std::vector<ZuPointF>& polygon) const {
    std::vector<ZuPointF> out;
    out.reserve(polygon.size());
    for (const ZuPointF& p : polygon)
        out.push_back(mapFromScene(p));
    return out;
}

// Stacking and appearance ----------------------------------------------------

void ZuGraphicsItem::setZValue(double z) {
    if (z == m_z)
        return;
    double old = m_z;
    m_z = z;
    markSubtree(StackingDirty);
    markUp(ChildrenNeedSorting);
    if (!m_parent && m_scene)
        m_scene->markTopLevelUnsorted();
    itemChanged(ZValueChange, ZuVariant(z), ZuVariant(old));
    update();
}

void ZuGraphicsItem::setOpacity(double opacity) {
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    update();
}

void ZuGraphicsItem::setVisible(bool on) {
    if (isVisible() == on)
        return;
    // Repaint the area it leaves as well as the one it appears in.
    update();
    setState(Visible, on);
    notifyListeners(VisibilityChanged, ZuVariant(on), ZuVariant(!on));
    update();
}

bool ZuGraphicsItem::isVisibleTo(const ZuGraphicsItem* ancestor) const {
    for (const ZuGraphicsItem* item = this; item; item = item->m_parent) {
        if (!item->isVisible())
            return false;
        if (item == ancestor)
            return true;
    }
    return ancestor == nullptr;
}

void ZuGraphicsItem::setEnabled(bool on) {
    if (isEnabled() == on)
        return;
    setState(Enabled, on);
    update();
    if (m_handler)
        m_handler->setEnabled(on);
}

void ZuGraphicsItem::setItemFlag(uint32_t flag, bool on) {
    uint32_t old = m_flags;
    m_flags = on ? (m_flags | flag) : (m_flags & ~flag);
    itemChanged(FlagsChange, ZuVariant(m_flags), ZuVariant(old));
}

void ZuGraphicsItem::setAcceptedMouseButtons(int buttons, bool on) {
    uint32_t bits = (uint32_t(buttons) << MouseButtonsShift) & MouseButtonsMask;
    setState(bits, on);
}

// Focus ---------------------------------------------------------------------

void ZuGraphicsItem::setFocus() {
    if (m_scene)
        m_scene->setFocusItem(this, OtherFocusReason);
}

bool ZuGraphicsItem::hasFocus() const {
    if (!m_scene || !m_scene->isActive())
        return false;
    ZuGraphicsItem* focus = m_scene->focusItem();
    return focus && (focus == this || focus == m_focusProxy);
}

void ZuGraphicsItem::setFocusProxy(ZuGraphicsItem* item) {
    if (item == this || item == m_focusProxy)
        return;
    if (item && item->m_scene != m_scene)
        return;
    for (ZuGraphicsItem* p = item; p; p = p->m_focusProxy)
        if (p == this)
            return; // a loop
    if (m_focusProxy)
        std::erase(m_focusProxy->m_proxyUsers, this);
    m_focusProxy = item;
    if (item)
        item->m_proxyUsers.push_back(this);
}

// Events, listeners, repaint -------------------------------------------------

void ZuGraphicsItem::setEventHandler(ZuItemEventHandler* handler) {
    if (handler == m_handler)
        return;
    delete m_handler;
    m_handler = handler;
    if (m_handler)
        m_handler->setEnabled(isEnabled());
}

bool ZuGraphicsItem::sendEvent(ZuSceneEvent* event) {
    return m_scene && event ? m_scene->sendEventTo(this, event) : false;
}

void ZuGraphicsItem::addChangeListener(ZuItemChangeListener* listener) {
    if (!listener || std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
        return;
    m_listeners.push_back(listener);
    listener->attached(this);
}

void ZuGraphicsItem::removeChangeListener(ZuItemChangeListener* listener) {
    auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (it == m_listeners.end())
        return;
    m_listeners.erase(it);
    listener->detached(this);
}

void ZuGraphicsItem::update(const ZuRectF& rect) {
    if (!m_scene)
        return;
    if (isEmptyRect(rect)) {
        m_state |= WholeItemDirty;
        if (!(m_state & QueuedForRepaint)) {
            m_state |= QueuedForRepaint;
            m_scene->queueItemUpdate(this, rect);
        }
        m_scene->invalidate(sceneBoundingRect());
    } else {
        m_scene->invalidate(mapToScene(rect));
    }
}

void ZuGraphicsItem::prepareGeometryChange() {
    if (!m_scene || (m_state & GeometryChangePrepared))
        return;
    m_state |= GeometryChangePrepared;
    m_scene->queueItemUpdate(this, ZuRectF{});
    m_scene->invalidate(sceneBoundingRect());
}

void ZuGraphicsItem::setAnchorsObject(ZuRttiObject* anchors) {
    if (anchors == m_anchors)
        return;
    delete m_anchors;
    m_anchors = anchors;
}

void ZuGraphicsItem::deleteLater() {
    zuDeleteLater(this);
}
