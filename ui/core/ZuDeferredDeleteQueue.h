#pragma once

#include "ui/core/ZuSignalReceiver.h"
#include "ui/core/ZuTimer.h"
#include "ui/core/ZuWeakRef.h"

#include <vector>

// Objects that must outlive the callback that ends them are deleted on a
// later 16 ms tick of the UI thread, or when the application flushes.
class ZuDeferredDeleteQueue : public ZuSignalReceiver {
public:
    static ZuDeferredDeleteQueue* instance();

    void deleteLater(ZuRttiObject* object);
    // Stops the timer and deletes until the queue stays empty.
    void flush();
    size_t pending() const { return m_queue.size(); }
    const ZuTimer& timer() const { return m_timer; }

private:
    ZuDeferredDeleteQueue();
    void tick();
    void deleteBatch();

    std::vector<ZuWeakRef> m_queue;
    ZuTimer m_timer;
};

inline void zuDeleteLater(ZuRttiObject* object) {
    ZuDeferredDeleteQueue::instance()->deleteLater(object);
}
