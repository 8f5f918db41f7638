// TZoWave's two play paths against a recording sink: what reaches the
// device, when Playing is set, what a second Play or Stop does, and what is
// refused.
#include "audio/SystemSounds.h"
#include "audio/ZoWave.h"
#include "port/Stream.h"
#include "support/RecordingAudioSink.h"
#include "support/TempDir.h"
#include "support/WaveFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

using namespace pendar::test;

std::unique_ptr<TMemoryStream> StreamOf(const std::string& file)
{
    return std::make_unique<TMemoryStream>(file.data(), file.size());
}

TEST(ZoWave, OneCallPathCopiesTheStreamBeforePlayReturnsAndNeverSetsPlaying)
{
    RecordingAudioSink sink;
    sink.Hold();
    TZoWave wave;
    wave.SetSyncMode(smASync);
    std::string samples = Samples(3000);
    auto stream = StreamOf(Wave(samples, 2, 11025, 16));
    stream->Seek(0, soFromEnd); // Play reads from the start whatever the position
    ASSERT_TRUE(wave.Play(stream.get()));
    // The caller frees the stream at once; what plays is the copy.
    std::memset(stream->Memory(), 0, static_cast<size_t>(stream->Size()));
    stream.reset();
    sink.WaitForWrites(1);
    EXPECT_FALSE(wave.Playing());
    sink.Release();
    sink.WaitAllClosed();

    auto sounds = sink.Sounds();
    ASSERT_EQ(1u, sounds.size());
    EXPECT_EQ((audio::TWaveFormat{2, 11025, 16, 4}), sounds[0].format);
    EXPECT_EQ(samples, sounds[0].bytes);
    EXPECT_FALSE(wave.Playing());
}

TEST(ZoWave, ASecondPlayCutsTheFirstOffOnEitherPath)
{
    for (int mode : {pmHigh, pmLow}) {
        SCOPED_TRACE(mode);
        RecordingAudioSink sink;
        TZoWave wave;
        wave.SetPlayMode(mode);
        wave.SetSyncMode(smASync);
        sink.Hold();
        ASSERT_TRUE(wave.Play(StreamOf(Wave(Samples(500, 1))).get()));
        sink.WaitForWrites(1);
        EXPECT_EQ(mode == pmLow, wave.Playing());
        ASSERT_TRUE(wave.Play(StreamOf(Wave(Samples(300, 2))).get()));
        auto sounds = sink.Sounds();
        ASSERT_EQ(2u, sounds.size());
        EXPECT_TRUE(sounds[0].aborted);
        EXPECT_TRUE(sounds[0].closed); // released before the second one started
        EXPECT_EQ("", sounds[0].bytes);
        sink.Release();
        sink.WaitForWrites(2);
        wave.Stop();
        sink.WaitAllClosed();
        EXPECT_FALSE(wave.Playing());
    }
}

TEST(ZoWave, StreamingQueuesBlocksOf64KiBAndEndsOnceWithTheLastOne)
{
    const uint32_t block = TZoWave::kBlockBytes;
    struct {
        size_t bytes;
        int blocks;
    } cases[] = {{100, 1}, {block, 1}, {block + 1, 2}, {3 * size_t(block) + 5, 4}};
    for (auto c : cases) {
        SCOPED_TRACE(c.bytes);
        RecordingAudioSink sink;
        TZoWave wave;
        wave.SetPlayMode(pmLow);
        std::atomic<int> ends{0};
        wave.OnCallBackEnd = [&](TZoWave* sender) {
            EXPECT_EQ(&wave, sender);
            ++ends;
        };
        std::string samples = Samples(c.bytes);
        ASSERT_TRUE(wave.Play(StreamOf(Wave(samples)).get())); // smSync: returns at the end
        EXPECT_FALSE(wave.Playing());
        EXPECT_EQ(1, ends.load());
        sink.WaitAllClosed(); // a synchronous play leaves nothing held
        auto sounds = sink.Sounds();
        ASSERT_EQ(1u, sounds.size());
        EXPECT_EQ(c.blocks, sounds[0].writes);
        EXPECT_EQ(samples, sounds[0].bytes);
    }
}

