#pragma once

#include "base/ZuPoolAllocator.h"
#include "ui/core/ZuObject.h"

#include <windows.h>

#include <map>

class ZuTimer;

// All timers of the UI thread run on one hidden "ZuTimerServiceWindow", which
// exists exactly while at least one timer runs.
class ZuTimerService : public ZuObject {
public:
    static ZuTimerService* instance();

    // The native timer id (0 when the system refused the timer: it never fires).
    int addTimer(ZuTimer* timer, int intervalMs);
    void removeTimer(int id);

    HWND window() const { return m_window; }
    size_t timerCount() const { return m_timers.size(); }

private:
    ZuTimerService() = default;
    bool createWindow();
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    std::map<int, ZuTimer*, std::less<int>, ZuPoolAllocator<std::pair<const int, ZuTimer*>>> m_timers;
    int m_nextId = 1;
    int m_failedTimers = 0;
};
