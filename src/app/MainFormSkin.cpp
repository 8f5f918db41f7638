// Skins: opening one from its pack or folder, reading Info.ini, loading its
// pictures, and the plain built-in skin that replaces a skin that fails.
#include "app/MainForm.h"

#include "app/PlainFrame.h"
#include "app/SkinParse.h"
#include "base/Sjis.h"
#include "port/Cp932.h"
#include "raster/BmpLoader.h"

#include <filesystem>

namespace {

// A skin is hostile input: its pictures are capped before they are
// decoded, each and all together. The side cap holds for what a window
// shows, a still picture or one cell of a strip, so that no window outgrows
// X's 16-bit coordinates; the pixel caps bound the memory.
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

void ShowError(TMainForm::Services& svc, const char* utf8)
{
    svc.messageBoxes.Show(Sjis(utf8), Sjis("エラー"), port::MessageButtons::Ok, port::MessageIcon::Exclamation);
}

// Sizes `target` to the cells [first, first + count) of the strip and
// copies them in.
bool CutCells(TZoRGBBits& strip, int u, int first, int count, TZoRGBBits& target)
{
    target.Resize(u * count, strip.Height());
    return target.Create() && target.Draw(0, 0, &strip, u * first, 0, u * count, strip.Height());
}

} // namespace

bool TMainForm::OpenSkin(const std::string& name)
{
    std::optional<pendar::TSkinSource> source = pendar::FindSkinSource(svc_.skinFolders, name);
    // A name that cannot be a skin's reads like a skin without Info.ini.
    return OpenSkinFrom(source ? *source : pendar::TSkinSource{});
}

bool TMainForm::OpenSkinFrom(const pendar::TSkinSource& source)
{
    ReleasePictures();
    ClosePack();
    skinFolder_.clear();
    skinFailure_.clear();
    if (!source.pack.empty()) {
        if (!zoPack_.OpenPack(source.pack)) {
            SkinRefused(port::Utf8ToCp932(std::filesystem::path(source.pack).filename().string()),
                        "cannot be opened as a pack");
            return SkinFailed("Pakが開けません。");
        }
    } else {
        skinFolder_ = source.folder;
    }
    if (!ReadSkinInfo())
        return SkinFailed("設定ファイルの読み込みに失敗しました。");
    if (!LoadSkinPictures())
        return SkinFailed("初期化に失敗しました。");
    if (!LoadBalloon())
        return SkinFailed("メッセージウィンドウの初期化に失敗しました。");
    ShowLoadedSkin();
    return true;
}

bool TMainForm::SkinRefused(std::string_view file, std::string_view why)
{
    skinFailure_ = std::string(file) + ": " + std::string(why);
    return false;
}

bool TMainForm::SkinFailed(const char* utf8Box)
{
    ShowError(svc_, utf8Box);
    // The box keeps its fixed text; the log says which file and why.
    AddLog(Sjis(utf8Box) + (skinFailure_.empty() ? "" : " " + skinFailure_), 255);
    return false;
}

void TMainForm::ShowLoadedSkin()
{
    animeMode_ = amPicture;
    animeIndex_ = 0;
    ShowFrame(amPicture, 0, 0);
    UpdateClock(currentTime_);
}

std::unique_ptr<TStream> TMainForm::OpenSkinFile(std::string_view name, std::string* why)
{
    std::string unasked;
    std::string& reason = why ? *why : unasked;
    std::optional<std::string> relative = pendar::SkinRelativePath(name);
    if (!relative) {
        reason = "not a name of a file inside the skin";
        return nullptr;
    }
    if (zoPack_.Opened()) {
        std::unique_ptr<TStream> stream = zoPack_.ZoMakeStream(name);
        if (!stream)
            reason = "not in the pack, or damaged there";
        return stream;
    }
    std::optional<std::string> path =
        skinFolder_.empty() ? std::nullopt : pendar::FindFileIgnoringCase(skinFolder_, *relative);
    if (!path) {
        reason = "not found";
        return nullptr;
    }
    return TFileStream::Open(*path, fmOpenRead, &reason);
}

