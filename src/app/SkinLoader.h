// A skin's files and pictures: the pack or skin folder it comes from, its
// Info.ini, its still pictures, its animation strips and its balloon
// picture. A skin is hostile input: every picture is capped before it is
// decoded, each and all together (the pixel budget). The main window lays
// out and draws what the loader holds.
#pragma once

#include "app/SkinFiles.h"
#include "app/SkinInfo.h"
#include "port/Stream.h"
#include "pack/Zopack.h"
#include "raster/ZoRGBBits.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace pendar {

// Where opening a skin stopped.
enum class SkinOpen { Opened, NoPack, NoInfo, NoPictures, NoBalloon };

// The text of the box that tells the user (UTF-8).
const char* SkinOpenFailureText(SkinOpen step);

class TSkinLoader {
public:
    // Opens the skin at `source` (a pack or a folder; an empty source reads
    // like a skin without Info.ini): its Info.ini into `skin`, its pictures
    // and its balloon picture. Whatever the loader held before is let go.
    // A failure says its file and reason in Failure().
    SkinOpen Open(const TSkinSource& source, TSkinInfo& skin);
    // The plain built-in skin: a framed picture and balloon, `skin` set to
    // match. False when memory for them cannot be had.
    bool LoadPlain(TSkinInfo& skin);

    // Why the last skin failed to open, or a strip of it failed to decode
    // when its animation started: "file: reason" (code page 932); empty
    // after a skin that opened.
    const std::string& Failure() const { return failure_; }
    bool PackOpened() const { return pack_.Opened(); }

    // The still pictures (slot 0..9) and the balloon picture.
    TZoRGBBits& Picture(int slot) { return pictures_[static_cast<size_t>(slot)]; }
    const TZoRGBBits& Picture(int slot) const { return pictures_[static_cast<size_t>(slot)]; }
    TZoRGBBits& Balloon() { return balloon_; }
    const TZoRGBBits& Balloon() const { return balloon_; }

    // The strips are checked when the skin opens and then let go; a strip
    // is decoded again when its animation starts (LoadStrip) and dropped
    // when it ends. LoadStrip is false when the strip no longer decodes to
    // the size it had (Failure then says why when a file was refused).
    TZoRGBBits& Strip(bool click, int slot) { return (click ? clicks_ : animes_)[static_cast<size_t>(slot)]; }
    bool LoadStrip(bool click, int slot, const TSkinInfo& skin);
    void DropStrip(bool click, int slot);

    // A file of the open skin, or null when it is missing or its name is
    // refused (a non-null `why` then says which).
    std::unique_ptr<TStream> OpenFile(std::string_view name, std::string* why = nullptr);

    void ReleasePictures();
    void ReleaseBalloon();
    void ClosePack();

private:
    bool ReadInfo(TSkinInfo& skin);
    bool LoadPictures(TSkinInfo& skin);
    // Loads the skin's picture `name` into the empty buffer `target`: a row
    // of `cells` frames (1 for a still picture). False, with Failure set,
    // when it is missing, does not decode, or is larger than the skin's
    // pixels and one cell's sides allow.
    bool LoadPicture(const std::string& name, TZoRGBBits& target, int cells);
    bool DecodePicture(TStream& stream, TZoRGBBits& target, int cells, std::string& why);
    // Keeps "file: reason" as the failure; false.
    bool Refused(std::string_view file, std::string_view why);
    // Decodes the strip of slot n (its file, or its cells of the strip
    // layout's picture) into `target`.
    bool DecodeStrip(bool click, int n, const TSkinInfo& skin, TZoRGBBits& target);

    TZoPack pack_;
    std::string folder_; // when no pack is open
    std::string failure_;
    int64_t pixelsLeft_ = 0; // what the skin's pictures may still take
    std::array<TZoRGBBits, kSkinSlots> pictures_;
    std::array<TZoRGBBits, kSkinSlots> animes_;
    std::array<TZoRGBBits, kSkinSlots> clicks_;
    // Each strip's size as checked at opening, and the pixels it was counted
    // with (the strip layout's whole picture for its cuts).
    struct TStripCheck {
        int width = 0;
        int height = 0;
        int64_t pixels = 0;
    };
    std::array<TStripCheck, kSkinSlots> animeChecks_{};
    std::array<TStripCheck, kSkinSlots> clickChecks_{};
    TZoRGBBits balloon_;
};

} // namespace pendar
