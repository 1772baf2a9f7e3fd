#pragma once

#include "ui/core/ZuConnectionList.h"
#include "ui/core/ZuObject.h"
#include "ui/core/ZuRttiObject.h"

// A repeating timer of the UI thread, driven by the hidden timer-service window.
class ZuTimer : public ZuObject, public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuTimer)
public:
    explicit ZuTimer(ZuObject* parent = nullptr) : ZuObject(parent) {}
    ~ZuTimer() override;

    // Same interval while running: nothing happens; another one restarts it.
    void start(int intervalMs);
    void stop();
    bool isActive() const { return m_id != -1; }
    int timerId() const { return m_id; }
    int interval() const { return m_interval; }

    template <typename R> void connectTimeout(R* receiver, void (R::*method)()) {
        if (receiver)
            m_timeout.append(ZuConnectionList::make(receiver, method));
    }
    template <typename R> bool disconnectTimeout(R* receiver, void (R::*method)()) {
        return receiver && m_timeout.remove(ZuConnectionList::make(receiver, method)) > 0;
    }
    size_t timeoutConnections() const { return m_timeout.size(); }
    // Emits `timeout`; the timer may be destroyed by a callback.
    void fire() { m_timeout.invoke(nullptr, nullptr); }

private:
    ZuConnectionList m_timeout;
    int m_id = -1;
    int m_interval = -1;
};
