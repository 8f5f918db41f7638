// pendar-tool wav: the reader's findings in its exact output format, its
// refusals, playing to the end, and the sample skin's voices.
#include "support/RunTool.h"
#include "support/TempDir.h"
#include "support/WaveFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

TEST(WavTool, InfoPrintsOneKeyAndValueALine)
{
    TempDir dir;
    dir.Write("a.wav", Wave(Samples(44100 * 4 + 3), 2, 44100, 16)); // 44100.75 frames
    ToolRun run = RunTool({"wav", "info", dir.File("a.wav")});
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("format pcm\nchannels 2\nrate 44100\nbits 16\nframes 44100\nseconds 1.000\n", run.out);
}

TEST(WavTool, RefusesWhatThePlayerCannotPlay)
{
    TempDir dir;
    dir.Write("float.wav", Riff(Chunk("fmt ", FmtBody(1, 8000, 32, 3)) + Chunk("data", "abcd")));
    dir.Write("cut.wav", Wave(Samples(100)).substr(0, 60));
    struct {
        const char* file;
        const char* out;
    } cases[] = {{"float.wav", "refused: not PCM\n"},
                 {"cut.wav", "refused: chunk reaches past the end of the file\n"},
                 {"missing.wav", "refused: cannot open the file\n"}};
    for (auto c : cases) {
        for (const char* verb : {"info", "play"}) {
            SCOPED_TRACE(std::string(verb) + " " + c.file);
            ToolRun run = RunTool({"wav", verb, dir.File(c.file)});
            EXPECT_EQ(1, run.exitCode);
            EXPECT_EQ(c.out, run.out);
        }
    }
    EXPECT_EQ(2, RunTool({"wav", "info"}).exitCode);
    EXPECT_EQ(2, RunTool({"wav", "show", dir.File("cut.wav")}).exitCode);
}

TEST(WavTool, PlaysTheSampleSkinsVoicesToTheEnd)
{
    // Without an audio device (as on CI) the sound is silent and said once.
    for (const char* voice : {"Start", "Schedule", "Connect", "ConError", "Post", "Random1", "Random2", "Random3"}) {
        SCOPED_TRACE(voice);
        std::string path = std::string(SOREL_VOICES) + "/" + voice + ".wav";
        ToolRun info = RunTool({"wav", "info", path});
        EXPECT_EQ(0, info.exitCode);
        EXPECT_EQ(0u, info.out.find("format pcm\nchannels 1\nrate 16000\nbits 16\n")) << info.out;
        ToolRun play = RunTool({"wav", "play", path});
        EXPECT_EQ(0, play.exitCode) << play.out << play.err;
    }
}

} // namespace
