#include "ui/core/ZuDeferredDeleteQueue.h"

#include <atomic>

namespace {
std::atomic<ZuDeferredDeleteQueue*> g_queue{nullptr};
}

ZuDeferredDeleteQueue* ZuDeferredDeleteQueue::instance() {
    ZuDeferredDeleteQueue* current = g_queue.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuDeferredDeleteQueue;
    if (g_queue.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine;
    return current;
}

ZuDeferredDeleteQueue::ZuDeferredDeleteQueue() {
    m_timer.connectTimeout(this, &ZuDeferredDeleteQueue::tick);
    m_timer.start(0); // the first tick finds the queue empty and stops the timer
}

void ZuDeferredDeleteQueue::deleteLater(ZuRttiObject* object) {
    if (!object)
        return;
    m_queue.emplace_back(object);
    if (!m_timer.isActive())
        m_timer.start(16);
}

void ZuDeferredDeleteQueue::deleteBatch() {
    // Entries queued while this batch runs wait for the next round.
    std::vector<ZuWeakRef> batch;
    batch.swap(m_queue);
    for (ZuWeakRef& entry : batch)
        if (ZuRttiObject* object = entry.get())
            delete object;
}

void ZuDeferredDeleteQueue::tick() {
    deleteBatch();
    if (m_queue.empty())
        m_timer.stop();
}

void ZuDeferredDeleteQueue::flush() {
    m_timer.stop();
    while (!m_queue.empty())
        deleteBatch();
}
