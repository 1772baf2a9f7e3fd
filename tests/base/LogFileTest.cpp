#include "base/LogFile.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <thread>
#include <vector>

using quor::LogFile;

namespace {

const std::string kBom = "\xFF\xFE";

// "[YYYY-MM-DD hh:mm:ss] " followed by the message and "\r\n".
void expectRecord(const std::wstring& record, const std::wstring& message) {
    ASSERT_GE(record.size(), 24u);
    const wchar_t* shape = L"[dddd-dd-dd dd:dd:dd] ";
    for (size_t i = 0; i < 22; ++i) {
        if (shape[i] == L'd')
            EXPECT_TRUE(iswdigit(record[i])) << "at " << i;
        else
            EXPECT_EQ(record[i], shape[i]) << "at " << i;
    }
    EXPECT_EQ(record.substr(22), message + L"\r\n");
}

// The messages of the records of a log, in file order; false when the file
// does not start with one byte-order mark followed by whole records.
bool readRecords(const std::wstring& path, std::vector<std::wstring>* messages) {
    std::string bytes = readFileBytes(path);
    if (bytes.substr(0, 2) != kBom)
        return false;
    std::wstring text = utf16Text(bytes);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(L"\r\n", at);
        if (end == std::wstring::npos || end - at < 22 || text[at] != L'[')
            return false;
        messages->push_back(text.substr(at + 22, end - at - 22));
        at = end + 2;
    }
    return true;
}

std::wstring logWriterPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring self = path;
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"log_writer.exe";
}

} // namespace

TEST(LogFile, FirstRunCreatesDirectoryAndStartsWithBom) {
    TempDir temp;
    std::wstring dir = temp.path() + L"belvane\\quor\\setup\\";
    LogFile log(dir);
    EXPECT_TRUE(directoryExists(dir)) << "the directory is made at construction";
    EXPECT_FALSE(fileExists(dir + L"setupV2.log")) << "the file is opened lazily";
    log.write(L"hello %s, %d", L"world", 42);
    std::string bytes = readFileBytes(dir + L"setupV2.log");
    ASSERT_EQ(bytes.substr(0, 2), kBom);
    expectRecord(utf16Text(bytes), L"hello world, 42");
}

TEST(LogFile, EachCallIsOneRecordAndEmbeddedNewlinesStay) {
    TempDir temp;
    LogFile log(temp.path(), L"unistV2.log");
    log.write(L"\n\nbanner %s", L"x");
    log.write(L"second");
    std::wstring text = utf16Text(readFileBytes(temp.path() + L"unistV2.log"));
    size_t split = text.find(L"\r\n[");
    ASSERT_NE(split, std::wstring::npos);
    expectRecord(text.substr(0, split + 2), L"\n\nbanner x");
    expectRecord(text.substr(split + 2), L"second");
}

struct SizeCase {
    size_t existingBytes;
    bool appended;
};

class LogFileSizeCap : public testing::TestWithParam<SizeCase> {};

TEST_P(LogFileSizeCap, AppendsUpToOneMebibyteAndRestartsAbove) {
    TempDir temp;
    std::wstring path = temp.path() + L"setupV2.log";
    std::string old(GetParam().existingBytes, 'a');
    ASSERT_TRUE(writeFileBytes(path, old));
    LogFile log(temp.path());
    log.write(L"after");
    std::string bytes = readFileBytes(path);
    if (GetParam().appended) {
        ASSERT_GT(bytes.size(), old.size());
        EXPECT_EQ(bytes.substr(0, old.size()), old);
        std::string tail = bytes.substr(old.size());
        expectRecord(std::wstring(reinterpret_cast<const wchar_t*>(tail.data()), tail.size() / 2), L"after");
    } else {
        ASSERT_EQ(bytes.substr(0, 2), kBom);
        expectRecord(utf16Text(bytes), L"after");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogFileSizeCap,
                         testing::Values(SizeCase{0, false}, SizeCase{1, true}, SizeCase{1048576, true},
                                         SizeCase{1048577, false}));

TEST(LogFile, LongMessageIsCutButRecordStaysWhole) {
    TempDir temp;
    LogFile log(temp.path());
    std::wstring longText(5000, L'x');
    log.write(L"%s", longText.c_str());
    std::wstring text = utf16Text(readFileBytes(temp.path() + L"setupV2.log"));
    expectRecord(text, std::wstring(LogFile::kMessageCapacity - 1, L'x'));
}

TEST(LogFile, FileNameChangesOnlyBeforeOpen) {
    TempDir temp;
    LogFile log(temp.path());
    log.setFileName(L"first.log");
    log.write(L"one");
    log.setFileName(L"second.log");
    log.write(L"two");
    EXPECT_TRUE(fileExists(temp.path() + L"first.log"));
    EXPECT_FALSE(fileExists(temp.path() + L"second.log"));
}

TEST(LogFile, DirectoryInTheWayDropsRecordsWithoutHarm) {
    TempDir temp;
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"setupV2.log").c_str(), nullptr));
    LogFile log(temp.path());
    log.write(L"dropped");
    EXPECT_TRUE(directoryExists(temp.path() + L"setupV2.log"));
}

