#include "ui/core/ZuApplication.h"

#include "ui/core/ZuDebugOutput.h"
#include "ui/core/ZuDeferredDeleteQueue.h"

#include "ui/core/ZuGdiplus.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuApplication, ZuRttiObject, ZU_TAG('A', 'P', 'P', 'L'))

namespace {
ZuApplication* g_currentApplication = nullptr;
ZuApplication::WindowDestroyer g_windowDestroyer = nullptr;

std::wstring moduleDirectory() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, n);
    size_t cut = full.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : full.substr(0, cut);
}

// Messages that do not end an idle period: they arrive continuously.
bool startsIdlePeriod(UINT message) {
    return message != WM_PAINT && message != WM_NCMOUSEMOVE && message != WM_MOUSEMOVE && message != 0x118;
}
} // namespace

ZuApplication::ZuApplication() : m_applicationDirectory(moduleDirectory()) {
    g_currentApplication = this;
    // The native-window module (per-window dispatch for the current module
    // instance) and the resource path alias table attach here once they exist.
    m_gdiplusToken = ZuGdiplus::startup();
    ZuDeferredDeleteQueue::instance();
    // The accessible-object factory of push buttons is registered by the
    // native-window module.
}

ZuApplication::~ZuApplication() {
    // Every window still open is destroyed; each unregisters itself.
    while (!m_windows.empty()) {
        ZuWindow* first = *m_windows.begin();
        if (g_windowDestroyer)
            g_windowDestroyer(first);
        m_windows.erase(first); // in case the window did not unregister
    }
    // Owned objects may still hold GDI+ resources: they go while GDI+ runs,
    // and so does whatever they queued for deletion on their way out.
    deleteChildren();
    ZuDeferredDeleteQueue::instance()->flush();
    // The image cache lets go of its bitmaps first and the path alias table
    // is cleared after (both hook in from the resource module).
    ZuGdiplus::shutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    if (g_currentApplication == this)
        g_currentApplication = nullptr;
}

ZuApplication* ZuApplication::instance() {
    return g_currentApplication;
}

void ZuApplication::registerWindow(ZuWindow* window) {
    if (window)
        m_windows.insert(window);
}

void ZuApplication::unregisterWindow(ZuWindow* window) {
    if (m_windows.erase(window) && m_windows.empty())
        PostQuitMessage(0);
}

int ZuApplication::exec() {
    if (m_windows.empty()) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            return static_cast<int>(msg.wParam);
        return 0;
    }
    return runMessageLoop();
}

void ZuApplication::quit() {
    PostQuitMessage(0);
}

void ZuApplication::addIdleHandler(IdleHandler handler, void* context) {
    if (handler)
        m_idleHandlers.push_back({handler, context});
}

void ZuApplication::removeIdleHandler(IdleHandler handler, void* context) {
    std::erase(m_idleHandlers, Hook<IdleHandler>{handler, context});
}

void ZuApplication::addMessageFilter(MessageFilter filter, void* context) {
    if (filter)
        m_filters.push_back({filter, context});
}

void ZuApplication::removeMessageFilter(MessageFilter filter, void* context) {
    std::erase(m_filters, Hook<MessageFilter>{filter, context});
}

void ZuApplication::setWindowDestroyer(WindowDestroyer destroyer) {
    g_windowDestroyer = destroyer;
}

void ZuApplication::debugLine(const wchar_t* text) {
    zuDebugLine(text);
}

bool ZuApplication::runIdleHandlers(int idleCount) {
    if (m_idleHandlers.empty())
        return false;
    bool more = false;
    auto handlers = m_idleHandlers; // a handler may remove itself
    for (const auto& h : handlers)
        more |= h.function(h.context, idleCount);
    return more;
}

bool ZuApplication::filterMessage(MSG& message) {
    auto filters = m_filters;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it)
        if (it->function(it->context, message))
            return true;
    return false;
}

int ZuApplication::runMessageLoop() {
    MSG msg;
    bool idle = true;
    int idleCount = 0;
    for (;;) {
        while (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!runIdleHandlers(idleCount++))
                idle = false;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (!filterMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (startsIdlePeriod(msg.message)) {
            idle = true;
            idleCount = 0;
        }
    }
}