bool TMainForm::LoadSkinPicture(const std::string& name, TZoRGBBits& target, int cells)
{
    std::string why;
    std::unique_ptr<TStream> stream = OpenSkinFile(name, &why);
    return (stream && DecodeSkinPicture(*stream, target, cells, why)) || SkinRefused(name, why);
}

bool TMainForm::DecodeSkinPicture(TStream& stream, TZoRGBBits& target, int cells, std::string& why)
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
    if (pixels > skinPixelsLeft_) {
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
    skinPixelsLeft_ -= pixels;
    return true;
}

bool TMainForm::ReadSkinInfo()
{
    std::string why;
    std::unique_ptr<TStream> stream = OpenSkinFile("Info.ini", &why);
    if (!stream)
        return SkinRefused("Info.ini", why);
    const int64_t size = stream->Size();
    if (size < 0 || size > static_cast<int64_t>(kMaxSkinInfoBytes))
        return SkinRefused("Info.ini", "larger than " + std::to_string(kMaxSkinInfoBytes) + " bytes");
    std::string text(static_cast<size_t>(size), '\0');
    if (stream->Read(text.data(), size) != size)
        return SkinRefused("Info.ini", "cannot be read");
    stream.reset();

    skin_.SetDefaults();
    for (std::string_view line : SplitSkinLines(text))
        ParseSkinLine(skin_, line);
    ApplyTaskbarMode();
    FinishSkinInfo(skin_);
    return skin_.pictureCount > 0 || SkinRefused("Info.ini", "PICTURE1 is missing");
}

bool TMainForm::LoadSkinPictures()
{
    if (skin_.pictureCount == 0)
        return false;
    ReleasePictures();

    int64_t stripPixels = 0; // the strip layout's picture, counted once for all its cuts
    if (skin_.quentilFlag > 0) {
        TZoRGBBits strip;
        if (!LoadSkinPicture(skin_.pictures[0], strip, kStripCells))
            return false;
        const int u = strip.Width() / kStripCells;
        if (u <= 0 || strip.Height() <= 0)
            return SkinRefused(skin_.pictures[0], "narrower than the strip's " + std::to_string(kStripCells) +
                                                      " cells");
        stripPixels = int64_t{strip.Width()} * strip.Height();
        if (!CutCells(strip, u, 8, 1, pictures_[0]))
            return SkinRefused(skin_.pictures[0], "out of memory");
        for (size_t i = 0; i < 4; ++i) {
            const TCut cut = StripCut(static_cast<int>(i), skin_.quentilFlag);
            if (!CutCells(strip, u, cut.first, cut.count, animes_[i]))
                return SkinRefused(skin_.pictures[0], "out of memory");
            skin_.animes[i].frames = cut.count;
            skin_.animes[i].delay = 0;
        }
        skin_.animeCount = 4;
    } else {
        for (int i = 0; i < skin_.pictureCount; ++i)
            if (!LoadSkinPicture(skin_.pictures[static_cast<size_t>(i)], pictures_[static_cast<size_t>(i)], 1))
                return false;
        auto loadStrips = [&](std::array<TSkinStrip, kSkinSlots>& strips, int count,
                              std::array<TZoRGBBits, kSkinSlots>& buffers) {
            for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
                if (!LoadSkinPicture(strips[i].file, buffers[i], strips[i].frames))
                    return false;
                // Each frame is at least one pixel wide.
                strips[i].frames = std::min(strips[i].frames, buffers[i].Width());
            }
            return true;
        };
        if (!loadStrips(skin_.animes, skin_.animeCount, animes_) ||
            !loadStrips(skin_.clicks, skin_.clickCount, clicks_))
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

    const TZoRGBBits& first = pictures_[0];
    skin_.mesOffsetY = std::min(skin_.mesOffsetY, first.Height());
    LayoutPanels(first.Width(), first.Height(), 0, 0);
    SetUpClockLabels();
    return true;
}

