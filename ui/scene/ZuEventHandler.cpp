#include "ui/scene/ZuEventHandler.h"

#include "ui/core/ZuWeakRef.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"
#include "ui/scene/ZuSceneEvent.h"

ZU_DEFINE_CLASS(ZuEventHandler, ZuRttiObject, ZU_TAG('E', 'H', 'E', 'R'))
ZU_DEFINE_CLASS(ZuSceneEventHandler, ZuEventHandler, ZU_TAG('S', 'E', 'H', 'R'))
ZU_DEFINE_CLASS(ZuViewEventHandler, ZuEventHandler, ZU_TAG('V', 'E', 'H', 'R'))
ZU_DEFINE_CLASS(ZuItemEventHandler, ZuEventHandler, ZU_TAG('I', 'E', 'H', 'R'))

template <typename Owner> bool ZuCallbackTable<Owner>::run(Owner* owner, ZuSceneEvent* event) {
    auto it = m_callbacks.find(event->eventType());
    if (it == m_callbacks.end() || !it->second)
        return false;
    Callback callback = it->second; // may be replaced while it runs
    callback(owner, event);
    return event->isAccepted();
}
template class ZuCallbackTable<ZuGraphicsScene>;
template class ZuCallbackTable<ZuGraphicsView>;

ZuSceneEventHandler::ZuSceneEventHandler(ZuGraphicsScene* scene) : ZuEventHandler(scene) {}

ZuGraphicsScene* ZuSceneEventHandler::scene() const {
    return zu_cast<ZuGraphicsScene>(m_owner);
}

bool ZuSceneEventHandler::process(ZuSceneEvent* event) {
    if (m_callbacks.run(scene(), event))
        return true;
    handleEvent(event);
    return event->isAccepted();
}

ZuViewEventHandler::ZuViewEventHandler(ZuGraphicsView* view) : ZuEventHandler(view) {}

ZuGraphicsView* ZuViewEventHandler::view() const {
    return zu_cast<ZuGraphicsView>(m_owner);
}

bool ZuViewEventHandler::process(ZuSceneEvent* event) {
    if (m_callbacks.run(view(), event))
        return true;
    handleEvent(event);
    return event->isAccepted();
}

ZuItemEventHandler::ZuItemEventHandler(ZuGraphicsItem* item) : ZuEventHandler(item) {}

ZuGraphicsItem* ZuItemEventHandler::item() const {
    return zu_cast<ZuGraphicsItem>(m_owner);
}

void ZuItemEventHandler::setItem(ZuGraphicsItem* item) {
    m_owner = item;
}

void ZuItemEventHandler::deliver(ZuSceneEvent* event) {
    if (!isEnabled())
        return;
    auto it = m_listeners.find(event->eventType());
    if (it != m_listeners.end()) {
        ZuGraphicsItem* owner = item();
        std::vector<Listener> listeners = it->second; // a listener may add listeners
        ZuWeakRef self(this);                         // or delete the item, and with it this handler
        for (const Listener& listener : listeners) {
            listener(owner, event);
            if (event->isAccepted() || !self.get())
                return;
        }
    }
    handleEvent(event);
}
