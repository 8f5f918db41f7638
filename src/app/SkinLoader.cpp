// Opening a skin from its pack or folder, reading Info.ini, loading its
// pictures within the pixel budget, and the plain built-in skin.
#include "app/SkinLoader.h"

#include "app/PlainFrame.h"
#include "app/SkinParse.h"
#include "base/Sjis.h"
#include "port/Cp932.h"
#include "raster/BmpLoader.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

namespace pendar {

namespace {

// The side cap holds for what a window shows, a still picture or one cell
// of a strip, so that no window outgrows X's 16-bit coordinates; the pixel
// caps bound the memory.
constexpr int kMaxSkinPictureSide = 16384;
constexpr int64_t kMaxSkinPicturePixels = int64_t{1} << 24;
constexpr int64_t kMaxSkinPixels = int64_t{1} << 26;

// The strip layout: a row of 42 cells.
constexpr int kStripCells = 42;

// The strip layout's cuts: cell 8 is the still picture; the animations are
// cells 8-12, 13-14, 15-16, and QUENTILFLAG cells from 17.
struct TCut {
    int first, count;
};
TCut StripCut(int anime, int quentilFlag)
{
    constexpr TCut fixed[] = {{8, 5}, {13, 2}, {15, 2}};
    return anime < 3 ? fixed[anime] : TCut{17, quentilFlag};
}

// Sizes `target` to the cells [first, first + count) of the strip and
// copies them in.
bool CutCells(TZoRGBBits& strip, int u, int first, int count, TZoRGBBits& target)
{
    target.Resize(u * count, strip.Height());
    return target.Create() && target.Draw(0, 0, &strip, u * first, 0, u * count, strip.Height());
}

// A framed picture of the plain skin, `w` x `h`; false without memory.
bool MakePlainFrame(TZoRGBBits& target, int w, int h, uint32_t fill, uint32_t line)
{
    target.Resize(w, h);
    target.Create();
    if (!target.Created())
        return false;
    DrawPlainFrame(target, fill, line);
    return true;
}

} // namespace

const char* SkinOpenFailureText(SkinOpen step)
{
    switch (step) {
    case SkinOpen::Opened:
        break;
    case SkinOpen::NoPack:
        return "Pakが開けません。";
    case SkinOpen::NoInfo:
        return "設定ファイルの読み込みに失敗しました。";
    case SkinOpen::NoPictures:
        return "初期化に失敗しました。";
    case SkinOpen::NoBalloon:
        return "メッセージウィンドウの初期化に失敗しました。";
    }
    return "";
}

SkinOpen TSkinLoader::Open(const TSkinSource& source, TSkinInfo& skin)
{
    ReleasePictures();
    ClosePack();
    folder_.clear();
    failure_.clear();
    if (!source.pack.empty()) {
        if (!pack_.OpenPack(source.pack)) {
            Refused(port::Utf8ToCp932(std::filesystem::path(source.pack).filename().string()),
                    "cannot be opened as a pack");
            return SkinOpen::NoPack;
        }
    } else {
        folder_ = source.folder;
    }
    if (!ReadInfo(skin))
        return SkinOpen::NoInfo;
    if (!LoadPictures(skin))
        return SkinOpen::NoPictures;
    ReleaseBalloon();
    if (!LoadPicture("Fukidasi.bmp", balloon_, 1))
        return SkinOpen::NoBalloon;
    return SkinOpen::Opened;
}

bool TSkinLoader::Refused(std::string_view file, std::string_view why)
{
    failure_ = std::string(file) + ": " + std::string(why);
    return false;
}

std::unique_ptr<TStream> TSkinLoader::OpenFile(std::string_view name, std::string* why)
{
    std::string unasked;
    std::string& reason = why ? *why : unasked;
    std::optional<std::string> relative = SkinRelativePath(name);
    if (!relative) {
        reason = "not a name of a file inside the skin";
        return nullptr;
    }
    if (pack_.Opened()) {
        std::unique_ptr<TStream> stream = pack_.ZoMakeStream(name);
        if (!stream)
            reason = "not in the pack, or damaged there";
        return stream;
    }
    std::optional<std::string> path = folder_.empty() ? std::nullopt : FindFileIgnoringCase(folder_, *relative);
    if (!path) {
        reason = "not found";
        return nullptr;
    }
    return TFileStream::Open(*path, fmOpenRead, &reason);
}

bool TSkinLoader::LoadPicture(const std::string& name, TZoRGBBits& target, int cells)
{
    std::string why;
    std::unique_ptr<TStream> stream = OpenFile(name, &why);
    return (stream && DecodePicture(*stream, target, cells, why)) || Refused(name, why);
}

bool TSkinLoader::DecodePicture(TStream& stream, TZoRGBBits& target, int cells, std::string& why)
{
    int w = 0;
    int h = 0;
    if (!LoadBmp(&stream, nullptr, &w, &h, pf24_888, &why))
        return false;
    const int cellWidth = w / std::max(cells, 1);
    const std::string size = std::to_string(w) + " x " + std::to_string(h);
    if (cellWidth > kMaxSkinPictureSide || h > kMaxSkinPictureSide) {
        why = (cells > 1 ? "a cell of " + std::to_string(cellWidth) + " x " + std::to_string(h) : size) +
              " is more than " + std::to_string(kMaxSkinPictureSide) + " pixels on a side";
        return false;
    }
    const int64_t pixels = int64_t{w} * h;
    if (pixels > kMaxSkinPicturePixels) {
        why = size + " is more than " + std::to_string(kMaxSkinPicturePixels) + " pixels";
        return false;
    }
    if (pixels > pixelsLeft_) {
        why = "the skin's pictures are more than " + std::to_string(kMaxSkinPixels) + " pixels together";
        return false;
    }
    if (!stream.SetPosition(0)) {
        why = "cannot be read again from its start";
        return false;
    }
    if (!target.DrawBmpStream(&stream, 0, 0, &why))
        return false;
    if (!target.Created()) {
        why = "out of memory";
        return false;
    }
    pixelsLeft_ -= pixels;
    return true;
}

bool TSkinLoader::ReadInfo(TSkinInfo& skin)
{
    std::string why;
    std::unique_ptr<TStream> stream = OpenFile("Info.ini", &why);
    if (!stream)
        return Refused("Info.ini", why);
    const int64_t size = stream->Size();
    if (size < 0 || size > static_cast<int64_t>(kMaxSkinInfoBytes))
        return Refused("Info.ini", "larger than " + std::to_string(kMaxSkinInfoBytes) + " bytes");
    std::string text(static_cast<size_t>(size), '\0');
    if (stream->Read(text.data(), size) != size)
        return Refused("Info.ini", "cannot be read");
    stream.reset();

    skin.SetDefaults();
    for (std::string_view line : SplitSkinLines(text))
        ParseSkinLine(skin, line);
    FinishSkinInfo(skin);
    return skin.pictureCount > 0 || Refused("Info.ini", "PICTURE1 is missing");
}

bool TSkinLoader::LoadPictures(TSkinInfo& skin)
{
    if (skin.pictureCount == 0)
        return false;
    ReleasePictures();

    int64_t stripPixels = 0; // the strip layout's picture, counted once for all its cuts
    if (skin.quentilFlag > 0) {
        TZoRGBBits strip;
        if (!LoadPicture(skin.pictures[0], strip, kStripCells))
            return false;
        const int u = strip.Width() / kStripCells;
        if (u <= 0 || strip.Height() <= 0)
            return Refused(skin.pictures[0], "narrower than the strip's " + std::to_string(kStripCells) + " cells");
        stripPixels = int64_t{strip.Width()} * strip.Height();
        if (!CutCells(strip, u, 8, 1, pictures_[0]))
            return Refused(skin.pictures[0], "out of memory");
        for (size_t i = 0; i < 4; ++i) {
            const TCut cut = StripCut(static_cast<int>(i), skin.quentilFlag);
            if (!CutCells(strip, u, cut.first, cut.count, animes_[i]))
                return Refused(skin.pictures[0], "out of memory");
            skin.animes[i].frames = cut.count;
            skin.animes[i].delay = 0;
        }
        skin.animeCount = 4;
    } else {
        for (int i = 0; i < skin.pictureCount; ++i)
            if (!LoadPicture(skin.pictures[static_cast<size_t>(i)], pictures_[static_cast<size_t>(i)], 1))
                return false;
        auto loadStrips = [&](std::array<TSkinStrip, kSkinSlots>& strips, int count,
                              std::array<TZoRGBBits, kSkinSlots>& buffers) {
            for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
                if (!LoadPicture(strips[i].file, buffers[i], strips[i].frames))
                    return false;
                // Each frame is at least one pixel wide.
                strips[i].frames = std::min(strips[i].frames, buffers[i].Width());
            }
            return true;
        };
        if (!loadStrips(skin.animes, skin.animeCount, animes_) || !loadStrips(skin.clicks, skin.clickCount, clicks_))
            return false;
    }

