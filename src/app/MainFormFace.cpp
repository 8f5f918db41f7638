// The clock face: the window's inner layout, the frame shown and the
// window's shape, and the clock labels.
#include "app/MainForm.h"

#include "app/MakeRegion.h"
#include "base/Holiday.h"

#include <algorithm>
#include <cstdio>

namespace {

// Positions a hostile skin can push anywhere are kept where sums of them
// cannot overflow.
constexpr int64_t kCoordLimit = int64_t{1} << 24;

int Coord(int64_t v)
{
    return static_cast<int>(std::clamp(v, -kCoordLimit, kCoordLimit));
}

// Gives a display buffer the size w x h, and memory when it has none.
void SizeDisplay(TZoRGBDib& dib, int w, int h)
{
    if (dib.Created() && dib.Width() == w && dib.Height() == h)
        return;
    dib.Resize(w, h);
    if (!dib.Created())
        dib.Create();
}

} // namespace

void TMainForm::CreatePictureBuffers()
{
    // The sizes the window was designed with, until a skin sets its own.
    SizeDisplay(mainDib_, 160, 160);
    SizeDisplay(mesDib_, 256, 128);
}

void TMainForm::FreePictureBuffers()
{
    ReleaseSkin();
    mainDib_.Release();
    mesDib_.Release();
}

void TMainForm::LayoutPanels(int w, int h, int bw, int bh)
{
    port::TRect& main = face_.mainPanel;
    port::TRect& mes = face_.mesPanel;
    if (w <= 0)
        w = main.Width();
    if (h <= 0)
        h = main.Height();
    if (bw <= 0)
        bw = mes.Width();
    if (bh <= 0)
        bh = mes.Height();
    main = {bw, bh, bw + w, bh + h};
    SizeDisplay(mainDib_, w, h);
    const int64_t left = balloonSide_ == bsLeft ? int64_t{skin_.mesOffsetLX}
                                                 : int64_t{bw} + w - skin_.mesOffsetRX;
    const int64_t top = int64_t{bh} + skin_.mesOffsetY;
    mes = {Coord(left), Coord(top), Coord(left + bw), Coord(top + bh)};
    SizeDisplay(mesDib_, bw, bh);
    face_.windowWidth = w + 2 * bw;
    face_.windowHeight = h + 2 * bh;
    FaceChanged(pendar::fpLayout);
}

TMainForm::TFrameBlock TMainForm::FrameOf(int mode, int index, int frame)
{
    if (index < 0 || index >= kSkinSlots || mode < amPicture || mode > amClick)
        return {};
    const size_t slot = static_cast<size_t>(index);
    TZoRGBBits& bitmap = mode == amPicture ? skins_.Picture(index) : skins_.Strip(mode == amClick, index);
    if (!bitmap.Created())
        return {};
    if (mode == amPicture)
        return {&bitmap, 0, bitmap.Width()};
    const int frames = std::max(mode == amAnime ? skin_.animes[slot].frames : skin_.clicks[slot].frames, 1);
    const int width = bitmap.Width() / frames;
    if (width < 1 || frame < 0 || frame >= frames)
        return {};
    return {&bitmap, frame * width, width};
}

void TMainForm::ShowFrame(int mode, int index, int frame)
{
    TFrameBlock block = FrameOf(mode, index, frame);
    if (!block.bitmap)
        return;
    mainDib_.Draw(0, 0, block.bitmap, block.x, 0, block.width, block.bitmap->Height());
    UpdateFrameRegion(mode, index, frame);
}

void TMainForm::UpdateFrameRegion(int mode, int index, int frame)
{
    characterRegion_.reset();
    TFrameBlock block = FrameOf(mode, index, frame);
    if (block.bitmap)
        characterRegion_ = pendar::MakeRegion(*block.bitmap, false, block.x, 0, block.x + block.width,
                                              block.bitmap->Height());
    ApplyWindowRegion();
}

void TMainForm::ApplyWindowRegion()
{
    if (!characterRegion_ || !balloonRegion_ || !balloonRegionMirrored_)
        return;
    pendar::TRegion shape = *characterRegion_;
    shape.Offset(face_.mainPanel.left, face_.mainPanel.top);
    if (face_.mesVisible) {
        pendar::TRegion balloon = balloonSide_ == bsRight ? *balloonRegionMirrored_ : *balloonRegion_;
        balloon.Offset(face_.mesPanel.left, face_.mesPanel.top);
        shape = shape.United(balloon);
    }
    face_.windowShape = std::move(shape);
    FaceChanged(pendar::fpShape);
}

void TMainForm::UpdateClock(const TSchTime& t)
{
    static const char* const weekdays[] = {"(Sun)", "(Mon)", "(Tue)", "(Wed)", "(Thu)", "(Fri)", "(Sat)"};
    const bool holiday = !HolidayName(t).empty();
    const uint32_t colour = holiday || t.weekday == 0 ? skin_.sunColor
                            : t.weekday == 6          ? skin_.satColor
                                                      : skin_.clockColor;
    char text[32];
    pendar::TFaceLabel& year = face_.Label(pendar::flYear);
    if (year.visible) {
        std::snprintf(text, sizeof text, "%4d", t.year);
        year.text = text;
    }
    pendar::TFaceLabel& date = face_.Label(pendar::flDate);
    if (date.visible) {
        std::snprintf(text, sizeof text, "%2d/%2d", t.month, t.day);
        date.text = text;
        date.font.color = colour;
    }
    pendar::TFaceLabel& week = face_.Label(pendar::flWeek);
    if (week.visible) {
        week.text = t.weekday >= 0 && t.weekday <= 6 ? weekdays[t.weekday] : "";
        week.font.color = colour;
    }
    pendar::TFaceLabel& time = face_.Label(pendar::flTime);
    if (time.visible) {
        std::snprintf(text, sizeof text, "%2d:%02d", t.hour, t.minute);
        time.text = text;
    }
    FaceChanged(pendar::fpLabels);
}
