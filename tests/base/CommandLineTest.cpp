#include "base/CommandLine.h"

#include <gtest/gtest.h>

using quor::tokenizeCommandLine;
using Tokens = std::vector<std::wstring>;

struct TokenCase {
    const wchar_t* commandLine;
    Tokens tokens;
};

class TokenizeCommandLine : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizeCommandLine, SplitsAsTheInstallerReadsIt) {
    EXPECT_EQ(tokenizeCommandLine(GetParam().commandLine), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenizeCommandLine,
    testing::Values(TokenCase{L"", {}}, TokenCase{L"   \t\n", {}},
                    TokenCase{L"setup.exe -silence D:\\Quor", {L"setup.exe", L"-silence", L"D:\\Quor"}},
                    TokenCase{L"setup.exe -silence=D:\\Quor", {L"setup.exe", L"-silence", L"D:\\Quor"}},
                    TokenCase{L"\"C:\\My Downloads\\setup.exe\" -silence \"D:\\Program Files\\Quor\"",
                              {L"C:\\My Downloads\\setup.exe", L"-silence", L"D:\\Program Files\\Quor"}},
                    TokenCase{L"setup.exe -silence=\"D:\\a b\"", {L"setup.exe", L"-silence", L"D:\\a b"}},
                    // A trailing switch is a token of its own with nothing after it.
                    TokenCase{L"setup.exe\t-silence", {L"setup.exe", L"-silence"}},
                    TokenCase{L"a==b  =c", {L"a", L"b", L"c"}},
                    // An empty quoted token stays a token.
                    TokenCase{L"a \"\" b", {L"a", L"", L"b"}},
                    // A quote closes mid-word: the rest is a new token.
                    TokenCase{L"\"ab\"cd", {L"ab", L"cd"}},
                    // An unterminated quote runs to the next separator, without the quote.
                    TokenCase{L"setup.exe -silence \"D:\\a b", {L"setup.exe", L"-silence", L"D:\\a", L"b"}},
                    TokenCase{L"x \"", {L"x"}}));

TEST(TokenizeCommandLine, NullIsEmpty) {
    EXPECT_TRUE(tokenizeCommandLine(nullptr).empty());
}

TEST(TokenAfter, FindsExactSwitchOnly) {
    bool present = false;
    Tokens tokens = {L"setup.exe", L"-Silence", L"/silence", L"X"};
    EXPECT_EQ(quor::tokenAfter(tokens, L"-silence", &present), L"");
    EXPECT_FALSE(present);
    tokens = {L"setup.exe", L"-silence"};
    EXPECT_EQ(quor::tokenAfter(tokens, L"-silence", &present), L"");
    EXPECT_TRUE(present);
    tokens = {L"setup.exe", L"-silence", L"D:\\q", L"-silence", L"E:\\r"};
    EXPECT_EQ(quor::tokenAfter(tokens, L"-silence", &present), L"D:\\q");
}
