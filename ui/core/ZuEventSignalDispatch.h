#pragma once

#include "base/ZuPoolAllocator.h"
#include "ui/core/ZuConnectionList.h"
#include "ui/core/ZuEvent.h"

#include <map>

// Per-widget table of connections by exact event class: any receiver can have
// a member function called when the widget sends one type of event.
class ZuEventSignalDispatch : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuEventSignalDispatch)
public:
    explicit ZuEventSignalDispatch(ZuRttiObject* owner = nullptr) : m_owner(owner) {}

    ZuRttiObject* owner() const { return m_owner; }

    // Calls receiver->method(item, event) for every emitted event of class E.
    template <typename E, typename R, typename Item> void connect(R* receiver, void (R::*method)(Item*, E*)) {
        static_assert(std::is_base_of_v<ZuEvent, E>);
        static_assert(std::is_base_of_v<ZuRttiObject, Item>);
        if (receiver)
            m_lists[E::staticRecord()].append(ZuConnectionList::make(receiver, method));
    }

    // Removes that connection (all copies of it); false when there was none.
    template <typename E, typename R, typename Item>
    bool disconnect(R* receiver, void (R::*method)(Item*, E*)) {
        auto it = m_lists.find(E::staticRecord());
        return receiver && it != m_lists.end() &&
               it->second.remove(ZuConnectionList::make(receiver, method)) > 0;
    }
    // Removes every connection of `receiver`, whatever its event type.
    template <typename R> size_t disconnectAll(R* receiver) {
        size_t removed = 0;
        for (auto& [type, list] : m_lists)
            removed += list.removeReceiver(receiver);
        return removed;
    }

    // Runs the connections of the event's exact class and returns whether the
    // event was accepted; false when nothing is connected for that class.
    bool emit(ZuRttiObject* item, ZuEvent* event);
    size_t connectionCount(const ZuClassRecord* eventType) const;

private:
    ZuRttiObject* m_owner;
    std::map<const ZuClassRecord*, ZuConnectionList, std::less<const ZuClassRecord*>,
             ZuPoolAllocator<std::pair<const ZuClassRecord* const, ZuConnectionList>>>
        m_lists;
};