    // Checked: the strips are let go until their animations play.
    for (auto [buffers, checks] : {std::pair{&animes_, &animeChecks_}, std::pair{&clicks_, &clickChecks_}}) {
        for (size_t i = 0; i < buffers->size(); ++i) {
            TZoRGBBits& b = (*buffers)[i];
            if (!b.Created())
                continue;
            (*checks)[i] = {b.Width(), b.Height(), stripPixels > 0 ? stripPixels : int64_t{b.Width()} * b.Height()};
            b.Release();
        }
    }
    skin.mesOffsetY = std::min(skin.mesOffsetY, pictures_[0].Height());
    return true;
}

bool TSkinLoader::LoadStrip(bool click, int slot, const TSkinInfo& skin)
{
    if (slot < 0 || slot >= kSkinSlots)
        return false;
    TZoRGBBits& buffer = Strip(click, slot);
    return buffer.Created() || DecodeStrip(click, slot, skin, buffer);
}

void TSkinLoader::DropStrip(bool click, int slot)
{
    if (slot < 0 || slot >= kSkinSlots)
        return;
    TZoRGBBits& buffer = Strip(click, slot);
    if (buffer.Created())
        buffer.Release();
}

bool TSkinLoader::DecodeStrip(bool click, int n, const TSkinInfo& skin, TZoRGBBits& target)
{
    const size_t slot = static_cast<size_t>(n);
    const TStripCheck& check = (click ? clickChecks_ : animeChecks_)[slot];
    if (check.pixels <= 0)
        return false;
    // Counted when the skin opened: this decode may take as much again and
    // no more, whatever the rest of the skin left.
    const int64_t left = pixelsLeft_;
    pixelsLeft_ = check.pixels;
    bool ok = false;
    if (skin.quentilFlag > 0) {
        TZoRGBBits strip;
        const TCut cut = StripCut(n, skin.quentilFlag);
        ok = !click && LoadPicture(skin.pictures[0], strip, kStripCells) &&
             CutCells(strip, strip.Width() / kStripCells, cut.first, cut.count, target);
    } else {
        const TSkinStrip& strip = (click ? skin.clicks : skin.animes)[slot];
        ok = LoadPicture(strip.file, target, strip.frames);
    }
    pixelsLeft_ = left;
    // A file changed since the skin opened is not played.
    ok = ok && target.Width() == check.width && target.Height() == check.height;
    if (!ok && target.Created())
        target.Release();
    return ok;
}

