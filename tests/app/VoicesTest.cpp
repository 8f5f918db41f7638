// The character's voices: files of the skin played through the form's own
// player (into a recording sink), and the switches that silence them.
#include "FaceForm.h"
#include "support/RecordingAudioSink.h"
#include "support/WaveFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace pendar::test;

struct VoiceWorld {
    RecordingAudioSink sink;
    SkinWorld w;

    VoiceWorld()
    {
        w.WriteSimpleSkin("Voices", "STARTWAV=start.wav\r\nSCHWAV=missing.wav\r\n"
                                    "RANDOMWAV1=r1.wav\r\nRANDOMWAV3=r3.wav\r\n");
        w.Write("Voices", "start.wav", Wave(Samples(400, 1)));
        w.Write("Voices", "r1.wav", Wave(Samples(300, 2)));
        w.Write("Voices", "r3.wav", Wave(Samples(200, 3)));
        EXPECT_TRUE(w.form.OpenSkin("Voices"));
        w.form.realVoices = true;
    }
    // What was heard, in order, once every sound has ended.
    std::vector<std::string> Heard()
    {
        sink.WaitAllClosed();
        std::vector<std::string> heard;
        for (const auto& s : sink.Sounds())
            heard.push_back(s.bytes == Samples(400, 1)   ? "start"
                            : s.bytes == Samples(300, 2) ? "r1"
                            : s.bytes == Samples(200, 3) ? "r3"
                                                         : "?");
        return heard;
    }
    // One idle action that picks a random voice (random index `pick`).
    void IdleWithRandomVoice(int pick)
    {
        w.world.random.values = {1, 0, pick}; // no picture change, a voice, which one
        w.form.IdleAction();
    }
};

TEST(Voices, TheSkinsFilesArePlayedAtTheirOccasions)
{
    VoiceWorld v;
    v.w.form.StartupWork(); // the greeting's voice
    v.sink.WaitAllClosed(); // heard to the end before the next one starts
    v.IdleWithRandomVoice(0);
    EXPECT_EQ((std::vector<std::string>{"start", "r1"}), v.Heard());
    EXPECT_FALSE(v.w.form.ZoWave().Playing()); // the one-call path never sets it
}

TEST(Voices, OnlyTheRandomVoicesBeforeTheFirstGapArePicked)
{
    // RANDOMWAV1 and RANDOMWAV3 without RANDOMWAV2: only RANDOMWAV1 counts.
    VoiceWorld v;
    EXPECT_EQ(1, v.w.form.SkinInfo().randomWavCount);
    for (int pick : {0, 1, 2, 5}) {
        v.IdleWithRandomVoice(pick);
        v.sink.WaitAllClosed();
    }
    EXPECT_EQ((std::vector<std::string>{"r1", "r1", "r1", "r1"}), v.Heard());
}

TEST(Voices, TheSwitchesSilenceAllVoicesOrOnlyTheRandomOnes)
{
    {
        VoiceWorld v;
        v.w.form.Settings().waveFlag = false;
        v.w.form.StartupWork();
        v.IdleWithRandomVoice(0);
        EXPECT_TRUE(v.Heard().empty());
    }
    {
        VoiceWorld v;
        v.w.form.Settings().randomWav = false;
        v.w.form.StartupWork();
        v.sink.WaitAllClosed();
        v.IdleWithRandomVoice(0);
        EXPECT_EQ((std::vector<std::string>{"start"}), v.Heard());
    }
}

TEST(Voices, AnEventVoiceCutsARandomVoiceOffAndAMissingFileStaysSilent)
{
    VoiceWorld v;
    v.sink.Hold();
    v.IdleWithRandomVoice(0);
    v.sink.WaitForWrites(1);
    v.w.form.StartupWork(); // STARTWAV over the random voice
    v.sink.Release();
    auto sounds = v.sink.Sounds();
    ASSERT_EQ(2u, sounds.size());
    EXPECT_TRUE(sounds[0].aborted);
    EXPECT_EQ((std::vector<std::string>{"?", "start"}), v.Heard()); // the first was cut before a byte

    // SCHWAV names a file the skin does not have: nothing plays, nothing is said.
    size_t boxes = v.w.world.boxes.boxes.size();
    size_t logLines = v.w.world.log.lines.size();
    v.w.form.PlaySkinWave(v.w.form.SkinInfo().schWav);
    EXPECT_EQ(2u, v.sink.Sounds().size());
    EXPECT_EQ(boxes, v.w.world.boxes.boxes.size());
    EXPECT_EQ(logLines, v.w.world.log.lines.size());
}

} // namespace
