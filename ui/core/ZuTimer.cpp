#include "ui/core/ZuTimer.h"

#include "ui/core/ZuTimerService.h"

ZU_DEFINE_CLASS(ZuTimer, ZuRttiObject, ZU_TAG('T', 'I', 'M', 'R'))

ZuTimer::~ZuTimer() {
    stop();
    m_timeout.clear();
}

void ZuTimer::start(int intervalMs) {
    if (isActive()) {
        if (m_interval == intervalMs)
            return;
        stop();
    }
    m_interval = intervalMs;
    m_id = ZuTimerService::instance()->addTimer(this, intervalMs);
}

void ZuTimer::stop() {
    if (!isActive())
        return;
    ZuTimerService::instance()->removeTimer(m_id);
    m_id = -1;
    m_interval = -1;
}
