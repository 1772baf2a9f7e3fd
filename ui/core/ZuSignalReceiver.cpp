#include "ui/core/ZuSignalReceiver.h"

#include <new>

void zuAnchorAddRef(ZuSignalAnchor* anchor) {
    if (anchor)
        InterlockedIncrement(&anchor->refs);
}

void zuAnchorRelease(ZuSignalAnchor* anchor) {
    if (anchor && InterlockedDecrement(&anchor->refs) == 0)
        delete anchor;
}

ZuSignalReceiver::ZuSignalReceiver() : m_anchor(new (std::nothrow) ZuSignalAnchor{this, 1}) {}

ZuSignalReceiver::~ZuSignalReceiver() {
    if (m_anchor) {
        m_anchor->receiver = nullptr;
        zuAnchorRelease(m_anchor);
    }
}
