#pragma once

#include "base/ZuString.h"
#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuVariant.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuItemEventHandler;
class ZuPainter;
class ZuSceneEvent;

// Watches one item's changes selected by its mask (ZuGraphicsItem::Change* bits).
class ZuItemChangeListener {
public:
    explicit ZuItemChangeListener(uint32_t mask) : m_mask(mask) {}
    virtual ~ZuItemChangeListener() = default;
    uint32_t mask() const { return m_mask; }
    void setMask(uint32_t mask) { m_mask = mask; }
    virtual void itemNotify(uint32_t maskBit, ZuGraphicsItem* item, const ZuVariant& newValue,
                            const ZuVariant& oldValue) = 0;
    virtual void attached(ZuGraphicsItem*) {}
    virtual void detached(ZuGraphicsItem*) {}

private:
    uint32_t m_mask;
};

// The node of the retained scene: a rectangle placed in its parent, with a z
// value, opacity, visibility, flags, an event handler and owned children.
// Scene transform, depth, children rectangle and child order are computed on
// demand and cached behind the dirty state bits.
class ZuGraphicsItem : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuGraphicsItem)
public:
    enum ItemFlag : uint32_t {
        Movable = 0x1,
        Focusable = 0x4,
        ClipsToShape = 0x8,
        ClipsChildren = 0x10,
        HasNoContents = 0x400,
        AcceptsDrops = 0x2000,
        AcceptsHover = 0x10000,
        StopsClickFocus = 0x20000,
        ViewHandlesTab = 0x80000,
        BlocksMouse = 0x100000,
        ChildrenInside = 0x200000,
        WidgetFlag = 0x400000,
    };
    enum StateBit : uint32_t {
        QueuedForRepaint = 0x4000,
        GeometryChangePrepared = 0x8000,
        WholeItemDirty = 0x10000,
        BeingDestroyed = 0x20000,
        Visible = 0x40000,
        Enabled = 0x80000,
        ChildrenRectDirty = 0x200000,
        SceneTransformDirty = 0x400000,
        StackingDirty = 0x800000,
        ChildrenNeedSorting = 0x1000000,
        InGeometryChange = 0x2000000,
        MouseButtonsShift = 26,
        MouseButtonsMask = 0x7C000000,
    };
    enum ChangeMask : uint32_t {
        GeometryChanged = 1,
        VisibilityChanged = 4,
        ItemDestroyed = 16,
        PositionChanged = 32,
    };
    enum Change : int {
        PositionChange = 0,
        ParentChange = 4,
        ChildAdded = 5,
        ChildRemoved = 6,
        FlagsChange = 11,
        ZValueChange = 12,
        GeometryChange = 14,
    };
    enum FocusPolicy : uint8_t { NoFocus = 0, TabFocus = 1, ClickFocus = 2, StrongFocus = 3 };
    enum FocusReason : int {
        MouseFocusReason = 0,
        TabFocusReason = 1,
        BacktabFocusReason = 2,
        OtherFocusReason = 7
    };
    enum MouseButton : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

    explicit ZuGraphicsItem(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr);
    ~ZuGraphicsItem() override;

    // Live item of that id, or null once it is gone.
    static ZuGraphicsItem* itemById(uint32_t id);
    uint32_t id() const { return m_id; }

    // Virtual interface.
    virtual ZuRectF boundingRect() const { return m_rect; }
    virtual ZuRectF clipRect() const;
    virtual void setClipRect(const ZuRectF& rect);
    virtual void paint(ZuPainter* painter, const void* option);
    virtual ZuString objectPath() const;
    virtual ZuVariant itemChange(int change, const ZuVariant& value);
    virtual void itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue);
    virtual ZuGraphicsItem* nextInFocusChain() { return this; }
    virtual ZuGraphicsItem* previousInFocusChain() { return this; }
    virtual ZuString toolTip() const { return m_toolTip; }
    virtual ZuString accessibleName() const { return m_accessibleName; }
    virtual ZuString accessibleDescription() const { return m_accessibleDescription; }
    virtual ZuString helpText() const { return m_helpText; }
    virtual void setProperty(const char* name, const ZuVariant& value);
    virtual ZuVariant property(const char* name) const;
    virtual bool hasProperty(const char* name) const;
    virtual void registerClassProperties() const;

    // Tree.
    void setParentItem(ZuGraphicsItem* parent);
    ZuGraphicsItem* parentItem() const { return m_parent; }
    ZuGraphicsItem* topLevelItem() const;
    // Sorted by z value, then insertion.
    const std::vector<ZuGraphicsItem*>& childItems() const;
    int depth() const;
    int indexInParent() const { return m_index; }
    bool isAncestorOf(const ZuGraphicsItem* item) const;
    ZuGraphicsItem* commonAncestorItem(const ZuGraphicsItem* item) const;
    ZuGraphicsScene* scene() const { return m_scene; }

    // Geometry.
    void setPos(const ZuPointF& pos);
    void setPos(double x, double y) { setPos(ZuPointF{x, y}); }
    void setX(double x) { setPos(x, m_pos.y); }
    void setY(double y) { setPos(m_pos.x, y); }
    ZuPointF pos() const { return m_pos; }
    void setGeometry(const ZuRectF& rect);
    void setGeometry(double x, double y, double width, double height) {
        setGeometry(ZuRectF{x, y, width, height});
    }
    void setWidth(double width);
    void setHeight(double height);
    void resize(double width, double height);
    double width() const { return m_rect.width; }
    double height() const { return m_rect.height; }
    ZuRectF rect() const { return m_rect; }
    // Bounding rectangle in parent coordinates.
    ZuRectF geometry() const;
    ZuRectF sceneBoundingRect() const;
    ZuRectF childrenBoundingRect() const;
    ZuPointF mapToParent(const ZuPointF& point) const;
    ZuRectF mapToParent(const ZuRectF& rect) const;
    ZuPointF mapToScene(const ZuPointF& point) const;
    ZuRectF mapToScene(const ZuRectF& rect) const;
    std::vector<ZuPointF> mapToScene(const std::vector<ZuPointF>& polygon) const;
    ZuPointF mapFromScene(const ZuPointF& point) const;
    ZuRectF mapFromScene(const ZuRectF& rect) const;
    std::vector<ZuPointF> mapFromScene(const std::vector<ZuPointF>& polygon) const;
    // The base toolkit only translates: the scene transform is the offset of
    // the item's origin in the scene.
    ZuPointF sceneTransform() const;

    // Stacking.
    void setZValue(double z);
    double zValue() const { return m_z; }

    // Appearance.
    void setOpacity(double opacity);
    double opacity() const { return m_opacity; }
    void setVisible(bool on);
    bool isVisible() const { return m_state & Visible; }
    bool isVisibleTo(const ZuGraphicsItem* ancestor) const;
    void setEnabled(bool on);
    bool isEnabled() const { return m_state & Enabled; }

    // Flags.
    void setItemFlag(uint32_t flag, bool on);
    uint32_t itemFlags() const { return m_flags; }
    bool hasItemFlag(uint32_t flag) const { return (m_flags & flag) == flag; }
    uint32_t state() const { return m_state; }
    void setAcceptedMouseButtons(int buttons, bool on);
    int acceptedMouseButtons() const { return int((m_state & MouseButtonsMask) >> MouseButtonsShift); }
    void setFocusPolicy(uint8_t policy) { m_focusPolicy = policy; }
    uint8_t focusPolicy() const { return m_focusPolicy; }

    // Focus.
    void setFocus();
    bool hasFocus() const;
    void setFocusProxy(ZuGraphicsItem* item);
    ZuGraphicsItem* focusProxy() const { return m_focusProxy; }

    // Names.
    void setObjectName(const ZuString& name) { m_objectName = name; }
    const ZuString& objectName() const { return m_objectName; }
    void setToolTip(const ZuString& text) { m_toolTip = text; }
    void setAccessibleName(const ZuString& text) { m_accessibleName = text; }
    void setAccessibleDescription(const ZuString& text) { m_accessibleDescription = text; }
    void setHelpText(const ZuString& text) { m_helpText = text; }

    // Events and listeners.
    void setEventHandler(ZuItemEventHandler* handler);
    ZuItemEventHandler* eventHandler() const { return m_handler; }
    bool sendEvent(ZuSceneEvent* event);
    void addChangeListener(ZuItemChangeListener* listener);
    void removeChangeListener(ZuItemChangeListener* listener);

    // Repaint. An empty rectangle means the whole item.
    void update(const ZuRectF& rect = ZuRectF{});
    void prepareGeometryChange();

    // The layout module's anchors object, owned and deleted with the item.
    ZuRttiObject* anchorsObject() const { return m_anchors; }
    void setAnchorsObject(ZuRttiObject* anchors);
    void clearAnchors() { setAnchorsObject(nullptr); }

    void deleteLater();

