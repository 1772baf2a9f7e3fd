#include "uninstall/QuorFileCleaner.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* bytes; // the whole file
    int number;
};

class ProductInfoNumberTable : public testing::TestWithParam<NumberCase> {};

TEST_P(ProductInfoNumberTable, ReadsTheNumberAfterTheFirstEquals) {
    TempDir temp;
    std::wstring file = temp.path() + L"ProductInfo.txt";
    ASSERT_TRUE(writeFileBytes(file, GetParam().bytes));
    EXPECT_EQ(QuorFileCleaner::productInfoNumber(file), GetParam().number) << GetParam().bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, ProductInfoNumberTable,
                         testing::Values(NumberCase{"\xEF\xBB\xBFinstallcount=12\r\nother=5\r\n", 12},
                                         NumberCase{"\xEF\xBB\xBFinstallcount=12", 12},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "count= 7abc\n",
                                                    7},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "count=+3\n",
                                                    3},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "a=b=9\n",
                                                    1},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "count=abc\n",
                                                    1},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "count=0\n",
                                                    1},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "count=\n",
                                                    1},
                                         NumberCase{"\xEF\xBB\xBF"
                                                    "no equals sign\ncount=4\n",
                                                    1},
                                         NumberCase{"\xEF\xBB\xBF\xE6\x95\xB0\xE9\x87\x8F=21\n", 21},
                                         NumberCase{"", 1},
                                         // Without a byte-order mark the line is read whole.
                                         NumberCase{"x=12\n", 12}));

TEST(ProductInfoNumber, MissingFileGivesOne) {
    TempDir temp;
    EXPECT_EQ(QuorFileCleaner::productInfoNumber(temp.path() + L"ProductInfo.txt"), 1);
}

TEST(ProductInfoNumber, ReadOnlyFileIsStillRead) {
    TempDir temp;
    std::wstring file = temp.path() + L"ProductInfo.txt";
    ASSERT_TRUE(writeFileBytes(file, "\xEF\xBB\xBFn=5\n"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(QuorFileCleaner::productInfoNumber(file), 5);
}

TEST(ProductInfoNumber, OnlyTheFirst1023BytesOfTheLineCount) {
    std::string line(1015, 'a');
    line += "=123456789\n"; // the digits run past byte 1023
    TempDir temp;
    std::wstring file = temp.path() + L"ProductInfo.txt";
    ASSERT_TRUE(writeFileBytes(file, "\xEF\xBB\xBF" + line));
    EXPECT_EQ(QuorFileCleaner::productInfoNumber(file), 1234567);
}

} // namespace
