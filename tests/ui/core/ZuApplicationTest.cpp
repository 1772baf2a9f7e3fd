#include "ui/core/ZuApplication.h"
#include "ui/core/ZuDebugOutput.h"
#include "ui/core/ZuDefaultFont.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

ZuWindow* fakeWindow(int n) {
    return reinterpret_cast<ZuWindow*>(static_cast<uintptr_t>(0x1000 + n));
}

int g_quitCode = 0;
void CALLBACK postQuitWithCode(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(g_quitCode);
}
void CALLBACK closeLastWindow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    ZuApplication::instance()->unregisterWindow(fakeWindow(1));
}

} // namespace

TEST(ZuApplication, ExecWithoutWindowsReturnsZeroAtOnce) {
    ZuApplication app;
    DWORD start = GetTickCount();
    EXPECT_EQ(app.exec(), 0);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST(ZuApplication, ExecWithoutWindowsReturnsAWaitingQuitCode) {
    ZuApplication app;
    PostQuitMessage(-2);
    EXPECT_EQ(app.exec(), -2);
    EXPECT_EQ(app.exec(), 0) << "the quit request was taken from the queue";
}

TEST(ZuApplication, ClosingTheLastWindowEndsTheLoopWithZero) {
    ZuApplication app;
    app.registerWindow(fakeWindow(1));
    SetTimer(nullptr, 0, 10, closeLastWindow);
    EXPECT_EQ(app.exec(), 0);
    EXPECT_EQ(app.windowCount(), 0u);
}

TEST(ZuApplication, QuitRequestWithCodeEndsTheLoopWithThatCode) {
    ZuApplication app;
    app.registerWindow(fakeWindow(1));
    g_quitCode = 3;
    SetTimer(nullptr, 0, 10, postQuitWithCode);
    EXPECT_EQ(app.exec(), 3);
    app.unregisterWindow(fakeWindow(1));
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ZuApplication, OnlyTheLastWindowPostsQuit) {
    ZuApplication app;
    app.registerWindow(fakeWindow(1));
    app.registerWindow(fakeWindow(2));
    app.unregisterWindow(fakeWindow(2));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    app.unregisterWindow(fakeWindow(1));
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(ZuApplication, CurrentApplicationAndDirectory) {
    EXPECT_EQ(ZuApplication::instance(), nullptr);
    {
        ZuApplication app;
        EXPECT_EQ(ZuApplication::instance(), &app);
        EXPECT_TRUE(app.gdiplusStarted());
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring self = path;
        EXPECT_EQ(app.applicationDirectory(), self.substr(0, self.find_last_of(L"\\/")));
    }
    EXPECT_EQ(ZuApplication::instance(), nullptr);
}

TEST(ZuDefaultFont, DefaultsAndFamilyCheck) {
    ZuApplication app;
    ZuFont font = ZuDefaultFont::defaultFont();
    EXPECT_EQ(font.family, L"SimSun");
    EXPECT_EQ(font.size, 14.0);
    EXPECT_EQ(font.style, 0);
    EXPECT_EQ(font.alpha, 255);
    ZuFont missing = font;
    missing.family = L"No Such Family 7f3a";
    EXPECT_FALSE(ZuDefaultFont::isFontFamilyAvailable(missing));
    EXPECT_FALSE(zuPreferDefaultFontFamily(L"No Such Family 7f3a", 12));
    EXPECT_EQ(ZuDefaultFont::defaultFont().family, L"SimSun") << "a missing family changes nothing";
    EXPECT_EQ(ZuDefaultFont::defaultFont().size, 14.0);
    ZuFont present = font;
    present.family = L"WenQuanYi Micro Hei"; // installed by scripts/bootstrap
    EXPECT_TRUE(ZuDefaultFont::isFontFamilyAvailable(present));
}

namespace {

std::vector<int> g_idleCounts;
bool countIdle(void*, int idleCount) {
    g_idleCounts.push_back(idleCount);
    return idleCount < 2;
}

std::vector<std::string> g_filtered;
bool firstFilter(void*, MSG& msg) {
    if (msg.message >= WM_APP)
        g_filtered.push_back("first " + std::to_string(msg.message - WM_APP));
    return false;
}
bool secondFilter(void*, MSG& msg) {
    if (msg.message >= WM_APP)
        g_filtered.push_back("second " + std::to_string(msg.message - WM_APP));
    return msg.message == WM_APP + 2; // consumed: the first filter never sees it
}

void CALLBACK quitSoon(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostQuitMessage(5);
}

std::vector<ZuWindow*> g_destroyed;
void destroyWindow(ZuWindow* window) {
    g_destroyed.push_back(window);
    ZuApplication::instance()->unregisterWindow(window);
}

} // namespace

TEST(ZuApplication, IdleHandlersRunPerIdlePeriodAndFiltersLastFirst) {
    ZuApplication app;
    app.registerWindow(fakeWindow(1));
    app.addIdleHandler(countIdle, nullptr);
    app.addMessageFilter(firstFilter, nullptr);
    app.addMessageFilter(secondFilter, nullptr);
    PostMessageW(nullptr, WM_APP + 1, 0, 0);
    PostMessageW(nullptr, WM_APP + 2, 0, 0);
    SetTimer(nullptr, 0, 30, quitSoon);
    EXPECT_EQ(app.exec(), 5);
    EXPECT_EQ(g_filtered, (std::vector<std::string>{"second 1", "first 1", "second 2"}));
    EXPECT_EQ(g_idleCounts, (std::vector<int>{0, 1, 2})) << "one idle period, ended by the pass that said no";
    app.removeIdleHandler(countIdle, nullptr);
    app.removeMessageFilter(firstFilter, nullptr);
    app.removeMessageFilter(secondFilter, nullptr);
    app.unregisterWindow(fakeWindow(1));
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ZuApplication, DestructorDestroysTheWindowsStillOpen) {
    ZuApplication::setWindowDestroyer(destroyWindow);
    {
        ZuApplication app;
        app.registerWindow(fakeWindow(2));
        app.registerWindow(fakeWindow(1));
        EXPECT_EQ(app.flag(), 0);
        EXPECT_EQ(app.classRecord(), ZuApplication::staticRecord());
    }
    ZuApplication::setWindowDestroyer(nullptr);
    EXPECT_EQ(g_destroyed, (std::vector<ZuWindow*>{fakeWindow(1), fakeWindow(2)}))
        << "first of the set each time";
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ZuDebugOutput, LinesArePrefixedAndNumbersAppended) {
    std::wostringstream out;
    std::wostream* previous = zuSetDebugStream(&out);
    zuDebugLine(L"ZuGraphicsView paint");
    zuDebugLine(L"ZuResourceLib missing", 3LL);
    zuDebugLine(L"scale", 1.5);
    ZuApplication::debugLine(L"done");
    zuSetDebugStream(previous);
    EXPECT_EQ(
        out.str(),
        L"Debug: ZuGraphicsView paint\nDebug: ZuResourceLib missing 3\nDebug: scale 1.5\nDebug: done\n");
}