private:
    friend class ZuGraphicsScene;

    void setState(uint32_t bits, bool on) { m_state = on ? (m_state | bits) : (m_state & ~bits); }
    void setRectInternal(const ZuRectF& rect);
    void notifyListeners(uint32_t maskBit, const ZuVariant& newValue, const ZuVariant& oldValue);
    void notifyGeometry(const ZuRectF& oldGeometry);
    void addChild(ZuGraphicsItem* child);
    void removeChild(ZuGraphicsItem* child);
    void markChildrenRectDirtyUp();
    void markSubtree(uint32_t bits);
    void markUp(uint32_t bits);
    void invalidateDepth();
    void sortChildren() const;

    uint32_t m_flags = 0;
    mutable uint32_t m_state = 0x00EC0000;
    uint32_t m_id;
    ZuRectF m_rect;
    mutable ZuRectF m_childrenRect;
    ZuRectF m_clipRect;
    ZuPointF m_pos;
    mutable ZuPointF m_sceneOffset;
    mutable int m_depth = -1;
    int m_index = -1;
    double m_z = 0;
    ZuString m_objectName;
    ZuItemEventHandler* m_handler = nullptr;
    std::vector<ZuItemChangeListener*> m_listeners;
    ZuRttiObject* m_anchors = nullptr;
    ZuGraphicsItem* m_focusProxy = nullptr;
    std::vector<ZuGraphicsItem*> m_proxyUsers;
    double m_opacity = 1.0;
    ZuString m_toolTip;
    ZuString m_accessibleName;
    ZuString m_accessibleDescription;
    ZuString m_helpText;
    ZuGraphicsScene* m_scene = nullptr;
    ZuGraphicsItem* m_parent = nullptr;
    mutable std::vector<ZuGraphicsItem*> m_children;
    std::map<std::string, ZuVariant> m_properties;
    uint8_t m_focusPolicy = NoFocus;
};