bool TSkinLoader::LoadPlain(TSkinInfo& skin)
{
    ReleasePictures();
    ClosePack();
    skin.SetDefaults();
    skin.name = Sjis("無地");
    skin.align = alFree;
    skin.onTop = 0;
    skin.pictureCount = 1;
    skin.yearOffX = 24;
    skin.yearOffY = 12;
    skin.dateOffX = 24;
    skin.dateOffY = 48;
    skin.weekOffX = 24;
    skin.weekOffY = 84;
    skin.timeOffX = 24;
    skin.timeOffY = 116;
    skin.mesOffsetLX = 16;
    skin.mesOffsetRX = 16;
    skin.mesOffsetY = 0;

    if (!MakePlainFrame(pictures_[0], 160, 160, kPlainFill, kPlainLine))
        return false;
    ReleaseBalloon();
    return MakePlainFrame(balloon_, 256, 128, kPlainBalloonFill, kPlainBalloonLine);
}

void TSkinLoader::ReleasePictures()
{
    for (auto* buffers : {&pictures_, &animes_, &clicks_})
        for (TZoRGBBits& b : *buffers)
            if (b.Created())
                b.Release();
    animeChecks_ = {};
    clickChecks_ = {};
    pixelsLeft_ = kMaxSkinPixels;
}

void TSkinLoader::ReleaseBalloon()
{
    if (balloon_.Created())
        balloon_.Release();
}

void TSkinLoader::ClosePack()
{
    pack_.ClosePack();
}

} // namespace pendar
