#pragma once

#include "ui/core/ZuRttiObject.h"

#include <functional>
#include <map>
#include <vector>

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuGraphicsView;
class ZuSceneEvent;

class ZuEventHandler : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuEventHandler)
public:
    explicit ZuEventHandler(ZuRttiObject* owner = nullptr) : m_owner(owner) {}
    ZuRttiObject* owner() const { return m_owner; }
    virtual void handleEvent(ZuSceneEvent*) {}

protected:
    ZuRttiObject* m_owner;
};

// One callback per exact event class; handled when it leaves the event accepted.
template <typename Owner> class ZuCallbackTable {
public:
    using Callback = std::function<void(Owner*, ZuSceneEvent*)>;
    void set(const ZuClassRecord* type, Callback callback) { m_callbacks[type] = std::move(callback); }
    // True when a callback ran and accepted the event.
    bool run(Owner* owner, ZuSceneEvent* event);

private:
    std::map<const ZuClassRecord*, Callback> m_callbacks;
};

class ZuSceneEventHandler : public ZuEventHandler {
    ZU_DECLARE_CLASS(ZuSceneEventHandler)
public:
    explicit ZuSceneEventHandler(ZuGraphicsScene* scene = nullptr);
    ZuGraphicsScene* scene() const;
    template <typename E> void setEventCallback(ZuCallbackTable<ZuGraphicsScene>::Callback callback) {
        m_callbacks.set(E::staticRecord(), std::move(callback));
    }
    // Callback first, then handleEvent unless accepted; returns the accepted flag.
    bool process(ZuSceneEvent* event);

private:
    ZuCallbackTable<ZuGraphicsScene> m_callbacks;
};

class ZuViewEventHandler : public ZuEventHandler {
    ZU_DECLARE_CLASS(ZuViewEventHandler)
public:
    explicit ZuViewEventHandler(ZuGraphicsView* view = nullptr);
    ZuGraphicsView* view() const;
    template <typename E> void setEventCallback(ZuCallbackTable<ZuGraphicsView>::Callback callback) {
        m_callbacks.set(E::staticRecord(), std::move(callback));
    }
    bool process(ZuSceneEvent* event);

private:
    ZuCallbackTable<ZuGraphicsView> m_callbacks;
};

// The handler of one item: listeners by exact event class, then handleEvent.
class ZuItemEventHandler : public ZuEventHandler {
    ZU_DECLARE_CLASS(ZuItemEventHandler)
public:
    enum Flag : uint32_t { ReceivesBubbled = 0x1, ReceivesDownward = 0x2, HandlerEnabled = 0x4 };
    using Listener = std::function<void(ZuGraphicsItem*, ZuSceneEvent*)>;

    explicit ZuItemEventHandler(ZuGraphicsItem* item = nullptr);
    ZuGraphicsItem* item() const;
    void setItem(ZuGraphicsItem* item);

    template <typename E> void addEventListener(Listener listener) {
        m_listeners[E::staticRecord()].push_back(std::move(listener));
    }
    void addEventListener(const ZuClassRecord* type, Listener listener) {
        m_listeners[type].push_back(std::move(listener));
    }
    uint32_t flags() const { return m_flags; }
    void setFlags(uint32_t flags) { m_flags = flags; }
    bool isEnabled() const { return m_flags & HandlerEnabled; }
    void setEnabled(bool on) { m_flags = on ? (m_flags | HandlerEnabled) : (m_flags & ~HandlerEnabled); }
    // Listeners in order until one accepts, then handleEvent; nothing when disabled.
    void deliver(ZuSceneEvent* event);

private:
    std::map<const ZuClassRecord*, std::vector<Listener>> m_listeners;
    uint32_t m_flags = HandlerEnabled;
};
