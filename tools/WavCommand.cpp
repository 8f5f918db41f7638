// pendar-tool wav info FILE: what the wave player reads from a file, one
// "key value" a line, or "refused: <reason>".
// pendar-tool wav play FILE: plays it through the same player and waits for
// the end.
#include "ToolCommand.h"

#include "audio/WaveFormat.h"
#include "audio/ZoWave.h"
#include "port/Stream.h"

#include <cstdio>
#include <optional>

namespace {

constexpr const char* kUsage = "usage: pendar-tool wav info|play FILE\n";

// The file as the player would read it, or null after printing why not.
std::optional<std::vector<uint8_t>> ReadWave(const std::string& path, audio::TWaveLayout& layout)
{
    std::unique_ptr<TFileStream> file = TFileStream::Open(path, fmOpenRead);
    int64_t size = file ? file->Size() : -1;
    std::vector<uint8_t> image;
    std::string reason;
    if (!file || size < 0) {
        reason = "cannot open the file";
    } else if (size > audio::kMaxWaveBytes) {
        reason = "larger than " + std::to_string(audio::kMaxWaveBytes) + " bytes";
    } else {
        image.resize(static_cast<size_t>(size));
        if (file->Read(image.data(), size) != size)
            reason = "cannot read the file";
        else if (auto parsed = audio::ParseWave(image.data(), image.size(), &reason))
            layout = *parsed;
    }
    if (!reason.empty()) {
        std::printf("refused: %s\n", reason.c_str());
        return std::nullopt;
    }
    return image;
}

int RunWav(const std::vector<std::string>& args)
{
    using namespace pendar::tool;
    if (args.size() != 2 || (args[0] != "info" && args[0] != "play")) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    audio::TWaveLayout layout;
    if (!ReadWave(args[1], layout))
        return kExitFailure;
    if (args[0] == "info") {
        const audio::TWaveFormat& f = layout.format;
        std::printf("format pcm\nchannels %u\nrate %u\nbits %u\nframes %llu\nseconds %.3f\n", unsigned(f.channels),
                    unsigned(f.rate), unsigned(f.bits), static_cast<unsigned long long>(layout.Frames()),
                    static_cast<double>(layout.Frames()) / f.rate);
        return kExitOk;
    }
    TZoWave wave; // smSync: Play returns when the sound is over
    if (!wave.Play(args[1])) {
        std::printf("refused: the audio device cannot play it\n");
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

PENDAR_TOOL_COMMAND("wav", "wav info|play FILE            a wave file's format, or play it to the end", RunWav);
