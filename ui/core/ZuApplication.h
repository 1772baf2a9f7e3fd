#pragma once

#include "ui/core/ZuObject.h"
#include "ui/core/ZuRttiObject.h"

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class ZuWindow;

// The toolkit's process frame: one per process, on the entry function's stack.
// It owns the GDI+ session, the set of live native windows and the deferred
// deletion of objects, and runs the message loop whose result becomes the
// exit code.
class ZuApplication : public ZuObject, public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuApplication)
public:
    // Called between messages with a counter that grows per pass; returning
    // false ends the calls for this idle period.
    using IdleHandler = bool (*)(void* context, int idleCount);
    // Returns true when it consumed the message.
    using MessageFilter = bool (*)(void* context, MSG& message);
    // The native-window module destroys a window still open at exit with this.
    using WindowDestroyer = void (*)(ZuWindow* window);

    ZuApplication();
    ~ZuApplication() override;

    static ZuApplication* instance();

    void registerWindow(ZuWindow* window);
    // Unregistering the last window posts a quit request with code 0.
    void unregisterWindow(ZuWindow* window);
    size_t windowCount() const { return m_windows.size(); }
    const std::set<ZuWindow*>& windows() const { return m_windows; }

    // With no window open, returns the code of a quit request already waiting,
    // or 0, without waiting. Otherwise runs the loop until the quit request.
    int exec();
    static void quit();

    void addIdleHandler(IdleHandler handler, void* context);
    void removeIdleHandler(IdleHandler handler, void* context);
    void addMessageFilter(MessageFilter filter, void* context);
    void removeMessageFilter(MessageFilter filter, void* context);
    static void setWindowDestroyer(WindowDestroyer destroyer);

    const std::wstring& applicationDirectory() const { return m_applicationDirectory; }
    bool gdiplusStarted() const { return m_gdiplusToken != 0; }
    uint8_t flag() const { return m_flag; }
    void setFlag(uint8_t flag) { m_flag = flag; }

    static void debugLine(const wchar_t* text);

private:
    template <typename F> struct Hook {
        F function;
        void* context;
        bool operator==(const Hook&) const = default;
    };

    int runMessageLoop();
    bool runIdleHandlers(int idleCount);
    bool filterMessage(MSG& message);

    std::set<ZuWindow*> m_windows;
    std::wstring m_applicationDirectory;
    uint8_t m_flag = 0;
    ULONG_PTR m_gdiplusToken = 0;
    std::vector<Hook<IdleHandler>> m_idleHandlers;
    std::vector<Hook<MessageFilter>> m_filters;
};
