// The extraction worker's interactive run, with the test payload "roots" embedded
// in this test program as its "ZIP" resource and the product stand-ins running.
#include "setup/QuorSetupDecompressor.h"

#include "base/KnownFolders.h"
#include "setup/QuorSetupListener.h"

#include "tests/support/Files.h"
#include "tests/support/Payloads.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <vector>

namespace {

class RecordingListener : public QuorSetupListener {
public:
    void onCheckResult(int) override { add(L"check"); }
    void onQuorRunning() override { add(L"running"); }
    void onDecompressBegin() override { add(L"begin"); }
    void onDecompressProgress(int index, int count) override {
        std::lock_guard<std::mutex> lock(m_lock);
        ++progressSteps;
        lastCount = count;
        if (index != progressSteps - 1)
            outOfOrder = true;
    }
    void onDecompressFail(const std::wstring&) override { add(L"fail"); }
    void onDecompressFinish(bool ok) override { add(ok ? L"finish ok" : L"finish failed"); }

    std::vector<std::wstring> calls() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_calls;
    }
    bool waitFor(const std::wstring& call, DWORD ms) {
        for (DWORD waited = 0; waited < ms; waited += 10) {
            for (const std::wstring& c : calls())
                if (c == call)
                    return true;
            Sleep(10);
        }
        return false;
    }
    int progressSteps = 0;
    int lastCount = 0;
    bool outOfOrder = false;

private:
    void add(const std::wstring& call) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_calls.push_back(call);
    }
    std::mutex m_lock;
    std::vector<std::wstring> m_calls;
};

struct Product {
    PROCESS_INFORMATION pi = {};
    explicit Product(const std::wstring& path) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring commandLine = L"\"" + path + L"\"";
        CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    ~Product() {
        if (!pi.hProcess)
            return;
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool alive() const { return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
};

// The stand-in registers its window class at once; give it a moment to create the window.
void startedProduct(const std::wstring& install, std::unique_ptr<Product>& product) {
    quor::createDirectoryTree(install);
    ASSERT_TRUE(
        CopyFileW((testBinDirectory() + L"Quor.exe").c_str(), (install + L"Quor.exe").c_str(), FALSE));
    product = std::make_unique<Product>(install + L"Quor.exe");
    ASSERT_TRUE(product->alive());
    Sleep(500);
}

} // namespace

TEST(QuorSetupDecompressor, RunningProductWaitsForTheUserThenIsClosedAndTheRunGoesOn) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::unique_ptr<Product> product;
    startedProduct(install, product);
    RecordingListener listener;
    QuorSetupDecompressor worker;
    worker.setListener(&listener);
    worker.setSetupPath(install);
    ASSERT_EQ(worker.start(true), 1);
    ASSERT_TRUE(listener.waitFor(L"running", 10000));
    Sleep(300);
    EXPECT_EQ(listener.calls(), std::vector<std::wstring>{L"running"})
        << "nothing else while the user decides";
    EXPECT_TRUE(product->alive());
    worker.forceQuit();
    ASSERT_TRUE(listener.waitFor(L"finish ok", 30000));
    worker.wait();
    EXPECT_FALSE(product->alive());
    EXPECT_EQ(listener.calls(), (std::vector<std::wstring>{L"running", L"begin", L"finish ok"}));
    size_t entries = listTree(testPayloadDirectory() + L"roots\\").size();
    EXPECT_EQ(listener.progressSteps, static_cast<int>(entries));
    EXPECT_EQ(listener.lastCount, static_cast<int>(entries));
    EXPECT_FALSE(listener.outOfOrder);
    EXPECT_EQ(readFileBytes(install + L"Quor.exe"),
              readFileBytes(testPayloadDirectory() + L"roots\\InstallDir\\Quor.exe"));
    DeleteFileW((quor::roamingAppDataFolder() + L"\\belvane\\quor\\business\\quorpip\\quor-e2e-roots-bzq.txt")
                    .c_str());
    wchar_t tempFolder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TEMP", tempFolder, MAX_PATH);
    DeleteFileW((std::wstring(tempFolder) + L"\\quor-e2e-roots-temp.txt").c_str());
}

TEST(QuorSetupDecompressor, StopWhileWaitingEndsWithoutAnyFurtherReport) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::unique_ptr<Product> product;
    startedProduct(install, product);
    RecordingListener listener;
    QuorSetupDecompressor worker;
    worker.setListener(&listener);
    worker.setSetupPath(install);
    ASSERT_EQ(worker.start(true), 1);
    ASSERT_TRUE(listener.waitFor(L"running", 10000));
    worker.stop();
    EXPECT_EQ(listener.calls(), std::vector<std::wstring>{L"running"});
    EXPECT_TRUE(product->alive());
    EXPECT_FALSE(fileExists(install + L"loose.txt"));
}

TEST(QuorSetupDecompressor, SilentRunWithARunningProductReportsItAndClosesNothing) {
    TempDir temp;
    std::wstring install = temp.path() + L"inst\\";
    std::unique_ptr<Product> product;
    startedProduct(install, product);
    RecordingListener listener;
    QuorSetupDecompressor worker;
    worker.setListener(&listener);
    worker.setSetupPath(install);
    EXPECT_EQ(worker.start(false), 0);
    EXPECT_EQ(listener.calls(), std::vector<std::wstring>{L"running"});
    EXPECT_TRUE(product->alive());
}
