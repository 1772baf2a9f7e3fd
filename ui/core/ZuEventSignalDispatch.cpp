#include "ui/core/ZuEventSignalDispatch.h"

ZU_DEFINE_CLASS(ZuEventSignalDispatch, ZuRttiObject, ZU_TAG('E', 'S', 'D', 'H'))

bool ZuEventSignalDispatch::emit(ZuRttiObject* item, ZuEvent* event) {
    if (!event)
        return false;
    auto it = m_lists.find(event->eventType());
    if (it == m_lists.end())
        return false;
    it->second.invoke(item, static_cast<ZuRttiObject*>(event));
    return event->isAccepted();
}

size_t ZuEventSignalDispatch::connectionCount(const ZuClassRecord* eventType) const {
    auto it = m_lists.find(eventType);
    return it == m_lists.end() ? 0 : it->second.size();
}
