#include "base/Processes.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::wstring recorderPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self = path;
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"command_line_recorder.exe";
}

// The recorder's first line (its command line) and second line (its folder).
std::pair<std::wstring, std::wstring> recorded(const std::wstring& folder) {
    std::wstring text = utf16Text(readFileBytes(folder + L"recorded.txt"));
    size_t end = text.find(L'\n');
    if (end == std::wstring::npos)
        return {};
    size_t second = text.find(L'\n', end + 1);
    return {text.substr(0, end), text.substr(end + 1, second - end - 1)};
}

} // namespace

struct CommandLineCase {
    const wchar_t* parameters;
    const wchar_t* suffix; // what follows the program part
    bool quotedProgram;
};

class RunProcessCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(RunProcessCommandLine, QuotesProgramAndParameterText) {
    TempDir dir;
    // The recorder runs from a folder without blanks, so the bare path is unambiguous.
    std::wstring program = dir.path() + L"recorder.exe";
    ASSERT_TRUE(CopyFileW(recorderPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(quor::runProcess(program, GetParam().parameters, dir.path().c_str(), true));
    auto [commandLine, folder] = recorded(dir.path());
    std::wstring expected = GetParam().quotedProgram ? L"\"" + program + L"\"" : program;
    EXPECT_EQ(commandLine, expected + GetParam().suffix);
    EXPECT_EQ(folder + L"\\", dir.path());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunProcessCommandLine,
    testing::Values(CommandLineCase{L"-reg", L" \"-reg\"", true},
                    // A parameter text in quotes gets a second pair.
                    CommandLineCase{L"\"|8.17.0.0|1|i|\"", L" \"\"|8.17.0.0|1|i|\"\"", true},
                    CommandLineCase{nullptr, L"", false}, CommandLineCase{L"", L"", false}));

TEST(RunProcess, WithoutWaitReturnsBeforeTheProgramEnds) {
    TempDir dir;
    SetEnvironmentVariableW(L"QUOR_RECORDER_DELAY_MS", L"1500");
    ASSERT_TRUE(quor::runProcess(recorderPath(), L"x", dir.path().c_str(), false));
    SetEnvironmentVariableW(L"QUOR_RECORDER_DELAY_MS", nullptr);
    EXPECT_FALSE(fileExists(dir.path() + L"recorded.txt"));
    for (int i = 0; i < 100 && !fileExists(dir.path() + L"recorded.txt"); ++i)
        Sleep(100);
    EXPECT_TRUE(fileExists(dir.path() + L"recorded.txt"));
    Sleep(200); // let it close the file before the folder goes
}

TEST(RunProcess, FailsForAMissingProgramOrAnOverlongCommandLine) {
    TempDir dir;
    EXPECT_FALSE(quor::runProcess(dir.path() + L"missing.exe", L"-reg", dir.path().c_str(), true));
    std::wstring longText(1100, L'x');
    EXPECT_FALSE(quor::runProcess(recorderPath(), longText.c_str(), dir.path().c_str(), true));
    EXPECT_FALSE(fileExists(dir.path() + L"recorded.txt")) << "nothing was started with a cut command line";
}

namespace {

LRESULT CALLBACK plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

TEST(FindProcessWindow, FindsOwnWindowByClassIgnoringCase) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = plainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorFindWindowTestClass";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(quor::findProcessWindow(GetCurrentProcessId(), L"QUORFINDWINDOWTESTCLASS"), window);
    EXPECT_EQ(quor::findProcessWindow(GetCurrentProcessId(), L"QuorFindWindowTestClas"), nullptr);
    EXPECT_EQ(quor::findProcessWindow(GetCurrentProcessId() + 4, wc.lpszClassName), nullptr);
    EXPECT_EQ(quor::findProcessWindow(GetCurrentProcessId(), nullptr), nullptr);
    DestroyWindow(window);
    EXPECT_EQ(quor::findProcessWindow(GetCurrentProcessId(), wc.lpszClassName), nullptr);
}

TEST(NativeSystemBits, SixtyFourOnThisSixtyFourBitSystem) {
    // The tests run as 64-bit programs, which only a 64-bit system runs.
    ASSERT_EQ(sizeof(void*), 8u);
    EXPECT_EQ(quor::nativeSystemBits(), 64);
}
