#pragma once

#include <windows.h>

#include <cstddef>

// The cell that connections hold to find out whether their receiver lives.
struct ZuSignalAnchor {
    void* receiver;
    volatile LONG refs;
};

void zuAnchorAddRef(ZuSignalAnchor* anchor);
void zuAnchorRelease(ZuSignalAnchor* anchor);

// Mixin of every object that can receive signal connections: its destructor
// clears the anchor so that connections to it are skipped and pruned.
class ZuSignalReceiver {
public:
    ZuSignalReceiver();
    ZuSignalReceiver(const ZuSignalReceiver&) : ZuSignalReceiver() {}
    ZuSignalReceiver& operator=(const ZuSignalReceiver&) { return *this; }
    ~ZuSignalReceiver();

    ZuSignalAnchor* signalAnchor() const { return m_anchor; }
    // Detaches every receiver that lies in [start, start + size): deletion
    // calls it before the first destructor runs, so a member that emits
    // while it is torn down reaches no half-destroyed receiver.
    static void detachWithin(const void* start, size_t size);

private:
    ZuSignalAnchor* m_anchor;
};
