#include "audio/WaveFormat.h"

#include <cstring>

namespace audio {

namespace {

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// The sub-format GUID of integer PCM in an extensible "fmt " chunk.
constexpr uint8_t kPcmGuid[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::optional<TWaveLayout> Refuse(std::string* reason, const char* text)
{
    if (reason)
        *reason = text;
    return std::nullopt;
}

// The format the player can play, or the reason it cannot.
const char* ReadFormat(const uint8_t* fmt, uint32_t size, TWaveFormat& out)
{
    if (size < 16)
        return "fmt chunk too short";
    uint16_t tag = Le16(fmt);
    if (tag == kFormatExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID.
        if (size < 40 || std::memcmp(fmt + 24, kPcmGuid, sizeof kPcmGuid) != 0)
            return "not PCM";
    } else if (tag != kFormatPcm) {
        return "not PCM";
    }
    out.channels = Le16(fmt + 2);
    out.rate = Le32(fmt + 4);
    out.blockAlign = Le16(fmt + 12);
    out.bits = Le16(fmt + 14);
    if (out.channels < 1 || out.channels > 8)
        return "unsupported channel count";
    if (out.rate < 1000 || out.rate > 384000)
        return "unsupported sample rate";
    if (out.bits != 8 && out.bits != 16 && out.bits != 24 && out.bits != 32)
        return "unsupported sample size";
    if (out.blockAlign != out.channels * (out.bits / 8))
        return "block size does not match the format";
    return nullptr;
}

} // namespace

std::optional<TWaveLayout> ParseWave(const uint8_t* image, size_t size, std::string* reason)
{
    if (size < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
        return Refuse(reason, "not a RIFF/WAVE file");
    // The walk ends at the RIFF size or the end of the image, whichever
    // comes first; a chunk that reaches past the image is a truncated file.
    uint64_t end = static_cast<uint64_t>(Le32(image + 4)) + 8;
    if (end > size)
        end = size;

    TWaveLayout layout;
    bool haveFormat = false;
    bool haveData = false;
    uint64_t pos = 12;
    while (pos + 8 <= end) { // each pass moves at least 8 bytes: the walk ends
        const uint8_t* header = image + pos;
        uint64_t chunkSize = Le32(header + 4);
        uint64_t body = pos + 8;
        if (chunkSize > size - body)
            return Refuse(reason, "chunk reaches past the end of the file");
        if (std::memcmp(header, "fmt ", 4) == 0 && !haveFormat) {
            if (const char* why = ReadFormat(image + body, static_cast<uint32_t>(chunkSize), layout.format))
                return Refuse(reason, why);
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            layout.dataOffset = static_cast<size_t>(body);
            layout.dataBytes = static_cast<size_t>(chunkSize);
            haveData = true;
        }
        pos = body + chunkSize + (chunkSize & 1); // an odd chunk has a pad byte
    }
    if (!haveFormat)
        return Refuse(reason, "no fmt chunk");
    if (!haveData)
        return Refuse(reason, "no data chunk");
    layout.dataBytes -= layout.dataBytes % layout.format.blockAlign;
    if (layout.dataBytes == 0)
        return Refuse(reason, "no samples");
    return layout;
}

} // namespace audio
