#include "ui/core/ZuConnectionList.h"

ZuConnection::ZuConnection(ZuSignalAnchor* anchor, void* receiver, const void* method, size_t methodSize,
                           Trampoline call)
    : m_anchor(anchor), m_receiver(receiver), m_method{}, m_call(call) {
    memcpy(m_method, method, methodSize);
    zuAnchorAddRef(m_anchor);
}

ZuConnection::ZuConnection(const ZuConnection& other)
    : m_anchor(other.m_anchor), m_receiver(other.m_receiver), m_call(other.m_call) {
    memcpy(m_method, other.m_method, sizeof m_method);
    zuAnchorAddRef(m_anchor);
}

ZuConnection& ZuConnection::operator=(const ZuConnection& other) {
    zuAnchorAddRef(other.m_anchor);
    zuAnchorRelease(m_anchor);
    m_anchor = other.m_anchor;
    m_receiver = other.m_receiver;
    memcpy(m_method, other.m_method, sizeof m_method);
    m_call = other.m_call;
    return *this;
}

ZuConnection::~ZuConnection() {
    zuAnchorRelease(m_anchor);
}

void ZuConnection::invoke(void* first, void* second) const {
    if (alive())
        m_call(m_receiver, m_method, first, second);
}

bool ZuConnection::sameAs(const ZuConnection& other) const {
    return m_receiver == other.m_receiver && m_anchor == other.m_anchor && m_call == other.m_call &&
           memcmp(m_method, other.m_method, sizeof m_method) == 0;
}

bool ZuConnectionList::detach() {
    if (!m_shared) {
        m_shared = new Shared;
        return m_shared != nullptr;
    }
    if (m_shared->refs == 1)
        return true;
    Shared* copy = new Shared;
    if (!copy)
        return false;
    copy->items = m_shared->items;
    --m_shared->refs;
    m_shared = copy;
    return true;
}

void ZuConnectionList::append(const ZuConnection& connection) {
    prune();
    if (detach())
        m_shared->items.push_back(connection);
}

void ZuConnectionList::prune() {
    if (!m_shared)
        return;
    bool anyDead = false;
    for (const ZuConnection& c : m_shared->items)
        anyDead |= !c.alive();
    if (!anyDead || !detach())
        return;
    std::vector<ZuConnection>& items = m_shared->items;
    std::vector<ZuConnection> live;
    live.reserve(items.size());
    for (const ZuConnection& c : items)
        if (c.alive())
            live.push_back(c);
    items.swap(live);
}

void ZuConnectionList::clear() {
    if (m_shared && --m_shared->refs == 0)
        delete m_shared;
    m_shared = nullptr;
}

void ZuConnectionList::invoke(void* first, void* second) {
    prune();
    Shared* shared = m_shared;
    if (!shared)
        return;
    ++shared->refs; // this list (and its owner) may be gone when the callbacks return
    for (const ZuConnection& c : shared->items)
        c.invoke(first, second);
    if (--shared->refs == 0)
        delete shared;
}

template <typename Pred> static size_t removeIf(std::vector<ZuConnection>& items, Pred pred) {
    size_t before = items.size();
    std::vector<ZuConnection> kept;
    kept.reserve(items.size());
    for (const ZuConnection& c : items)
        if (!pred(c))
            kept.push_back(c);
    items.swap(kept);
    return before - items.size();
}

size_t ZuConnectionList::remove(const ZuConnection& connection) {
    if (!m_shared || !detach())
        return 0;
    // A running emission keeps its own copy: it still sees the removed entry.
    return removeIf(m_shared->items, [&](const ZuConnection& c) { return c.sameAs(connection); });
}

size_t ZuConnectionList::removeReceiver(const void* receiver) {
    if (!m_shared || !detach())
        return 0;
    return removeIf(m_shared->items, [&](const ZuConnection& c) { return c.receiverIs(receiver); });
}
