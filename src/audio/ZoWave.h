// TZoWave: plays a RIFF/WAVE sound from a stream, a file or by system-sound
// name. pmHigh hands the whole file image to the one-call player; pmLow
// streams the samples itself through a wave-out device in two 64 KiB blocks
// that are refilled as they finish. A new sound stops the one before.
#pragma once

#include "audio/SoundPlayer.h"
#include "audio/WaveOutDevice.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TStream;

enum TPlayMode { pmHigh = 0, pmLow = 1 };
enum TSyncMode { smSync = 0, smASync = 1 };

class TZoWave {
public:
    static constexpr uint32_t kBlockBytes = 65536;

    TZoWave() = default;
    ~TZoWave() { Stop(); }
    TZoWave(const TZoWave&) = delete;
    TZoWave& operator=(const TZoWave&) = delete;

    TPlayMode PlayMode() const { return playMode_; }
    // Only 0 (pmHigh) and 1 (pmLow) are taken; anything else is ignored.
    void SetPlayMode(int mode);
    TSyncMode SyncMode() const { return syncMode_; }
    void SetSyncMode(int mode);

    // Fired on the audio thread when a streamed (pmLow) sound ends or cannot
    // go on. It must not touch GUI objects, nor call Play or Stop.
    std::function<void(TZoWave*)> OnCallBackEnd;

    // True while a streamed sound is queued; always false on pmHigh.
    bool Playing() const { return playing_.load(); }

    // Stops a held sound, copies the whole stream (from its start) and plays
    // it; the caller may free the stream at once. False when nothing plays:
    // the stream cannot be read whole, is larger than audio::kMaxWaveBytes
    // or is no sound the player can play. With smSync it returns at the end.
    bool Play(TStream* stream);
    // The same from a file; a file that cannot be opened changes nothing.
    bool Play(const std::string& path);
    // A system sound by name (or a sound file by path), through the desktop.
    bool PlayDef(const char* name);
    bool PlayAsterisk() { return PlayDef("SystemAsterisk"); }
    bool PlayExclamation() { return PlayDef("SystemExclamation"); }
    bool PlayHand() { return PlayDef("SystemHand"); }
    bool PlayQuestion() { return PlayDef("SystemQuestion"); }
    // Ends any sound and releases everything held.
    void Stop();

protected:
    bool GetFormatInfo();
    bool MakeNextBlock(audio::TWaveHeader* header);
    bool PlayBufferWaveOut();
    bool PlayBufferPlaySound();
    void CallBackEnd();

private:
    bool PlayImage();
    // A block of the device finished (on the audio thread).
    void BlockDone(audio::TWaveHeader* header);

    TPlayMode playMode_ = pmHigh;
    TSyncMode syncMode_ = smSync;
    std::atomic<bool> playing_{false};

    std::vector<uint8_t> image_; // the whole file, from Play until Stop
    std::optional<audio::TWaveLayout> layout_;
    size_t queued_ = 0; // sample bytes handed to blocks so far
    audio::TSoundPlayer player_;
    audio::TWaveOutDevice device_;
    bool deviceOpen_ = false;
    std::array<audio::TWaveHeader, 2> headers_{};
    std::array<std::vector<uint8_t>, 2> buffers_;
    std::atomic<bool> inCallback_{false};
    std::mutex callbackLock_; // completion handling against the start of playback
    std::mutex stopLock_;     // the refill of a block against Stop
};
