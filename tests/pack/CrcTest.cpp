#include "pack/ZopackCrc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Crc, CheckValueAndPieceIndependence)
{
    TCrcCheck crc;
    const auto* digits = reinterpret_cast<const unsigned char*>("123456789");
    EXPECT_EQ(crc.Crc(digits, 9), 0x6F91);
    unsigned short pieces = crc.UpDateCrc(crc.UpDateCrc(0xFFFF, digits, 4), digits + 4, 5);
    EXPECT_EQ(pieces, 0x6F91);

    std::string big(100000, 'z');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    TMemoryStream stream(big.data(), big.size());
    unsigned short streamed = 0;
    ASSERT_TRUE(CrcStream(&stream, static_cast<int64_t>(big.size()), &streamed));
    EXPECT_EQ(streamed, crc.Crc(reinterpret_cast<const unsigned char*>(big.data()), static_cast<int64_t>(big.size())));
}

TEST(Crc, ShortStreamLeavesTheResultAlone)
{
    TMemoryStream stream("abc", 3);
    unsigned short out = 0x1234;
    EXPECT_FALSE(CrcStream(&stream, 4, &out));
    EXPECT_EQ(out, 0x1234);
}

} // namespace
