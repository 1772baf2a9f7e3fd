#include "uninstall/QuorUninstallUI.h"

#include "base/LogFile.h"
#include "tests/uninstall/UninstallFixtures.h"
#include "uninstall/QuorFileCleaner.h"
#include "uninstall/QuorUninstallControl.h"
#include "uninstall/QuorUninstallCore.h"
#include "uninstall/QuorUninstallMessages.h"

#include <gtest/gtest.h>

namespace {

// Message-only windows stand in for the prompt and progress windows.
class WindowedUI : public QuorUninstallUI {
public:
    WindowedUI() {
        prompt =
            CreateWindowExW(0, L"STATIC", L"prompt", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        main = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~WindowedUI() override {
        DestroyWindow(prompt);
        DestroyWindow(main);
    }
    HWND prompt, main;

protected:
    HWND promptWindowHandle() const override { return prompt; }
    HWND mainWindowHandle() const override { return main; }
};

bool takeMessage(HWND window, MSG* msg) {
    return PeekMessageW(msg, window, WM_USER, WM_USER + 0x7FFF, PM_REMOVE);
}

TEST(UninstallUI, PostsEachMessageToItsWindow) {
    WindowedUI ui;
    ASSERT_TRUE(ui.prompt && ui.main);
    MSG msg;
    ui.onShowRunning();
    ASSERT_TRUE(takeMessage(ui.prompt, &msg));
    EXPECT_EQ(msg.message, 1224u);
    ui.onClosePrompt();
    ASSERT_TRUE(takeMessage(ui.prompt, &msg));
    EXPECT_EQ(msg.message, 1226u);
    ui.onCleanFinish();
    ASSERT_TRUE(takeMessage(ui.main, &msg));
    EXPECT_EQ(msg.message, 1227u);
    EXPECT_FALSE(takeMessage(ui.prompt, &msg));
    EXPECT_FALSE(takeMessage(ui.main, &msg));
}

TEST(UninstallUI, ProgressCarriesTheFractionOnTheHeap) {
    WindowedUI ui;
    struct Case {
        unsigned int step, total;
        double fraction;
    } cases[] = {{1, 200, 0.005}, {200, 200, 1.0}, {250, 200, 1.25}, {0, 200, 0.0}};
    for (const Case& c : cases) {
        ui.onProgress(L"C:\\q\\a.txt", c.step, c.total);
        MSG msg;
        ASSERT_TRUE(takeMessage(ui.main, &msg));
        EXPECT_EQ(msg.message, static_cast<UINT>(MSG_UNINSTALL_PROGRESS));
        EXPECT_EQ(msg.wParam, 0u);
        double* value = reinterpret_cast<double*>(msg.lParam);
        ASSERT_NE(value, nullptr);
        EXPECT_DOUBLE_EQ(*value, c.fraction);
        delete value;
    }
}

TEST(UninstallUI, WithoutWindowsPostingIsANoOpWithALogLine) {
    QuorUninstallUI ui;
    ui.onShowRunning();
    ui.onProgress(L"x", 1, 200);
    ui.onCleanFinish();
    std::wstring log = logText(quor::processLog().path());
    EXPECT_NE(log.find(L"QuorUninstallUI::onShowRunning, no window, message 1224 not posted."),
              std::wstring::npos);
    EXPECT_NE(log.find(L"QuorUninstallUI::onProgress, no window, message 1225 not posted."),
              std::wstring::npos);
    EXPECT_NE(log.find(L"QuorUninstallUI::onCleanFinish, no window, message 1227 not posted."),
              std::wstring::npos);
}

// Records the order of the calls that reach it.
class RecordingUI : public QuorUninstallUI {
public:
    void onShowRunning() override { calls += L"running;"; }
    void onClosePrompt() override { calls += L"close;"; }
    void onProgress(const std::wstring& name, unsigned int step, unsigned int total) override {
        calls += L"progress " + name + L" " + std::to_wstring(step) + L"/" + std::to_wstring(total) + L";";
    }
    void onCleanFinish() override { calls += L"finish;"; }
    void setControl(QuorUninstallControlInterface* c) override {
        QuorUninstallUI::setControl(c);
        calls += L"control;";
    }
    std::wstring calls;
};

TEST(UninstallControl, RoutesTheWorkersReports) {
    RecordingUI* ui = new RecordingUI;
    QuorUninstallControl control(ui);
    EXPECT_EQ(ui->control(), static_cast<QuorUninstallControlInterface*>(&control));
    control.onQuorRunning();
    control.onCleanProgress(L"C:\\q\\a.txt", 3, 200);
    control.onCleanFinish();
    EXPECT_EQ(ui->calls, L"control;running;progress C:\\q\\a.txt 3/200;finish;");
}

TEST(UninstallControl, CleanFinishRemovesRegistryThenShortcutsThenTellsTheWindow) {
    RecordingUI* ui = new RecordingUI;
    QuorUninstallControl control(ui);
    std::wstring logPath = quor::processLog().path();
    size_t before = logText(logPath).size();
    control.onCleanFinish();
    std::wstring log = logText(logPath).substr(before);
    size_t registry = log.find(L"QuorUninstallCore::removeRegistry.");
    size_t shortcuts = log.find(L"QuorUninstallCore::removeShortcuts.");
    ASSERT_NE(registry, std::wstring::npos);
    ASSERT_NE(shortcuts, std::wstring::npos);
    EXPECT_LT(registry, shortcuts);
    EXPECT_EQ(ui->calls, L"control;finish;");
}

TEST(UninstallControl, DeleteModeRunsTheCleanerAndItsFinish) {
    TempDir install;
    ASSERT_TRUE(writeFileBytes(install.path() + L"Quor.exe", "MZ"));
    RecordingUI* ui = new RecordingUI;
    {
        QuorUninstallControl control(ui);
        std::wstring dir = install.path().substr(0, install.path().size() - 1);
        std::wstring commandLine = L"Uninstall.exe -delete -path \"" + dir + L"\"";
        EXPECT_EQ(control.uninstall(commandLine.c_str()), 2);
        EXPECT_EQ(control.core().path(), install.path());
        control.core().cleaner().stop(); // waits for the worker
        EXPECT_NE(ui->calls.find(L"finish;"), std::wstring::npos) << ui->calls;
        EXPECT_NE(ui->calls.find(L"progress " + install.path() + L"UnInstall.exe"), std::wstring::npos);
    }
    EXPECT_FALSE(directoryExists(install.path()));
}

} // namespace
