// The RIFF/WAVE reader over a table of small files: what it accepts and where
// it finds the samples, and what it refuses and why.
#include "audio/WaveFormat.h"
#include "support/WaveFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

struct Accepted {
    const char* name;
    std::string file;
    audio::TWaveFormat format;
    size_t dataOffset;
    size_t dataBytes;
};

const std::string kFmt8 = Chunk("fmt ", FmtBody(1, 8000, 8));

std::vector<Accepted> AcceptedFiles()
{
    std::string extensible = FmtBody(2, 48000, 16, 0xFFFE) + Le16(22) + Le16(16) + Le32(3) +
                             std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    return {
        {"8-bit mono", Wave(Samples(10)), {1, 8000, 8, 1}, 44, 10},
        {"16-bit stereo", Wave(Samples(16), 2, 44100, 16), {2, 44100, 16, 4}, 44, 16},
        {"24-bit mono", Wave(Samples(9), 1, 22050, 24), {1, 22050, 24, 3}, 44, 9},
        {"extensible PCM", Riff(Chunk("fmt ", extensible) + Chunk("data", Samples(8))), {2, 48000, 16, 4}, 68, 8},
        {"a LIST chunk before data", Riff(kFmt8 + Chunk("LIST", "INFO" + Chunk("ISFT", "abcd")) + Chunk("data", "xyz")),
         {1, 8000, 8, 1}, 68, 3},
        // 3 bytes and a pad byte: data starts at 12 + 24 + 8 + 4 + 8.
        {"an odd chunk and its pad byte", Riff(kFmt8 + Chunk("junk", "abc") + Chunk("data", "xy")), {1, 8000, 8, 1},
         56, 2},
        {"fmt after data", Riff(Chunk("data", "abcd") + kFmt8), {1, 8000, 8, 1}, 20, 4},
        {"the last of two data chunks", Riff(kFmt8 + Chunk("data", "aa") + Chunk("data", "bbbb")), {1, 8000, 8, 1},
         54, 4},
        {"a partial last frame dropped", Wave(Samples(7), 1, 8000, 16), {1, 8000, 16, 2}, 44, 6},
        {"an odd last chunk without its pad byte", Riff(kFmt8 + Chunk("data", "abc")).substr(0, 47),
         {1, 8000, 8, 1}, 44, 3},
        {"bytes past the RIFF size ignored", Riff(kFmt8 + Chunk("data", "ab")) + "garbage", {1, 8000, 8, 1}, 44, 2},
        {"a RIFF size past the end of the file", Riff(kFmt8 + Chunk("data", "ab"), 0xFFFFFFF0), {1, 8000, 8, 1}, 44,
         2},
    };
}

TEST(ParseWave, FindsTheFormatAndTheSamples)
{
    for (const Accepted& c : AcceptedFiles()) {
        SCOPED_TRACE(c.name);
        std::string reason;
        auto layout = audio::ParseWave(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(), &reason);
        ASSERT_TRUE(layout) << reason;
        EXPECT_EQ(c.format, layout->format);
        EXPECT_EQ(c.dataOffset, layout->dataOffset);
        EXPECT_EQ(c.dataBytes, layout->dataBytes);
        EXPECT_LE(layout->dataOffset + layout->dataBytes, c.file.size());
    }
}

TEST(ParseWave, RefusesWhatItCannotPlayAndSaysWhy)
{
    std::string wave = Wave(Samples(100));
    std::string floatGuid = FmtBody(1, 8000, 16, 0xFFFE) + Le16(22) + Le16(16) + Le32(4) +
                            std::string("\x03\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    struct Refused {
        const char* name;
        std::string file;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a RIFF/WAVE file"},
        {"shorter than the RIFF header", std::string("RIFF\4\0\0\0WAV", 11), "not a RIFF/WAVE file"},
        {"no RIFF", "RIFX" + wave.substr(4), "not a RIFF/WAVE file"},
        {"no WAVE", wave.substr(0, 8) + "AVI " + wave.substr(12), "not a RIFF/WAVE file"},
        {"no fmt", Riff(Chunk("data", "ab")), "no fmt chunk"},
        {"no data", Riff(kFmt8 + Chunk("LIST", "abcd")), "no data chunk"},
        {"no samples", Riff(kFmt8 + Chunk("data", "")), "no samples"},
        {"less than a frame", Wave("a", 2, 8000, 16), "no samples"},
        {"truncated data", wave.substr(0, 100), "chunk reaches past the end of the file"},
        {"a giant chunk size", Riff(kFmt8 + Chunk("data", "ab", 0xFFFFFFFF)), "chunk reaches past the end of the file"},
        {"a giant fmt size", Riff(Chunk("fmt ", FmtBody(1, 8000, 8), 0x7FFFFFFF)),
         "chunk reaches past the end of the file"},
        {"a short fmt", Riff(Chunk("fmt ", FmtBody(1, 8000, 8).substr(0, 14)) + Chunk("data", "ab")),
         "fmt chunk too short"},
        {"float samples", Riff(Chunk("fmt ", FmtBody(1, 8000, 32, 3)) + Chunk("data", "abcd")), "not PCM"},
        {"ADPCM", Riff(Chunk("fmt ", FmtBody(1, 8000, 8, 2)) + Chunk("data", "ab")), "not PCM"},
        {"extensible float", Riff(Chunk("fmt ", floatGuid) + Chunk("data", "ab")), "not PCM"},
        {"no channels", Riff(Chunk("fmt ", FmtBody(0, 8000, 8)) + Chunk("data", "ab")), "unsupported channel count"},
        {"nine channels", Riff(Chunk("fmt ", FmtBody(9, 8000, 8)) + Chunk("data", "ab")), "unsupported channel count"},
        {"rate 0", Riff(Chunk("fmt ", FmtBody(1, 0, 8)) + Chunk("data", "ab")), "unsupported sample rate"},
        {"12-bit samples", Riff(Chunk("fmt ", FmtBody(1, 8000, 12)) + Chunk("data", "ab")), "unsupported sample size"},
        {"a wrong block size",
         Riff(Chunk("fmt ", Le16(1) + Le16(2) + Le32(8000) + Le32(16000) + Le16(3) + Le16(8)) + Chunk("data", "ab")),
         "block size does not match the format"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_FALSE(audio::ParseWave(reinterpret_cast<const uint8_t*>(c.file.data()), c.file.size(), &reason));
        EXPECT_EQ(c.reason, reason);
    }
}

} // namespace