bool TMainForm::DecodeStrip(int mode, int n, TZoRGBBits& target)
{
    const size_t slot = static_cast<size_t>(n);
    const TStripCheck& check = (mode == amAnime ? animeChecks_ : clickChecks_)[slot];
    if (check.pixels <= 0)
        return false;
    // Counted when the skin opened: this decode may take as much again and
    // no more, whatever the rest of the skin left.
    const int64_t left = skinPixelsLeft_;
    skinPixelsLeft_ = check.pixels;
    bool ok = false;
    if (skin_.quentilFlag > 0) {
        TZoRGBBits strip;
        const TCut cut = StripCut(n, skin_.quentilFlag);
        ok = mode == amAnime && LoadSkinPicture(skin_.pictures[0], strip, kStripCells) &&
             CutCells(strip, strip.Width() / kStripCells, cut.first, cut.count, target);
    } else {
        const TSkinStrip& strip = (mode == amAnime ? skin_.animes : skin_.clicks)[slot];
        ok = LoadSkinPicture(strip.file, target, strip.frames);
    }
    skinPixelsLeft_ = left;
    // A file changed since the skin opened is not played.
    ok = ok && target.Width() == check.width && target.Height() == check.height;
    if (!ok && target.Created())
        target.Release();
    return ok;
}

void TMainForm::SetUpClockLabels()
{
    TFont font;
    font.name = skin_.clockFont;
    font.height = skin_.clockSize;
    font.color = skin_.clockColor;
    font.quality = fqAntialiased;
    const int places[][2] = {{skin_.yearOffX, skin_.yearOffY},
                             {skin_.dateOffX, skin_.dateOffY},
                             {skin_.weekOffX, skin_.weekOffY},
                             {skin_.timeOffX, skin_.timeOffY}};
    for (int i = 0; i < pendar::kClockLabelCount; ++i) {
        pendar::TFaceLabel& label = face_.labels[static_cast<size_t>(i)];
        label.font = font;
        label.left = places[i][0];
        label.top = places[i][1];
        label.visible = label.left >= 0 && label.top >= 0;
    }
    FaceChanged(pendar::fpLabels);
}

bool TMainForm::LoadPlainSkin()
{
    ReleasePictures();
    ClosePack();
    skin_.SetDefaults();
    skin_.name = Sjis("無地");
    skin_.align = alFree;
    ApplyTaskbarMode();
    skin_.onTop = 0;
    skin_.pictureCount = 1;
    skin_.yearOffX = 24;
    skin_.yearOffY = 12;
    skin_.dateOffX = 24;
    skin_.dateOffY = 48;
    skin_.weekOffX = 24;
    skin_.weekOffY = 84;
    skin_.timeOffX = 24;
    skin_.timeOffY = 116;
    skin_.mesOffsetLX = 16;
    skin_.mesOffsetRX = 16;
    skin_.mesOffsetY = 0;

    TZoRGBBits& picture = pictures_[0];
    picture.Resize(160, 160);
    picture.Create();
    if (!picture.Created())
        return false;
    pendar::DrawPlainFrame(picture, pendar::kPlainFill, pendar::kPlainLine);
    LayoutPanels(160, 160, 0, 0);
    SetUpClockLabels();
    if (!MakePlainBalloon())
        return false;
    ShowLoadedSkin();
    return true;
}

void TMainForm::ReleasePictures()
{
    for (auto* buffers : {&pictures_, &animes_, &clicks_})
        for (TZoRGBBits& b : *buffers)
            if (b.Created())
                b.Release();
    animeChecks_ = {};
    clickChecks_ = {};
    characterRegion_.reset();
    skinPixelsLeft_ = kMaxSkinPixels;
}

void TMainForm::ClosePack()
{
    zoPack_.ClosePack();
}
