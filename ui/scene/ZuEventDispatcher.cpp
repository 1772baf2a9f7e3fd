#include "ui/scene/ZuEventDispatcher.h"

#include "ui/scene/ZuEventHandler.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuSceneEvent.h"

#include <atomic>

ZuEventDispatcher* ZuEventDispatcher::instance() {
    static std::atomic<ZuEventDispatcher*> g_dispatcher{nullptr};
    ZuEventDispatcher* current = g_dispatcher.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuEventDispatcher;
    if (g_dispatcher.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine;
    return current;
}

bool ZuEventDispatcher::sendToView(ZuGraphicsView* view, ZuSceneEvent* event) {
    if (!view || !event)
        return false;
    ++m_nesting;
    event->setView(view);
    ZuWeakRef viewRef(view);
    bool accepted = view->eventHandler() && view->eventHandler()->process(event);
    if (!accepted && viewRef.get()) {
        ZuGraphicsScene* scene = view->scene();
        event->prepareForView(view);
        if (scene && !sendToScene(scene, event)) {
            if (ZuGraphicsItem* target = event->findTarget(scene)) {
                event->prepareForItem(target);
                sendToItem(target, event);
            }
        }
    }
    --m_nesting;
    return event->isAccepted();
}

bool ZuEventDispatcher::sendToScene(ZuGraphicsScene* scene, ZuSceneEvent* event) {
    if (!scene || !event)
        return false;
    ZuSceneEventHandler* handler = scene->eventHandler();
    return handler && handler->process(event);
}

bool ZuEventDispatcher::deliverTo(ZuGraphicsItem* item, ZuSceneEvent* event, bool bubbled) {
    ZuItemEventHandler* handler = item->eventHandler();
    if (!handler || !event->acceptsItem(item))
        return false;
    uint32_t wanted = event->deliversDownwards() ? ZuItemEventHandler::ReceivesDownward
                                                 : ZuItemEventHandler::ReceivesBubbled;
    if (bubbled && !(handler->flags() & wanted))
        return false;
    ZuWeakRef itemRef(item);
    handler->deliver(event);
    if (!event->isAccepted())
        return false;
    // The item may be gone (destroyed in its own handler): then no one is told.
    if (ZuGraphicsItem* alive = zu_cast<ZuGraphicsItem>(itemRef.get())) {
        event->setAcceptingItem(alive);
        if (ZuGraphicsScene* scene = alive->scene()) {
            ZuEventAcceptedEvent accepted(event);
            sendToScene(scene, &accepted);
        }
    }
    return true;
}

bool ZuEventDispatcher::deliverDownwards(ZuGraphicsItem* item, ZuSceneEvent* event) {
    if (deliverTo(item, event, event->m_downwardDepth > 0))
        return true;
    ZuWeakRef itemRef(item);
    auto children = item->childItems();
    std::vector<ZuWeakRef> refs(children.begin(), children.end());
    for (auto it = refs.rbegin(); it != refs.rend(); ++it) {
        ZuGraphicsItem* child = zu_cast<ZuGraphicsItem>(it->get());
        if (!child)
            continue;
        ++event->m_downwardDepth;
        bool done = deliverDownwards(child, event);
        --event->m_downwardDepth;
        if (done)
            return true;
    }
    return false;
}

bool ZuEventDispatcher::sendToItem(ZuGraphicsItem* item, ZuSceneEvent* event) {
    if (!item || !event)
        return false;
    ++m_nesting;
    if (event->deliversDownwards()) {
        deliverDownwards(item, event);
    } else {
        ZuWeakRef current(item);
        while (ZuGraphicsItem* target = zu_cast<ZuGraphicsItem>(current.get())) {
            if (deliverTo(target, event, event->m_bubbleDepth > 0))
                break;
            ZuGraphicsItem* parent = target->parentItem();
            if (!parent)
                break;
            ++event->m_bubbleDepth;
            current = parent;
        }
    }
    --m_nesting;
    return event->isAccepted();
}
