// The product stand-ins: each leaves one journal line (program, command line,
// working directory); the product ends on its quit message, the assistant only
// when ended.
#include "base/KnownFolders.h"
#include "base/ProductInfo.h"
#include "product/ProductJournal.h"

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::wstring journalPath() {
    return quor::roamingAppDataFolder() + L"\\belvane\\quor\\" + quor::product::kJournalFileName;
}

std::wstring journalText() {
    std::string bytes = readFileBytes(journalPath());
    int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], size);
    return text;
}

struct Started {
    PROCESS_INFORMATION pi = {};
    Started(const std::wstring& program, const std::wstring& arguments, const std::wstring& directory) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       directory.c_str(), &si, &pi);
    }
    ~Started() {
        if (!pi.hProcess)
            return;
        TerminateProcess(pi.hProcess, 0);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    bool endsWithin(DWORD ms) const {
        return pi.hProcess && WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0;
    }
};

} // namespace

TEST(ProductPrograms, EachToolLeavesOneJournalLineWithItsCommandLineAndDirectory) {
    TempDir work;
    const wchar_t* tools[] = {L"quorrun.exe", L"installstat.exe", L"quordesktopshortcut_x86.exe",
                              L"quorwizard.exe"};
    for (const wchar_t* tool : tools) {
        DeleteFileW(journalPath().c_str());
        std::wstring program = testBinDirectory() + tool;
        Started run(program, L"-reg \"|8.17.0.0|1|i|\"", work.path());
        ASSERT_TRUE(run.endsWithin(20000));
        std::wstring expected = program + L"\t\"" + program + L"\" -reg \"|8.17.0.0|1|i|\"\t" +
                                work.path().substr(0, work.path().size() - 1) + L"\r\n";
        EXPECT_EQ(journalText(), expected);
    }
}

TEST(ProductPrograms, ProductEndsOnItsQuitMessageAndTheAssistantStaysUntilEnded) {
    TempDir work;
    DeleteFileW(journalPath().c_str());
    Started product(testBinDirectory() + L"Quor.exe", L"", work.path());
    Started assistant(testBinDirectory() + L"quorassistant.exe", L"", work.path());
    HWND window = nullptr;
    for (int i = 0; i < 500 && !window; ++i) {
        window = FindWindowW(quor::product::kMainWindowClass, nullptr);
        if (!window)
            Sleep(20);
    }
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, product.pi.dwProcessId);
    EXPECT_FALSE(product.endsWithin(300));
    PostMessageW(window, quor::product::kQuitMessage, 0, 0);
    ASSERT_TRUE(product.endsWithin(10000));
    DWORD code = 1;
    GetExitCodeProcess(product.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(assistant.endsWithin(500)) << "the assistant runs until something ends it";
    std::wstring journal = journalText();
    EXPECT_NE(journal.find(testBinDirectory() + L"Quor.exe\t"), std::wstring::npos);
    EXPECT_NE(journal.find(testBinDirectory() + L"quorassistant.exe\t"), std::wstring::npos);
}
