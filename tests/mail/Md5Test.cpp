#include "mail/Zomd5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Md5Case {
    std::string input;
    const char* digest;
};

// RFC 1321's test suite, and inputs around the padding boundary (55 bytes
// pad in one block, 56 and 63 need a second, 64 and 65 cross a block).
const Md5Case kCases[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
    {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
    {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
    {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
    {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
    {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
    // RFC 1939's APOP example: timestamp followed by the secret.
    {"<1896.697170952@dbc.mtview.ca.us>tanstaaf", "c4c9334bac560ecc979e58001b3e22fb"},
};

std::string Hex(const uint8_t digest[16])
{
    char hex[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return hex;
}

TEST(Md5, DigestsOfKnownInputs)
{
    for (const auto& c : kCases)
        EXPECT_EQ(pendar::Md5Hex(c.input), c.digest) << c.input.size() << " bytes";
}

TEST(Md5, AnySplitIntoUpdatesGivesTheSameDigest)
{
    for (const auto& c : kCases) {
        for (size_t piece : {1u, 3u, 7u, 55u, 63u, 64u, 65u}) {
            MD5_CTX context;
            MD5Init(&context);
            const auto* bytes = reinterpret_cast<const uint8_t*>(c.input.data());
            for (size_t at = 0; at < c.input.size(); at += piece)
                MD5Update(&context, bytes + at, std::min(piece, c.input.size() - at));
            uint8_t digest[16];
            MD5Final(digest, &context);
            EXPECT_EQ(Hex(digest), c.digest) << c.input.size() << " bytes in pieces of " << piece;

            MD5_CTX zero;
            std::memset(&zero, 0, sizeof zero);
            EXPECT_EQ(std::memcmp(&context, &zero, sizeof context), 0) << "context not wiped";
        }
    }
}

} // namespace
