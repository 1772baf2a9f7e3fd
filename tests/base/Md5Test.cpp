#include "base/Md5.h"

#include <gtest/gtest.h>

#include <cstring>

struct DigestCase {
    const char* message;
    const wchar_t* hex;
};

class Md5Vectors : public testing::TestWithParam<DigestCase> {};

// The test suite published in RFC 1321, appendix A.5.
TEST_P(Md5Vectors, MatchTheRfcTestSuite) {
    const char* message = GetParam().message;
    EXPECT_EQ(quor::md5Hex(message, std::strlen(message)), GetParam().hex);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc1321, Md5Vectors,
    testing::Values(DigestCase{"", L"d41d8cd98f00b204e9800998ecf8427e"},
                    DigestCase{"a", L"0cc175b9c0f1b6a831c399e269772661"},
                    DigestCase{"abc", L"900150983cd24fb0d6963f7d28e17f72"},
                    DigestCase{"message digest", L"f96b697d7cb7938d525a2f31aaf161d0"},
                    DigestCase{"abcdefghijklmnopqrstuvwxyz", L"c3fcd3d76192e4007dfb496cca67e13b"},
                    DigestCase{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                               L"d174ab98d277d9f5a5611c2c9f419d9f"},
                    DigestCase{
                        "1234567890123456789012345678901234567890123456789012345678901234567890123456789"
                        "0",
                        L"57edf4a22be3c955ac49da2e2107b67a"}));

// Lengths around the padding boundaries (55, 56, 63, 64 bytes) take different
// paths; one million "a" is the other classic vector.
TEST(Md5, MillionAs) {
    std::string text(1000000, 'a');
    EXPECT_EQ(quor::md5Hex(text.data(), text.size()), L"7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, PaddingBoundaries) {
    struct {
        size_t length;
        const wchar_t* hex;
    } cases[] = {{55, L"ef1772b6dff9a122358552954ad0df65"},
                 {56, L"3b0c8ac703f828b04c6c197006d17218"},
                 {63, L"b06521f39153d618550606be297466d5"},
                 {64, L"014842d480b571495a4a0363793f7367"}};
    for (const auto& c : cases) {
        std::string text(c.length, 'a');
        EXPECT_EQ(quor::md5Hex(text.data(), text.size()), c.hex) << c.length;
    }
}
