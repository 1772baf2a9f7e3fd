#pragma once

#include <windows.h>

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

private:
    ZuSignalAnchor* m_anchor;
};
