#include "setup/QuorSetupControl.h"

#include "setup/QuorSetupCore.h"
#include "setup/QuorSetupUI.h"
#include "setup/SetupMessages.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

namespace {

// Records what the controller asks of the windows instead of posting.
class RecordingUI : public QuorSetupUI {
public:
    std::vector<std::wstring> calls;
    void showCheckUI() override { add(L"showCheckUI"); }
    void onShowRetryUI() override { add(L"onShowRetryUI"); }
    void onShowQuorRunning() override { add(L"onShowQuorRunning"); }
    void onShowSetupExist() override { add(L"onShowSetupExist"); }
    void onShowSetupInvalid() override { add(L"onShowSetupInvalid"); }
    void onDecompressBegin() override { add(L"onDecompressBegin"); }
    void onDecompressProgress(int index, int count) override {
        add(L"onDecompressProgress " + std::to_wstring(index) + L"/" + std::to_wstring(count));
    }
    void onPrepareShowMainUI(const std::wstring& path) override { add(L"onPrepareShowMainUI " + path); }
    void onDecompressFinish() override { add(L"onDecompressFinish"); }
    void onQuitSetup() override { add(L"onQuitSetup"); }
    std::vector<std::wstring> take() {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::move(calls);
    }

private:
    void add(const std::wstring& call) {
        std::lock_guard<std::mutex> lock(m_lock);
        calls.push_back(call);
    }
    std::mutex m_lock;
};

// The code of a waiting quit request, or none.
bool takeQuit(int* code) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *code = static_cast<int>(msg.wParam);
    return true;
}

// A runtime installation that runs on until it is released.
DWORD WINAPI hangs(LPVOID release) {
    WaitForSingleObject(static_cast<HANDLE>(release), 60000);
    return 7;
}

} // namespace

// One sequence, because the first check keeps the installer mutex for the process.
TEST(QuorSetupControl, SilentRunsQuitWithTheirExitCodes) {
    HANDLE probe = OpenMutexW(SYNCHRONIZE, FALSE, kSetupMutexName);
    ASSERT_EQ(probe, nullptr) << "no installer may run during this test";
    int code = 99;
    {
        QuorSetupControl control;
        control.startSetup(L"setup.exe -silence Q:\\nowhere");
        EXPECT_TRUE(control.isSilent());
        EXPECT_EQ(control.setupPath(), L"Q:\\nowhere");
        ASSERT_TRUE(takeQuit(&code));
        EXPECT_EQ(code, kExitBadInstallPath);
        EXPECT_FALSE(takeQuit(&code)) << "one quit request per run";
        EXPECT_TRUE(control.core()->installDirectory().empty()) << "nothing is handed on for a bad path";
    }
    {
        // This process holds the mutex now, like another installer would.
        QuorSetupControl control;
        control.startSetup(L"setup.exe -silence=C:\\Quor");
        ASSERT_TRUE(takeQuit(&code));
        EXPECT_EQ(code, kExitSetupExist);
    }
    {
        QuorSetupControl control;
        control.startSetup(L"setup.exe -SILENCE C:\\Quor");
        EXPECT_FALSE(control.isSilent()) << "the switch is case-sensitive";
        EXPECT_FALSE(takeQuit(&code)) << "an interactive start does not quit";
    }
}

TEST(QuorSetupControl, InteractiveReportsBecomeWindowMessages) {
    auto* ui = new RecordingUI;
    ASSERT_TRUE(QuorSetupUI::installInstance(ui));
    {
        QuorSetupControl control;
        control.setSetupPath(L"D:\\Games");
        EXPECT_EQ(control.core()->installDirectory(), L"D:\\Games\\");
        control.onCheckResult(CR_Success);
        control.onCheckResult(CR_SetupExist);
        control.onCheckResult(CR_SetupInvalid);
        control.onCheckResult(7);
        control.onQuorRunning();
        control.onDecompressBegin();
        control.onDecompressProgress(0, 2);
        control.onDecompressProgress(1, 2);
        control.onDecompressFail(L"D:\\Games\\x.dll");
        control.onDecompressFinish(true);
        control.onDecompressFinish(false);
        EXPECT_EQ(ui->take(),
                  (std::vector<std::wstring>{L"onPrepareShowMainUI D:\\Games", L"onShowSetupExist",
                                             L"onShowSetupInvalid", L"onShowSetupInvalid",
                                             L"onShowQuorRunning", L"onDecompressBegin",
                                             L"onDecompressProgress 0/2", L"onDecompressProgress 1/2",
                                             L"onShowRetryUI", L"onDecompressFinish", L"onQuitSetup"}));
        int code;
        EXPECT_FALSE(takeQuit(&code));
    }
    EXPECT_NE(QuorSetupUI::instance(), nullptr);
    QuorSetupUI::destroyInstance();
}

TEST(QuorSetupControl, InteractiveStartShowsTheCheckWindowAndChecksOnAThread) {
    auto* ui = new RecordingUI;
    ASSERT_TRUE(QuorSetupUI::installInstance(ui));
    {
        QuorSetupControl control;
        control.startSetup(L"setup.exe");
        EXPECT_FALSE(control.isSilent());
        EXPECT_FALSE(control.setupPath().empty()) << "the default path is computed";
        control.stopCheck();
        std::vector<std::wstring> calls = ui->take();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0], L"showCheckUI");
        // Either the first check of this process or a later one.
        EXPECT_TRUE(calls[1] == L"onPrepareShowMainUI " + control.setupPath() ||
                    calls[1] == L"onShowSetupExist")
            << calls[1];
    }
}

TEST(QuorSetupControl, FinishSetupLeavesAHangingRuntimeThreadAliveAndQuitsZero) {
    QuorSetupControl control;
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, hangs, release, 0, nullptr);
    HANDLE watch = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &watch, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    control.core()->setCrtThread(thread);
    DWORD before = GetTickCount();
    control.finishSetup();
    DWORD took = GetTickCount() - before;
    EXPECT_GE(took, 1900u);
    EXPECT_LT(took, 4000u);
    int code = 99;
    ASSERT_TRUE(takeQuit(&code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(control.core()->crtRunning()) << "the entry ends the process without its teardown";
    control.finishSetup();
    EXPECT_FALSE(takeQuit(&code)) << "a second finish does not ask again";
    SetEvent(release);
    ASSERT_EQ(WaitForSingleObject(watch, 10000), WAIT_OBJECT_0);
    DWORD threadCode = 0;
    GetExitCodeThread(watch, &threadCode);
    EXPECT_EQ(threadCode, 7u) << "the thread ended on its own, it was not killed";
    CloseHandle(watch);
    CloseHandle(release);
}
