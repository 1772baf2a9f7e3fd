#include "ui/core/ZuSignalReceiver.h"

#include <map>
#include <new>

namespace {
// Live receivers by address, so a deletion can find those inside its object.
std::map<const void*, ZuSignalAnchor*>& liveReceivers() {
    static auto* receivers = new std::map<const void*, ZuSignalAnchor*>;
    return *receivers;
}
} // namespace

void zuAnchorAddRef(ZuSignalAnchor* anchor) {
    if (anchor)
        InterlockedIncrement(&anchor->refs);
}

void zuAnchorRelease(ZuSignalAnchor* anchor) {
    if (anchor && InterlockedDecrement(&anchor->refs) == 0)
        delete anchor;
}

ZuSignalReceiver::ZuSignalReceiver() : m_anchor(new (std::nothrow) ZuSignalAnchor{this, 1}) {
    if (m_anchor)
        liveReceivers()[this] = m_anchor;
}

void ZuSignalReceiver::detachWithin(const void* start, size_t size) {
    auto& receivers = liveReceivers();
    const char* end = static_cast<const char*>(start) + size;
    for (auto it = receivers.lower_bound(start);
         it != receivers.end() && static_cast<const char*>(it->first) < end; ++it)
        it->second->receiver = nullptr;
}

ZuSignalReceiver::~ZuSignalReceiver() {
    if (m_anchor) {
        liveReceivers().erase(this);
        m_anchor->receiver = nullptr;
        zuAnchorRelease(m_anchor);
    }
}
