#include "base/LogFile.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cwctype>

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
