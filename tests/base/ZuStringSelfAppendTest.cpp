#include "base/ZuString.h"

#include <gtest/gtest.h>

#include <string>

// Run with the heap's free checking on (see the CMakeLists), which overwrites a
// freed heap block at once: reading text from a block after it moved shows.
// Text taken from the string's own block while the append makes the block grow:
// a pool block, a heap block and one large enough to be a mapping of its own,
// which is unmapped when it moves.
class ZuStringSelfAppend : public testing::TestWithParam<int> {};

TEST_P(ZuStringSelfAppend, ReadsTheTextBeforeTheBlockMoves) {
    const int length = GetParam();
    ZuString s;
    std::wstring expected;
    for (int i = 0; i < length; ++i) {
        wchar_t c = static_cast<wchar_t>(L'a' + i % 26);
        s.append(c);
        expected += c;
    }
    s.resize(s.capacity()); // full: the next append must grow the block
    expected.resize(s.length(), L'\0');
    for (int i = length; i < s.length(); ++i)
        s.data()[i] = expected[i] = static_cast<wchar_t>(L'A' + i % 26);
    const wchar_t* before = s.constData();
    s.append(s.constData() + 1);
    ASSERT_NE(s.constData(), before) << "the block grew";
    EXPECT_EQ(s.toStdString(), expected + expected.substr(1));
    EXPECT_EQ(s.constData()[s.length()], 0);
}

INSTANTIATE_TEST_SUITE_P(BlockKinds, ZuStringSelfAppend, testing::Values(20, 1000, 400000));
