// MD5 message digest (RFC 1321), with the reference code's context layout.
// The APOP log-in digests the server's timestamp followed by the password.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct MD5_CTX {
    uint32_t state[4];  // chaining values A, B, C, D
    uint32_t count[2];  // message length in bits, modulo 2^64, low word first
    uint8_t buffer[64]; // input bytes not yet processed
};

void MD5Init(MD5_CTX* context);
void MD5Update(MD5_CTX* context, const uint8_t* input, size_t length);
// Pads, writes the 16-byte digest and fills the whole context with zeros.
void MD5Final(uint8_t digest[16], MD5_CTX* context);

namespace pendar {
// The digest of `bytes` as 32 lower-case hexadecimal digits.
std::string Md5Hex(std::string_view bytes);
} // namespace pendar