TEST(ZoWave, PlayingIsSetWhileAStreamedSoundIsQueuedAndStopClearsIt)
{
    RecordingAudioSink sink;
    TZoWave wave;
    wave.SetPlayMode(pmLow);
    wave.SetSyncMode(smASync);
    int ends = 0;
    wave.OnCallBackEnd = [&](TZoWave*) { ++ends; };
    sink.Hold();
    ASSERT_TRUE(wave.Play(StreamOf(Wave(Samples(200000))).get()));
    sink.WaitForWrites(1);
    EXPECT_TRUE(wave.Playing());
    wave.Stop();
    EXPECT_FALSE(wave.Playing());
    auto sounds = sink.Sounds();
    ASSERT_EQ(1u, sounds.size());
    EXPECT_TRUE(sounds[0].aborted);
    EXPECT_TRUE(sounds[0].closed);
    EXPECT_EQ(0, ends); // stopped, not ended
}

// A stream that claims a size it does not have, or fails when read.
class BadStream final : public TStream {
public:
    BadStream(int64_t size, bool throws) : size_(size), throws_(throws) {}
    int64_t Read(void*, int64_t) override
    {
        if (throws_)
            throw EStreamError("read failed");
        return 0;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
    int64_t Size() override { return size_; }

private:
    int64_t size_;
    bool throws_;
};

TEST(ZoWave, WhatCannotBePlayedLeavesThePlayerIdleAndSilent)
{
    RecordingAudioSink sink;
    TZoWave wave;
    for (int mode : {pmHigh, pmLow}) {
        SCOPED_TRACE(mode);
        wave.SetPlayMode(mode);
        BadStream giant(audio::kMaxWaveBytes + 1, false); // refused before anything is allocated
        BadStream shortRead(100, false);
        BadStream throwing(100, true);
        EXPECT_FALSE(wave.Play(&giant));
        EXPECT_FALSE(wave.Play(&shortRead));
        EXPECT_FALSE(wave.Play(&throwing));
        EXPECT_FALSE(wave.Play(static_cast<TStream*>(nullptr)));
        EXPECT_FALSE(wave.Play(StreamOf("RIFX" + Wave(Samples(10)).substr(4)).get()));
        EXPECT_FALSE(wave.Play(StreamOf(Wave(Samples(10)).substr(0, 40)).get()));
        EXPECT_FALSE(wave.Playing());
    }
    EXPECT_TRUE(sink.Sounds().empty());

    sink.refuse = true; // the device cannot take the format
    EXPECT_FALSE(wave.Play(StreamOf(Wave(Samples(10))).get()));
    wave.SetPlayMode(pmHigh);
    EXPECT_FALSE(wave.Play(StreamOf(Wave(Samples(10))).get()));
    EXPECT_FALSE(wave.Playing());
}

TEST(ZoWave, PlaysAFileAndIgnoresAMissingOne)
{
    RecordingAudioSink sink;
    TempDir dir;
    std::string samples = Samples(77);
    dir.Write("voice.wav", Wave(samples));
    TZoWave wave;
    EXPECT_TRUE(wave.Play(dir.File("voice.wav")));
    EXPECT_FALSE(wave.Play(dir.File("missing.wav")));
    sink.WaitAllClosed();
    auto sounds = sink.Sounds();
    ASSERT_EQ(1u, sounds.size());
    EXPECT_EQ(samples, sounds[0].bytes);
}

TEST(ZoWave, AMissingFileLeavesTheSoundThatPlays)
{
    TempDir dir;
    dir.Write("voice.wav", Wave(Samples(300)));
    for (int mode : {pmHigh, pmLow}) {
        SCOPED_TRACE(mode);
        RecordingAudioSink sink;
        TZoWave wave;
        wave.SetPlayMode(mode);
        wave.SetSyncMode(smASync);
        sink.Hold();
        ASSERT_TRUE(wave.Play(dir.File("voice.wav")));
        sink.WaitForWrites(1);
        EXPECT_FALSE(wave.Play(dir.File("missing.wav")));
        auto sounds = sink.Sounds();
        ASSERT_EQ(1u, sounds.size());
        EXPECT_FALSE(sounds[0].aborted);
        EXPECT_FALSE(sounds[0].closed);
        EXPECT_EQ(mode == pmLow, wave.Playing());
        sink.Release();
        wave.Stop();
        sink.WaitAllClosed();
    }
}

TEST(ZoWave, ModesTakeOnlyTheirTwoValues)
{
    TZoWave wave;
    EXPECT_EQ(pmHigh, wave.PlayMode());
    EXPECT_EQ(smSync, wave.SyncMode());
    wave.SetPlayMode(pmLow);
    wave.SetPlayMode(2);
    wave.SetPlayMode(-1);
    wave.SetSyncMode(smASync);
    wave.SetSyncMode(7);
    EXPECT_EQ(pmLow, wave.PlayMode());
    EXPECT_EQ(smASync, wave.SyncMode());
}

class RecordingSystemSounds final : public audio::ISystemSounds {
public:
    RecordingSystemSounds() { audio::SetSystemSounds(this); }
    ~RecordingSystemSounds() override { audio::SetSystemSounds(nullptr); }
    bool Play(const std::string& name, bool wait) override
    {
        calls.push_back(name + (wait ? " wait" : " async"));
        return true;
    }
    void Stop() override { calls.push_back("Stop"); }
    std::vector<std::string> calls;
};

TEST(ZoWave, SystemSoundsStopTheHeldSoundAndGoToTheDesktopByName)
{
    RecordingAudioSink sink;
    RecordingSystemSounds sounds;
    TZoWave wave;
    wave.SetSyncMode(smASync);
    sink.Hold();
    ASSERT_TRUE(wave.Play(StreamOf(Wave(Samples(100))).get()));
    sink.WaitForWrites(1);
    sounds.calls.clear();
    EXPECT_TRUE(wave.PlayHand());
    EXPECT_TRUE(sink.Sounds()[0].aborted);
    wave.SetSyncMode(smSync);
    EXPECT_TRUE(wave.PlayAsterisk());
    EXPECT_TRUE(wave.PlayExclamation());
    EXPECT_TRUE(wave.PlayQuestion());
    EXPECT_TRUE(wave.PlayDef("/tmp/some.wav"));
    EXPECT_EQ((std::vector<std::string>{"Stop", "SystemHand async", "Stop", "SystemAsterisk wait", "Stop",
                                        "SystemExclamation wait", "Stop", "SystemQuestion wait", "Stop",
                                        "/tmp/some.wav wait"}),
              sounds.calls);
}

TEST(SystemSounds, MapTheWindowsNamesToTheSoundThemesEvents)
{
    EXPECT_STREQ("dialog-information", audio::SystemSoundEvent("SystemAsterisk"));
    EXPECT_STREQ("dialog-warning", audio::SystemSoundEvent("SystemExclamation"));
    EXPECT_STREQ("dialog-error", audio::SystemSoundEvent("SystemHand"));
    EXPECT_STREQ("dialog-question", audio::SystemSoundEvent("SystemQuestion"));
    EXPECT_STREQ("bell", audio::SystemSoundEvent("SystemDefault"));
    EXPECT_STREQ("bell", audio::SystemSoundEvent(""));
}

TEST(SystemSounds, TheDesktopsSoundsReturnAlsoWithoutASoundServer)
{
    // Whatever this machine has (here usually no sound server at all): a
    // waiting play comes back and a refused one is only false.
    TZoWave wave;
    wave.PlayAsterisk();
    wave.SetSyncMode(smASync);
    wave.PlayDef("SystemDefault");
    wave.Stop();
    SUCCEED();
}

TEST(AlsaSink, WithoutADeviceTheSoundIsSilentAndSaidOnce)
{
    std::vector<std::string> notices;
    audio::SetAudioNotice([&](std::string_view text) { notices.emplace_back(text); });
    TZoWave wave; // the process's own sink: ALSA's default device
    std::string file = Wave(Samples(800));
    EXPECT_TRUE(wave.Play(StreamOf(file).get()));
    EXPECT_TRUE(wave.Play(StreamOf(file).get()));
    audio::SetAudioNotice(nullptr);
    // On a machine with sound there is no notice; without, exactly one.
    ASSERT_LE(notices.size(), 1u);
    if (!notices.empty()) {
        EXPECT_EQ(0u, notices[0].find("Sound: no audio device, sounds are silent ("));
    }
}

} // namespace
