#pragma once

#include "base/MemPool.h"
#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuSignalReceiver.h"

#include <cstring>
#include <type_traits>
#include <vector>

// One connection: a counted anchor of the receiver, the receiver itself, the
// member function and the trampoline that calls it with up to two arguments.
class ZuConnection {
public:
    using Trampoline = void (*)(void* receiver, const void* method, void* first, void* second);

    ZuConnection(ZuSignalAnchor* anchor, void* receiver, const void* method, size_t methodSize,
                 Trampoline call);
    ZuConnection(const ZuConnection& other);
    ZuConnection& operator=(const ZuConnection& other);
    ~ZuConnection();

    bool alive() const { return m_anchor && m_anchor->receiver; }
    // Same receiver and same member function.
    bool sameAs(const ZuConnection& other) const;
    bool receiverIs(const void* receiver) const { return m_receiver == receiver; }
    void invoke(void* first, void* second) const;

private:
    ZuSignalAnchor* m_anchor;
    void* m_receiver;
    alignas(void*) unsigned char m_method[2 * sizeof(void*)];
    Trampoline m_call;
};

// A connection list shared between its owner and running emissions and
// copied on write, so an emission never sees the changes its callbacks make
// and survives the destruction of the list's owner.
class ZuConnectionList {
public:
    ZuConnectionList() = default;
    ZuConnectionList(const ZuConnectionList&) = delete;
    ZuConnectionList& operator=(const ZuConnectionList&) = delete;
    ~ZuConnectionList() { clear(); }

    // Prunes dead receivers first.
    void append(const ZuConnection& connection);
    void prune();
    void clear();
    // Removes the connections equal to `connection`; returns how many went.
    size_t remove(const ZuConnection& connection);
    // Removes every connection to `receiver`.
    size_t removeReceiver(const void* receiver);
    size_t size() const { return m_shared ? m_shared->items.size() : 0; }
    // Calls every live connection in order.
    void invoke(void* first, void* second);

    // Connection of `receiver`'s member `method` taking (A*, B*) or nothing.
    template <typename R, typename M> static ZuConnection make(R* receiver, M method) {
        static_assert(std::is_base_of_v<ZuSignalReceiver, R>, "receivers carry a signal anchor");
        static_assert(sizeof(M) <= 2 * sizeof(void*));
        return ZuConnection(static_cast<const ZuSignalReceiver*>(receiver)->signalAnchor(), receiver, &method,
                            sizeof(M), &trampoline<R, M>);
    }

private:
    struct Shared {
        int refs = 1;
        std::vector<ZuConnection> items;
        static void* operator new(size_t n) noexcept { return mp_alloc(n); }
        static void operator delete(void* p) noexcept { mp_free(p); }
    };

    template <typename R, typename M>
    static void trampoline(void* receiver, const void* method, void* a, void* b) {
        M fn;
        memcpy(static_cast<void*>(&fn), method, sizeof fn);
        callWith(static_cast<R*>(receiver), fn, a, b);
    }
    template <typename R> static void callWith(R* r, void (R::*fn)(), void*, void*) { (r->*fn)(); }
    template <typename R, typename A, typename B>
    static void callWith(R* r, void (R::*fn)(A*, B*), void* a, void* b) {
        (r->*fn)(fromVoid<A>(a), fromVoid<B>(b));
    }
    // Toolkit objects travel as ZuRttiObject pointers; anything else as itself.
    template <typename T> static T* fromVoid(void* p) {
        if constexpr (std::is_base_of_v<ZuRttiObject, T>)
            return static_cast<T*>(static_cast<ZuRttiObject*>(p));
        else
            return static_cast<T*>(p);
    }
    // Makes the shared list private to this owner before a change.
    bool detach();

    Shared* m_shared = nullptr;
};
