#pragma once

#include <windows.h>

// Window messages the uninstaller's workers send to its two windows.
enum : UINT {
    MSG_UNINSTALL_RUNNING = WM_USER + 200, // to the prompt window
    MSG_UNINSTALL_PROGRESS =
        WM_USER + 201, // to the progress window; lParam: heap double, owned by the receiver
    MSG_UNINSTALL_CLOSE_PROMPT = WM_USER + 202, // to the prompt window
    MSG_CLEAN_FINISH = WM_USER + 203,           // to the progress window
};
