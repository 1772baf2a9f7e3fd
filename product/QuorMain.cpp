// Stand-in for the product: one top-level window of the product's main window
// class; it ends when that window receives the product's quit message.
#include "base/ProductInfo.h"
#include "product/ProductJournal.h"

#include <windows.h>

namespace {

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == quor::product::kQuitMessage) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    quor::product::appendToJournal();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = quor::product::kMainWindowClass;
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window =
        CreateWindowExW(0, quor::product::kMainWindowClass, L"Quor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 320, 240, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
