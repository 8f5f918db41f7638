// Small RIFF/WAVE files written by the tests: chunks put together in any
// order, so odd layouts and broken files are as easy to make as good ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pendar::test {

inline std::string Le32(uint32_t v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

inline std::string Le16(uint16_t v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}

// A chunk: id, size (the body's unless given), body, and the pad byte of an
// odd body.
inline std::string Chunk(const std::string& id, const std::string& body, int64_t size = -1)
{
    std::string c = id + Le32(size < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(size)) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

inline std::string FmtBody(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1)
{
    uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

// "RIFF", the size of what follows (unless given), "WAVE", the chunks.
inline std::string Riff(const std::string& chunks, int64_t size = -1)
{
    return "RIFF" + Le32(size < 0 ? static_cast<uint32_t>(chunks.size() + 4) : static_cast<uint32_t>(size)) + "WAVE" +
           chunks;
}

// `count` sample bytes that differ from one file to the next by `seed`.
inline std::string Samples(size_t count, unsigned seed = 1)
{
    std::string s(count, '\0');
    for (size_t i = 0; i < count; ++i)
        s[i] = static_cast<char>((i * 7 + seed * 31 + (i >> 8)) & 0xFF);
    return s;
}

// A plain PCM file.
inline std::string Wave(const std::string& samples, uint16_t channels = 1, uint32_t rate = 8000, uint16_t bits = 8)
{
    return Riff(Chunk("fmt ", FmtBody(channels, rate, bits)) + Chunk("data", samples));
}

inline std::vector<uint8_t> Bytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

} // namespace pendar::test
