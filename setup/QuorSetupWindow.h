#pragma once

#include <windows.h>

// What the setup notification object needs of the check window and the main
// window: the native handle its messages are posted to, and showing it.
class QuorSetupWindow {
public:
    virtual ~QuorSetupWindow() = default;
    virtual HWND nativeHandle() const = 0;
    virtual void showWindow() = 0;
};
