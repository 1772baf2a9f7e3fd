#pragma once

#include "ui/core/ZuEvent.h"
#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuWeakRef.h"

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuGraphicsView;

// An event that travels view -> scene -> target item. The explicit target is
// ZuEvent's target; a search result is cached there so it runs once.
class ZuSceneEvent : public ZuEvent {
    ZU_DECLARE_CLASS(ZuSceneEvent)
public:
    enum Flag : uint16_t { Accepted = 0x1, DeliverDownwards = 0x2 };

    ZuGraphicsItem* explicitTarget() const;
    void setExplicitTarget(ZuGraphicsItem* item);
    ZuGraphicsItem* acceptingItem() const;
    void setAcceptingItem(ZuGraphicsItem* item);
    ZuGraphicsView* view() const;
    void setView(ZuGraphicsView* view);
    int bubbleDepth() const { return m_bubbleDepth; }
    int downwardDepth() const { return m_downwardDepth; }
    bool deliversDownwards() const { return m_downwards; }
    void setDeliversDownwards(bool on) { m_downwards = on; }

    virtual void prepareForView(ZuGraphicsView*) {}
    virtual void prepareForItem(ZuGraphicsItem*) {}
    // The item this event goes to in `scene`, or null.
    virtual ZuGraphicsItem* findTarget(ZuGraphicsScene* scene);
    ZuGraphicsItem* routeInScene(ZuGraphicsView* view);
    virtual bool acceptsItem(ZuGraphicsItem* item) const;

protected:
    // Caches a search: a found target becomes explicit; a miss is not repeated.
    ZuGraphicsItem* cacheSearch(ZuGraphicsItem* found);
    bool searched() const { return m_searched; }

private:
    friend class ZuEventDispatcher;
    ZuWeakRef m_acceptingItem;
    ZuWeakRef m_view;
    int m_bubbleDepth = 0;
    int m_downwardDepth = 0;
    bool m_downwards = false;
    bool m_searched = false;
};

// Sent to the scene after an item accepted `event`.
class ZuEventAcceptedEvent : public ZuSceneEvent {
    ZU_DECLARE_CLASS(ZuEventAcceptedEvent)
public:
    explicit ZuEventAcceptedEvent(ZuSceneEvent* accepted = nullptr) : m_accepted(accepted) {}
    ZuSceneEvent* acceptedEvent() const { return m_accepted; }
    bool acceptsItem(ZuGraphicsItem*) const override { return false; }

private:
    ZuSceneEvent* m_accepted;
};
