#include "base/ZuString.h"
#include "base/MemPool.h"

#include <gtest/gtest.h>

TEST(ZuString, NullAndEmptyAreSharedAndDistinct) {
    ZuString a, b;
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(a.sharesBlockWith(b));
    ZuString empty(L"");
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
    ZuString resized(L"abc");
    resized.resize(0);
    EXPECT_TRUE(resized.sharesBlockWith(empty)) << "resize(0) gives the one empty string";
    EXPECT_TRUE(resized.startsWith(empty));
    EXPECT_FALSE(resized.startsWith(a)) << "startsWith tells empty from null";
    EXPECT_FALSE(a.startsWith(empty));
    EXPECT_TRUE(a.startsWith(b));
    ZuString fromNull(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(fromNull.isNull());
    EXPECT_TRUE(ZuByteString("").isEmpty());
    EXPECT_FALSE(ZuByteString("").isNull());
    EXPECT_TRUE(ZuByteString(static_cast<const char*>(nullptr)).isNull());
    resized.clear();
    EXPECT_TRUE(resized.isNull());
}

TEST(ZuString, CopiesShareUntilOneChanges) {
    ZuString first(L"hello");
    ZuString copy = first;
    EXPECT_TRUE(copy.sharesBlockWith(first));
    EXPECT_EQ(first.referenceCount(), 2);
    copy.append(L" world");
    EXPECT_FALSE(copy.sharesBlockWith(first));
    EXPECT_TRUE(first.equals(L"hello"));
    EXPECT_TRUE(copy.equals(L"hello world"));
    EXPECT_EQ(first.referenceCount(), 1);
    ZuString third = copy;
    third.resize(3);
    EXPECT_TRUE(third.equals(L"hel"));
    EXPECT_TRUE(copy.equals(L"hello world"));
    EXPECT_TRUE(mp_size(const_cast<wchar_t*>(first.constData())) > 0);
}

TEST(ZuString, AppendCases) {
    ZuString s;
    ZuString other(L"xy");
    s.append(other);
    EXPECT_TRUE(s.sharesBlockWith(other)) << "appending to the null string shares";
    s.append(ZuString());
    EXPECT_TRUE(s.sharesBlockWith(other)) << "appending the null string does nothing";
    s.append(L'z');
    EXPECT_TRUE(s.equals(L"xyz"));
    EXPECT_TRUE(other.equals(L"xy"));
    s.append(s);
    EXPECT_TRUE(s.equals(L"xyzxyz"));
    ZuString grown;
    int reallocations = 0;
    const wchar_t* last = nullptr;
    for (int i = 0; i < 2000; ++i) {
        grown.append(static_cast<wchar_t>(L'a' + i % 26));
        if (grown.constData() != last) {
            ++reallocations;
            last = grown.constData();
        }
    }
    EXPECT_EQ(grown.length(), 2000);
    EXPECT_EQ(grown.at(1999), static_cast<wchar_t>(L'a' + 1999 % 26));
    EXPECT_EQ(grown.constData()[2000], 0);
    EXPECT_LT(reallocations, 40) << "capacity grows in steps";
}

TEST(ZuString, MidLeftRightCases) {
    ZuString s(L"abcdef");
    struct Case {
        int pos, n;
        const wchar_t* expected; // null: the null string
    } mids[] = {{0, -1, L"abcdef"},
                {2, 2, L"cd"},
                {4, 10, L"ef"},
                {-2, 4, L"ab"},
                {-3, 2, L""},
                {5, -1, L"f"},
                {6, 1, nullptr},
                {7, 1, nullptr},
                // A negative count runs to the end, whatever the position.
                {-2, -1, L"abcdef"},
                {-10, -1, L"abcdef"}};
    for (const Case& c : mids) {
        ZuString m = s.mid(c.pos, c.n);
        if (!c.expected)
            EXPECT_TRUE(m.isNull()) << c.pos << "," << c.n;
        else
            EXPECT_TRUE(m.equals(c.expected)) << c.pos << "," << c.n;
    }
    EXPECT_TRUE(s.mid(0, -1).sharesBlockWith(s));
    EXPECT_TRUE(s.mid(0, 6).sharesBlockWith(s));
    EXPECT_TRUE(s.left(3).equals(L"abc"));
    EXPECT_TRUE(s.left(-1).sharesBlockWith(s));
    EXPECT_TRUE(s.left(99).sharesBlockWith(s));
    EXPECT_TRUE(s.right(2).equals(L"ef"));
    EXPECT_TRUE(s.right(6).sharesBlockWith(s));
    EXPECT_TRUE(ZuString().mid(0, 1).isNull());
}

TEST(ZuString, ReplaceCases) {
    struct Case {
        const wchar_t *text, *before, *after, *expected;
    } cases[] = {{L"a.b.c", L".", L"::", L"a::b::c"}, {L"aaaa", L"aa", L"b", L"bb"},
                 {L"aaa", L"aa", L"xyz", L"xyza"},    {L"path\\to\\x", L"\\", L"/", L"path/to/x"},
                 {L"abc", L"abc", L"", L""},          {L"abc", L"zz", L"y", L"abc"}};
    for (const Case& c : cases)
        EXPECT_TRUE(ZuString(c.text).replace(c.before, c.after).equals(c.expected))
            << c.text << " " << c.before;
    ZuString same(L"abc");
    EXPECT_TRUE(same.replace(L"q", L"r").sharesBlockWith(same)) << "nothing to replace: same text";
}

TEST(ZuString, QueriesAndProducers) {
    ZuString s(L"C:\\dir\\file.txt");
    EXPECT_EQ(s.indexOf(L'\\'), 2);
    EXPECT_EQ(s.indexOf(L'\\', 3), 6);
    EXPECT_EQ(s.indexOf(L'q'), -1);
    EXPECT_EQ(s.indexOf(L'C', 99), -1);
    EXPECT_EQ(s.indexOf(ZuString(L"file")), 7);
    EXPECT_EQ(s.indexOf(ZuString(L"dir"), 4), -1);
    EXPECT_EQ(s.lastIndexOf(L'\\'), 6);
    EXPECT_EQ(s.lastIndexOf(L'\\', 5), 2);
    EXPECT_EQ(s.lastIndexOf(L'\\', -10), 2);
    EXPECT_EQ(s.lastIndexOf(L'\\', 99), -1);
    EXPECT_EQ(s.at(0), L'C');
    EXPECT_EQ(s.at(99), 0);
    EXPECT_LT(ZuString(L"ab").compare(ZuString(L"abc")), 0);
    EXPECT_GT(ZuString(L"b").compare(ZuString(L"abc")), 0);
    EXPECT_EQ(ZuString(L"abc").compare(ZuString(L"abc")), 0);
    EXPECT_TRUE(ZuString(L"ab") < ZuString(L"b"));
    EXPECT_TRUE(s.startsWith(L"C:\\"));
    EXPECT_FALSE(s.startsWith(L"D:"));
    EXPECT_TRUE(ZuString(L"setup:Title.png").toUpper().equals(L"SETUP:TITLE.PNG"));
    EXPECT_TRUE(ZuString::number(-42).equals(L"-42"));
    EXPECT_TRUE(ZuString::number(255, 16).equals(L"ff"));
    EXPECT_TRUE(ZuByteString::number(7).equals("7"));
    // The runtime writes other radices unsigned: 32 binary digits, twice what 16 units hold.
    EXPECT_TRUE(ZuString::number(-2147483647 - 1, 2).equals(L"10000000000000000000000000000000"));
    EXPECT_TRUE(ZuString(L'x').equals(L"x"));
    EXPECT_TRUE(ZuString(L"abcdef", 3).equals(L"abc"));
}

TEST(ZuString, ConversionsFromBytes) {
    ZuString utf8 = ZuString::fromUtf8("gr\xC3\xBC\xC3\x9F");
    EXPECT_TRUE(utf8.equals(L"gr\u00FC\u00DF"));
    EXPECT_EQ(utf8.length(), 4);
    EXPECT_TRUE(ZuString::fromAnsi("plain").equals(L"plain"));
    EXPECT_TRUE(ZuString::fromUtf8(nullptr).isNull());
    EXPECT_TRUE(ZuString::fromUtf8("").isEmpty());
}

TEST(ZuByteString, SameRulesWithBytes) {
    ZuByteString a("key=value");
    ZuByteString b = a;
    b.append("!");
    EXPECT_TRUE(a.equals("key=value"));
    EXPECT_TRUE(b.equals("key=value!"));
    EXPECT_EQ(a.indexOf('='), 3);
    EXPECT_TRUE(a.mid(4).equals("value"));
    EXPECT_TRUE(a.replace("value", "v").equals("key=v"));
}
