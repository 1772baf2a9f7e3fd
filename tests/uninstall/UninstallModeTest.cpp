#include "uninstall/UninstallMode.h"

#include "base/CommandLine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct ModeCase {
    const wchar_t* arguments; // "DIR" stands for an existing directory with a blank in its name
    int mode;
    bool pathGiven;
};

std::wstring replaceDir(std::wstring text, const std::wstring& dir) {
    for (size_t at; (at = text.find(L"DIR")) != std::wstring::npos;)
        text.replace(at, 3, dir);
    return text;
}

class UninstallModeTable : public testing::TestWithParam<ModeCase> {};

TEST_P(UninstallModeTable, ChoosesTheMode) {
    TempDir temp;
    std::wstring dir = temp.path() + L"my quor";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    std::wstring noBlank = temp.path() + L"quor";
    ASSERT_TRUE(CreateDirectoryW(noBlank.c_str(), nullptr));
    std::wstring arguments = replaceDir(GetParam().arguments, dir);
    for (size_t at; (at = arguments.find(L"PLAIN")) != std::wstring::npos;)
        arguments.replace(at, 5, noBlank);
    std::wstring commandLine = L"\"C:\\x y\\Uninstall.exe\" " + arguments;
    UninstallRun run = chooseUninstallRun(quor::tokenizeCommandLine(commandLine.c_str()));
    EXPECT_EQ(run.mode, GetParam().mode) << commandLine;
    if (GetParam().pathGiven)
        EXPECT_TRUE(run.path == dir || run.path == noBlank) << run.path;
    else
        EXPECT_TRUE(run.path.empty()) << run.path;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UninstallModeTable,
    testing::Values(ModeCase{L"", kUninstallInteractive, false},
                    ModeCase{L"-silence", kUninstallSilent, false},
                    ModeCase{L"-delete -path \"DIR\" -silence", kUninstallSilent, false},
                    ModeCase{L"-silence -delete -path \"DIR\"", kUninstallSilent, false},
                    ModeCase{L"-delete -path \"DIR\"", kUninstallDelete, true},
                    ModeCase{L"-silencedelete -path \"DIR\"", kUninstallSilentDelete, true},
                    ModeCase{L"-path \"DIR\" -silencedelete", kUninstallSilentDelete, true},
                    ModeCase{L"-delete -silencedelete -path \"DIR\"", kUninstallDelete, true},
                    ModeCase{L"-delete -path=\"DIR\"", kUninstallDelete, true},
                    ModeCase{L"-delete -path PLAIN", kUninstallDelete, true},
                    ModeCase{L"-delete -path=PLAIN", kUninstallDelete, true},
                    ModeCase{L"-Silence", kUninstallInteractive, false},
                    ModeCase{L"-Delete -path \"DIR\"", kUninstallInteractive, false},
                    ModeCase{L"-silenceDelete -path \"DIR\"", kUninstallInteractive, false},
                    ModeCase{L"-delete -Path \"DIR\"", kUninstallInteractive, false},
                    ModeCase{L"-silencedelete", kUninstallInteractive, false},
                    ModeCase{L"-delete -path", kUninstallInteractive, false},
                    ModeCase{L"-delete -path \"DIR\\missing\"", kUninstallInteractive, false},
                    ModeCase{L"-silencedelete -path \"Q:\\nowhere at all\"", kUninstallInteractive, false},
                    // Unquoted, a path with a blank is cut at the blank and names nothing.
                    ModeCase{L"-delete -path DIR", kUninstallInteractive, false}));

} // namespace
