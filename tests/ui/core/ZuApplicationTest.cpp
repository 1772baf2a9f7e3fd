#include "ui/core/ZuApplication.h"
#include "ui/core/ZuDefaultFont.h"

#include <gtest/gtest.h>

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
