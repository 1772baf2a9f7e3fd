#include "setup/QuorSetupUI.h"

#include "setup/QuorSetupWindow.h"
#include "setup/SetupMessages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A message-only window whose posted messages the test reads back.
class TestWindow : public QuorSetupWindow {
public:
    explicit TestWindow(bool* deleted) : m_deleted(deleted) {
        m_handle = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~TestWindow() override {
        DestroyWindow(m_handle);
        if (m_deleted)
            *m_deleted = true;
    }
    HWND nativeHandle() const override { return m_handle; }
    void showWindow() override { ++shown; }

    struct Posted {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Posted> take() {
        std::vector<Posted> posted;
        MSG msg;
        while (PeekMessageW(&msg, m_handle, WM_USER, WM_USER + 200, PM_REMOVE))
            posted.push_back({msg.message, msg.wParam, msg.lParam});
        return posted;
    }
    int shown = 0;

private:
    HWND m_handle;
    bool* m_deleted;
};

class WindowedUI : public QuorSetupUI {
public:
    bool checkDeleted = false;
    bool mainDeleted = false;
    std::wstring mainPath;

protected:
    QuorSetupWindow* createCheckWindow() override { return new TestWindow(&checkDeleted); }
    QuorSetupWindow* createMainWindow(const std::wstring& path) override {
        mainPath = path;
        return new TestWindow(&mainDeleted);
    }
};

TestWindow* asTest(QuorSetupWindow* window) {
    return static_cast<TestWindow*>(window);
}

} // namespace

TEST(QuorSetupUI, PostsEachReportToItsWindow) {
    WindowedUI ui;
    ui.showCheckUI();
    ui.showSetupMainUI(L"D:\\Quor");
    ASSERT_NE(ui.checkWindow(), nullptr);
    ASSERT_NE(ui.mainWindow(), nullptr);
    EXPECT_EQ(asTest(ui.checkWindow())->shown, 1);
    EXPECT_EQ(asTest(ui.mainWindow())->shown, 1);
    EXPECT_EQ(ui.mainPath, L"D:\\Quor");

    ui.onShowSetupExist();
    ui.onShowSetupInvalid();
    ui.onPrepareShowMainUI(L"E:\\Elsewhere");
    auto check = asTest(ui.checkWindow())->take();
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[0].message, 1126u);
    EXPECT_EQ(check[1].message, 1125u);
    EXPECT_EQ(check[2].message, 1128u);
    auto* path = reinterpret_cast<std::wstring*>(check[2].wParam);
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(*path, L"E:\\Elsewhere");
    delete path; // the receiver owns it

    ui.onShowQuorRunning();
    ui.onShowRetryUI();
    ui.onDecompressBegin();
    ui.onDecompressProgress(0, 3);
    ui.onDecompressProgress(2, 3);
    ui.onDecompressFinish();
    ui.onQuitSetup();
    auto main = asTest(ui.mainWindow())->take();
    std::vector<UINT> ids;
    for (const auto& p : main)
        ids.push_back(p.message);
    EXPECT_EQ(ids, (std::vector<UINT>{1129, 1130, 1134, 1131, 1131, 1132, 1133}));
    ASSERT_EQ(main.size(), 7u);
    EXPECT_EQ(main[3].wParam, 0u);
    EXPECT_EQ(main[4].wParam, 2u);
    EXPECT_EQ(main[4].lParam, 3);
}

TEST(QuorSetupUI, WithoutWindowsEveryReportIsDropped) {
    QuorSetupUI ui;
    ui.showCheckUI();
    ui.showSetupMainUI(L"D:\\Quor");
    EXPECT_EQ(ui.checkWindow(), nullptr);
    EXPECT_EQ(ui.mainWindow(), nullptr);
    ui.onShowSetupExist();
    ui.onShowSetupInvalid();
    ui.onPrepareShowMainUI(L"D:\\Quor");
    ui.onShowQuorRunning();
    ui.onShowRetryUI();
    ui.onDecompressBegin();
    ui.onDecompressProgress(1, 2);
    ui.onDecompressFinish();
    ui.onQuitSetup();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER + 200, PM_REMOVE))
        << "nothing reached any queue";
}

TEST(QuorSetupUI, DeletingItDeletesBothWindows) {
    bool checkDeleted = false, mainDeleted = false;
    {
        // The flags live outside the object, so they can be read after it is gone.
        class FlagUI : public QuorSetupUI {
        public:
            FlagUI(bool* check, bool* main) : m_check(check), m_main(main) {}

        protected:
            QuorSetupWindow* createCheckWindow() override { return new TestWindow(m_check); }
            QuorSetupWindow* createMainWindow(const std::wstring&) override { return new TestWindow(m_main); }

        private:
            bool* m_check;
            bool* m_main;
        };
        auto* ui = new FlagUI(&checkDeleted, &mainDeleted);
        ui->showCheckUI();
        ui->showSetupMainUI(L"D:\\Quor");
        EXPECT_FALSE(checkDeleted);
        delete ui;
    }
    EXPECT_TRUE(checkDeleted);
    EXPECT_TRUE(mainDeleted);
}

TEST(QuorSetupUI, ProcessWideInstanceIsCreatedOnceAndReplaceable) {
    QuorSetupUI* first = QuorSetupUI::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QuorSetupUI::instance(), first);
    QuorSetupUI other;
    EXPECT_FALSE(QuorSetupUI::installInstance(&other)) << "an existing instance is kept";
    QuorSetupUI::destroyInstance();
    auto* mine = new QuorSetupUI;
    EXPECT_TRUE(QuorSetupUI::installInstance(mine));
    EXPECT_EQ(QuorSetupUI::instance(), mine);
    QuorSetupUI::destroyInstance();
}
