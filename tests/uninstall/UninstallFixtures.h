#pragma once

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "uninstall/QuorUninstallListener.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// The journal-writing stand-in for the product's programs (ToolRecorder.cpp).
inline std::wstring toolRecorderPath() {
    return testBinDirectory() + L"..\\tests\\product_recorder.exe";
}

inline bool copyRecorder(const std::wstring& to) {
    return CopyFileW(toolRecorderPath().c_str(), to.c_str(), FALSE) != FALSE;
}

// A started program that is ended (if still alive) and closed at the end of the test.
class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& program) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &si, &m_info))
            CloseHandle(m_info.hThread);
        else
            m_info.hProcess = nullptr;
    }
    ~RunningProgram() {
        if (m_info.hProcess) {
            TerminateProcess(m_info.hProcess, 1);
            WaitForSingleObject(m_info.hProcess, 5000);
            CloseHandle(m_info.hProcess);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_info.hProcess != nullptr; }
    bool alive() const { return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }
    bool endsWithin(DWORD ms) const {
        return m_info.hProcess && WaitForSingleObject(m_info.hProcess, ms) == WAIT_OBJECT_0;
    }
    void end() { TerminateProcess(m_info.hProcess, 1), WaitForSingleObject(m_info.hProcess, 5000); }

private:
    PROCESS_INFORMATION m_info = {};
};

// Records what the workers report.
class RecordingListener : public QuorUninstallListener {
public:
    struct Step {
        std::wstring name;
        unsigned int step, total;
    };
    void onQuorRunning() override { ++running; }
    void onQuorClosed() override { ++closed; }
    void onCleanProgress(const std::wstring& name, unsigned int step, unsigned int total) override {
        std::lock_guard<std::mutex> lock(mutex);
        steps.push_back({name, step, total});
    }
    void onCleanFinish() override { ++finished; }

    std::atomic<int> running{0}, closed{0}, finished{0};
    std::mutex mutex;
    std::vector<Step> steps;
};

// Waits until `condition` holds, at most `ms`.
template <typename F> bool waitFor(F condition, DWORD ms = 10000) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

inline std::wstring logText(const std::wstring& path) {
    return utf16Text(readFileBytes(path));
}
