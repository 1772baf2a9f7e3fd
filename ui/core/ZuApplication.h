#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

class ZuWindow;

// The toolkit's process frame: one per process, on the entry function's stack.
// It owns the GDI+ session and the set of live native windows, and runs the
// message loop whose result becomes the exit code.
class ZuApplication {
public:
    ZuApplication();
    ~ZuApplication();
    ZuApplication(const ZuApplication&) = delete;
    ZuApplication& operator=(const ZuApplication&) = delete;

    static ZuApplication* instance();

    void registerWindow(ZuWindow* window);
    // Unregistering the last window posts a quit request with code 0.
    void unregisterWindow(ZuWindow* window);
    size_t windowCount() const { return m_windows.size(); }

    // With no window open, returns the code of a quit request already waiting,
    // or 0, without waiting. Otherwise runs the loop until the quit request.
    int exec();
    static void quit();

    const std::wstring& applicationDirectory() const { return m_applicationDirectory; }
    bool gdiplusStarted() const { return m_gdiplusToken != 0; }

private:
    static int runMessageLoop();

    std::set<ZuWindow*> m_windows;
    std::wstring m_applicationDirectory;
    uint8_t m_flag = 0;
    ULONG_PTR m_gdiplusToken = 0;
};
