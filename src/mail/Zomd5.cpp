#include "mail/Zomd5.h"

#include <cstring>

namespace {

constexpr uint32_t RotateLeft(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

constexpr uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
constexpr uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
constexpr uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
constexpr uint32_t I(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

// Per step: the message word, the shift and the sine-derived constant.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

void Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 | uint32_t(block[4 * i + 2]) << 16 |
               uint32_t(block[4 * i + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        int round = i / 16;
        uint32_t f = 0;
        int k = 0;
        switch (round) {
        case 0: f = F(b, c, d); k = i; break;
        case 1: f = G(b, c, d); k = (5 * i + 1) % 16; break;
        case 2: f = H(b, c, d); k = (3 * i + 5) % 16; break;
        default: f = I(b, c, d); k = (7 * i) % 16; break;
        }
        uint32_t next = b + RotateLeft(a + f + x[k] + kSine[i], kShift[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

void MD5Init(MD5_CTX* context)
{
    context->count[0] = context->count[1] = 0;
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
}

void MD5Update(MD5_CTX* context, const uint8_t* input, size_t length)
{
    size_t index = (context->count[0] >> 3) & 0x3F;
    uint64_t bits = (uint64_t(context->count[1]) << 32 | context->count[0]) + (uint64_t(length) << 3);
    context->count[0] = uint32_t(bits);
    context->count[1] = uint32_t(bits >> 32);

    size_t partLen = 64 - index;
    size_t i = 0;
    if (length >= partLen) {
        std::memcpy(&context->buffer[index], input, partLen);
        Transform(context->state, context->buffer);
        for (i = partLen; i + 63 < length; i += 64)
            Transform(context->state, &input[i]);
        index = 0;
    }
    if (length > i)
        std::memcpy(&context->buffer[index], &input[i], length - i);
}

void MD5Final(uint8_t digest[16], MD5_CTX* context)
{
    uint8_t bits[8];
    for (int i = 0; i < 8; ++i)
        bits[i] = uint8_t(context->count[i / 4] >> (8 * (i % 4)));
    size_t index = (context->count[0] >> 3) & 0x3F;
    size_t padLen = index < 56 ? 56 - index : 120 - index;
    static const uint8_t kPadding[64] = {0x80};
    MD5Update(context, kPadding, padLen);
    MD5Update(context, bits, 8);
    for (int i = 0; i < 16; ++i)
        digest[i] = uint8_t(context->state[i / 4] >> (8 * (i % 4)));
    std::memset(context, 0, sizeof *context);
}

namespace pendar {

std::string Md5Hex(std::string_view bytes)
{
    MD5_CTX context;
    MD5Init(&context);
    MD5Update(&context, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    uint8_t digest[16];
    MD5Final(digest, &context);
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : digest) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

} // namespace pendar
