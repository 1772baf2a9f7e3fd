#pragma once

#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuSignalReceiver.h"
#include "ui/core/ZuTimer.h"
#include "ui/core/ZuVariant.h"
#include "ui/core/ZuWeakRef.h"

#include <vector>

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuGraphicsSceneIndex;
class ZuGraphicsView;
class ZuPainter;
class ZuSceneEvent;
class ZuSceneEventHandler;

// Told about items entering and leaving a scene.
class ZuSceneObserver {
public:
    enum Code : int {
        AboutToAdd = 0,
        Added = 1,
        AboutToRemove = 2,
        Removed = 3,
        TopLevelAdded = 4,
        TopLevelRemoved = 5,
    };
    virtual ~ZuSceneObserver() = default;
    virtual void sceneChanged(int code, ZuGraphicsScene* scene, ZuGraphicsItem* item) = 0;
};

// Holds a tree of items: stacking, hit testing, focus, mouse grabs and the
// repaint requests that it hands to its views on a 16 ms tick.
class ZuGraphicsScene : public ZuObject, public ZuRttiObject, public ZuSignalReceiver {
    ZU_DECLARE_CLASS(ZuGraphicsScene)
public:
    enum Flag : uint32_t {
        SceneRectSet = 0x1,
        TopLevelNeedsSorting = 0x2,
        KeepFocus = 0x4,
        Active = 0x8,
        ItemsAtCacheValid = 0x10,
        ImplicitGrab = 0x20,
        OwnsTopLevelItems = 0x40,
        WholeSceneDirty = 0x80,
    };
    enum Slot : int {
        HoverSlot = 0,
        FocusSlot = 1,
        LastFocusSlot = 2,
        KeyboardGrabberSlot = 4,
        TabChainStartSlot = 5,
        FrameWindowSlot = 6,
        DragSlot = 7,
        PressedSlot = 8,
        DraggedSinceSlot = 10,
        SlotCount = 15,
    };
    static constexpr int kUpdateIntervalMs = 16;

    explicit ZuGraphicsScene(ZuObject* owner = nullptr);
    ~ZuGraphicsScene() override;

    void addItem(ZuGraphicsItem* item);
    void removeItem(ZuGraphicsItem* item);
    std::vector<ZuGraphicsItem*> items() const;
    // Ascending stacking order (painting order).
    const std::vector<ZuGraphicsItem*>& topLevelItems() const;
    // Topmost first; cached while the point and the scene stay the same.
    const std::vector<ZuGraphicsItem*>& itemsAt(const ZuPointF& point) const;
    std::vector<ZuGraphicsItem*> itemsIn(const ZuRectF& rect, int mode = 0) const;
    void invalidateItemsAtCache() const { m_flags &= ~ItemsAtCacheValid; }
    ZuRectF sceneRect() const;
    void setSceneRect(const ZuRectF& rect);

    void setFocusItem(ZuGraphicsItem* item, int reason);
    ZuGraphicsItem* focusItem() const { return specialItem(FocusSlot); }
    void setFocus(int reason);
    void clearFocus();
    bool focusNextPrevChild(bool next);
    bool isActive() const { return m_flags & Active; }

    void grabMouse(ZuGraphicsItem* item, bool implicit = false);
    void ungrabMouse(ZuGraphicsItem* item);
    ZuGraphicsItem* mouseGrabber() const { return m_grabbers.empty() ? nullptr : m_grabbers.back(); }
    bool topGrabIsImplicit() const { return m_flags & ImplicitGrab; }

    void invalidate(const ZuRectF& rect);
    void queueItemUpdate(ZuGraphicsItem* item, const ZuRectF& rect);
    // The 16 ms tick: hands the collected rectangles to the views.
    void updateTick();
    const std::vector<ZuRectF>& dirtyRects() const { return m_dirtyRects; }
    const ZuTimer& updateTimer() const { return m_updateTimer; }

    void setEventHandler(ZuSceneEventHandler* handler);
    ZuSceneEventHandler* eventHandler() const { return m_handler; }
    bool sendEvent(ZuSceneEvent* event);
    bool sendEventTo(ZuGraphicsItem* target, ZuSceneEvent* event);
    void setSpecialItem(int slot, ZuGraphicsItem* item);
    ZuGraphicsItem* specialItem(int slot) const;

    void addObserver(ZuSceneObserver* observer);
    void removeObserver(ZuSceneObserver* observer);
    const std::vector<ZuGraphicsView*>& views() const { return m_views; }
    void addView(ZuGraphicsView* view);
    void removeView(ZuGraphicsView* view);

    uint32_t flags() const { return m_flags; }
    void setFlag(uint32_t flag, bool on);

    // Paints the items that intersect `exposedRect` (scene coordinates);
    // `viewOffset` maps scene to window.
    void drawItems(ZuPainter* painter, const ZuPointF& viewOffset, const ZuRectF& exposedRect);

    // Item bookkeeping (called by ZuGraphicsItem).
    void itemChanged(ZuGraphicsItem* item, int change, const ZuVariant& value);
    void markTopLevelUnsorted() { m_flags |= TopLevelNeedsSorting; }

private:
    friend class ZuGraphicsItem;
    void addTopLevel(ZuGraphicsItem* item);
    void removeTopLevel(ZuGraphicsItem* item);
    void notify(int code, ZuGraphicsItem* item);
    void dropFromBookkeeping(ZuGraphicsItem* item);
    void sortTopLevel() const;
    void drawItem(ZuPainter* painter, ZuGraphicsItem* item, const ZuPointF& viewOffset,
                  const ZuRectF& exposed, double inheritedOpacity, bool enabledChain);

    ZuGraphicsSceneIndex* m_index;
    mutable std::vector<ZuGraphicsItem*> m_topLevel;
    int m_nextInsertion = 0;
    std::vector<ZuGraphicsView*> m_views;
    ZuSceneEventHandler* m_handler = nullptr;
    ZuGraphicsItem* m_slots[SlotCount] = {};
    ZuRectF m_sceneRect;
    mutable uint32_t m_flags = TopLevelNeedsSorting;
    ZuTimer m_updateTimer;
    std::vector<ZuSceneObserver*> m_observers;
    mutable ZuPointF m_itemsAtPoint;
    mutable std::vector<ZuGraphicsItem*> m_itemsAt;
    std::vector<ZuGraphicsItem*> m_grabbers;
    std::vector<ZuRectF> m_dirtyRects;
    std::vector<ZuGraphicsItem*> m_repaintQueue;
    std::vector<int> m_topLevelInsertion; // parallel to m_topLevel
};
