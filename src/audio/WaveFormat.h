// The RIFF/WAVE reader. A wave file is hostile input: every chunk must lie
// inside the bytes given, and only what the player can play is accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace audio {

// Larger files are refused before they are read into memory.
inline constexpr int64_t kMaxWaveBytes = 64 * 1024 * 1024;

// The "fmt " chunk of an integer PCM sound.
struct TWaveFormat {
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;       // 8 (unsigned), 16, 24 or 32 (signed)
    uint16_t blockAlign = 0; // bytes per frame: channels * bits / 8

    bool operator==(const TWaveFormat&) const = default;
};

// Where the samples of a file image are.
struct TWaveLayout {
    TWaveFormat format;
    size_t dataOffset = 0;
    size_t dataBytes = 0; // whole frames only: a partial last frame is dropped

    uint64_t Frames() const { return format.blockAlign ? dataBytes / format.blockAlign : 0; }
};

// Reads a file image. The first "fmt " chunk gives the format; the last
// "data" chunk gives the samples. Null with `reason` set when the image is
// refused.
std::optional<TWaveLayout> ParseWave(const uint8_t* image, size_t size, std::string* reason = nullptr);

} // namespace audio
