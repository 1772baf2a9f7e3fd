#include "ui/core/ZuApplication.h"

#include <gdiplus.h>

namespace {
ZuApplication* g_currentApplication = nullptr;

std::wstring moduleDirectory() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, n);
    size_t cut = full.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : full.substr(0, cut);
}
} // namespace

ZuApplication::ZuApplication() : m_applicationDirectory(moduleDirectory()) {
    g_currentApplication = this;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
        m_gdiplusToken = 0;
        OutputDebugStringW(L"Debug: GdiplusStartup failed");
    }
}

ZuApplication::~ZuApplication() {
    if (m_gdiplusToken)
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
    if (g_currentApplication == this)
        g_currentApplication = nullptr;
}

ZuApplication* ZuApplication::instance() { return g_currentApplication; }

void ZuApplication::registerWindow(ZuWindow* window) { m_windows.insert(window); }

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

void ZuApplication::quit() { PostQuitMessage(0); }

int ZuApplication::runMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0)
            return static_cast<int>(msg.wParam);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}