TEST(LogFile, OpenIsRetriedUntilItSucceeds) {
    TempDir temp;
    std::wstring dir = temp.path() + L"later\\";
    LogFile log(dir);
    ASSERT_TRUE(RemoveDirectoryW(dir.c_str()));
    log.write(L"lost");
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    log.write(L"kept");
    std::wstring text = utf16Text(readFileBytes(dir + L"setupV2.log"));
    expectRecord(text, L"kept");
}

TEST(LogFile, ProcessLogLivesInRoamingAppData) {
    std::wstring dir = quor::processLog().directory();
    EXPECT_NE(dir.find(L"\\belvane\\quor\\setup\\"), std::wstring::npos)
        << std::string(dir.begin(), dir.end());
    EXPECT_TRUE(directoryExists(dir));
}

// Two programs with the same log (a second installer, or the uninstaller beside
// the installer): each has its own handle, and neither writes over the other.
TEST(LogFile, TwoWritersOfOneFileKeepEveryRecordOfBoth) {
    TempDir temp;
    LogFile first(temp.path());
    LogFile second(temp.path());
    for (int i = 0; i < 5; ++i) {
        first.write(L"first %d", i);
        second.write(L"second %d", i);
    }
    std::vector<std::wstring> messages;
    ASSERT_TRUE(readRecords(temp.path() + L"setupV2.log", &messages));
    std::vector<std::wstring> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back(L"first " + std::to_wstring(i));
        expected.push_back(L"second " + std::to_wstring(i));
    }
    EXPECT_EQ(messages, expected);
}

TEST(LogFile, TwoProcessesLoggingAtOnceKeepEveryLineOfBoth) {
    TempDir temp;
    const wchar_t* eventName = L"QuorLogWriterStart";
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, eventName);
    ASSERT_NE(start, nullptr);
    const int kCount = 300;
    std::vector<PROCESS_INFORMATION> writers;
    for (const wchar_t* tag : {L"alpha", L"beta"}) {
        std::wstring commandLine = L"\"" + logWriterPath() + L"\" \"" +
                                   temp.path().substr(0, temp.path().size() - 1) + L"\" " + tag + L" " +
                                   std::to_wstring(kCount) + L" " + eventName;
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(
            CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        writers.push_back(pi);
    }
    SetEvent(start);
    for (PROCESS_INFORMATION& pi : writers) {
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(start);
    std::vector<std::wstring> messages;
    ASSERT_TRUE(readRecords(temp.path() + L"setupV2.log", &messages)) << "one mark, then whole records";
    std::set<std::wstring> seen(messages.begin(), messages.end());
    EXPECT_EQ(messages.size(), 2u * kCount);
    for (const wchar_t* tag : {L"alpha", L"beta"})
        for (int i = 0; i < kCount; ++i)
            EXPECT_EQ(seen.count(std::wstring(tag) + L" record " + std::to_wstring(i)), 1u) << i;
}

// Threads whose first records come at once share one open of the file.
TEST(LogFile, ThreadsStartingTogetherOpenTheFileOnce) {
    TempDir temp;
    LogFile log(temp.path());
    const int kThreads = 8, kCount = 100;
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            WaitForSingleObject(go, INFINITE);
            for (int i = 0; i < kCount; ++i)
                log.write(L"thread %d record %d", t, i);
        });
    SetEvent(go);
    for (std::thread& thread : threads)
        thread.join();
    CloseHandle(go);
    std::vector<std::wstring> messages;
    ASSERT_TRUE(readRecords(temp.path() + L"setupV2.log", &messages));
    std::set<std::wstring> seen(messages.begin(), messages.end());
    EXPECT_EQ(messages.size(), static_cast<size_t>(kThreads * kCount));
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kCount));
}
