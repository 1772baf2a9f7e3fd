#include "ui/core/ZuTimerService.h"

#include "ui/core/ZuTimer.h"

#include <atomic>

namespace {
constexpr wchar_t kClassName[] = L"ZuTimerServiceWindow";
std::atomic<ZuTimerService*> g_service{nullptr};
} // namespace

ZuTimerService* ZuTimerService::instance() {
    ZuTimerService* current = g_service.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuTimerService;
    if (g_service.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine;
    return current;
}

bool ZuTimerService::createWindow() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    if (!GetClassInfoExW(module, kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = windowProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        if (!RegisterClassExW(&wc))
            return false;
    }
    m_window = CreateWindowExW(0, kClassName, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, nullptr, nullptr, module, nullptr);
    return m_window != nullptr;
}

int ZuTimerService::addTimer(ZuTimer* timer, int intervalMs) {
    if (!m_window && !createWindow())
        return 0;
    while (m_timers.count(m_nextId))
        ++m_nextId;
    int id = m_nextId++;
    if (m_nextId <= 0)
        m_nextId = 1;
    UINT_PTR native = SetTimer(m_window, id, intervalMs < 0 ? 0 : static_cast<UINT>(intervalMs), nullptr);
    if (!native) {
        ++m_failedTimers; // keeps the window alive until that timer is stopped
        return 0;
    }
    m_timers[static_cast<int>(native)] = timer;
    return static_cast<int>(native);
}

void ZuTimerService::removeTimer(int id) {
    if (id == 0) {
        if (m_failedTimers > 0)
            --m_failedTimers;
    } else if (m_timers.erase(id) && m_window) {
        KillTimer(m_window, id);
    }
    if (m_timers.empty() && m_failedTimers == 0 && m_window) {
        HWND window = m_window;
        m_window = nullptr;
        DestroyWindow(window);
    }
}

LRESULT CALLBACK ZuTimerService::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: {
        ZuTimerService* service = g_service.load();
        if (service) {
            auto it = service->m_timers.find(static_cast<int>(wParam));
            if (it != service->m_timers.end()) {
                it->second->fire();
                return 0;
            }
        }
        break;
    }
    case WM_DESTROY:
        return 1;
    case WM_NCDESTROY:
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
