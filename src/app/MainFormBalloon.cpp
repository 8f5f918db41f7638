// The balloon's picture: the skin's Fukidasi.bmp or the plain one, its two
// shapes (one per side), the places and font of its four lines, and
// showing or hiding it.
#include "app/MainForm.h"

#include "app/MakeRegion.h"

#include <algorithm>

namespace {

int Clamped(int64_t v)
{
    constexpr int64_t limit = int64_t{1} << 24;
    return static_cast<int>(std::clamp(v, -limit, limit));
}

// How far the lines move when the balloon is drawn mirrored, so that they
// keep their place in its body: the body's left edge over the lines' rows
// [top, bottom) on the mirrored picture, less the same edge on the picture
// as it is. 0 for a balloon as wide on both sides of its text.
int MirroredLineShift(const pendar::TRegion& shape, int width, int top, int bottom)
{
    int left = width;
    int right = 0;
    for (const port::TRect& run : shape.Rects()) {
        if (run.top < bottom && run.bottom > top) {
            left = std::min(left, run.left);
            right = std::max(right, run.right);
        }
    }
    return left < right ? (width - right) - left : 0;
}

} // namespace

void TMainForm::ShowBalloonPicture()
{
    LayoutBalloon();
    DrawBalloon(balloonSide_);
}

void TMainForm::LayoutBalloon()
{
    TZoRGBBits& balloon = skins_.Balloon();
    const int bw = balloon.Width();
    const int bh = balloon.Height();
    LayoutPanels(0, 0, bw, bh);
    balloonRegion_ = pendar::MakeRegion(balloon, false, 0, 0, bw, bh);
    balloonRegionMirrored_ = pendar::MakeRegion(balloon, true, 0, 0, bw, bh);

    const int64_t s = skin_.mesSize;
    const int64_t x = std::max<int64_t>((bw - 10 * s) / 2, 0);
    const int64_t y = std::max<int64_t>((bh - 4 * s - 16) / 2, 0);
    TFont font;
    font.name = skin_.mesFont;
    font.height = skin_.mesSize;
    font.color = skin_.mesColor;
    font.quality = fqAntialiased;
    const int shift = balloonRegion_ ? MirroredLineShift(*balloonRegion_, bw, Clamped(y), Clamped(y + 4 * s + 12)) : 0;
    balloonLineLeft_ = {Clamped(x), std::max(0, Clamped(x + shift))};
    for (int i = 0; i < 4; ++i) {
        pendar::TFaceLabel& line = face_.labels[static_cast<size_t>(pendar::flLine1 + i)];
        line.left = balloonLineLeft_[balloonSide_ == bsRight ? 1 : 0];
        line.top = Clamped(y + i * (s + 4));
        line.width = Clamped(11 * s);
        line.height = Clamped(s);
        line.font = font;
    }
    FaceChanged(pendar::fpLabels);
}

void TMainForm::DrawBalloon(int side)
{
    TZoRGBBits& balloon = skins_.Balloon();
    if (!balloon.Created())
        return;
    mesDib_.SetReverse(side == bsRight);
    mesDib_.Draw(0, 0, &balloon, 0, 0, balloon.Width(), balloon.Height());
    mesDib_.SetReverse(false);
    const std::optional<pendar::TRegion>& shape = side == bsRight ? balloonRegionMirrored_ : balloonRegion_;
    face_.mesShape = shape ? *shape : pendar::TRegion{};
    FaceChanged(pendar::fpBalloonShape);
    // The lines keep their place in the balloon's body on either side.
    const int left = balloonLineLeft_[side == bsRight ? 1 : 0];
    if (face_.Label(pendar::flLine1).left != left) {
        for (int i = 0; i < 4; ++i)
            face_.labels[static_cast<size_t>(pendar::flLine1 + i)].left = left;
        FaceChanged(pendar::fpLabels);
    }
    ApplyWindowRegion();
}

void TMainForm::SetBalloonSide(int side)
{
    balloonSide_ = side;
    LayoutPanels(0, 0, 0, 0);
    DrawBalloon(side);
}

void TMainForm::ShowBalloonLines(const std::array<std::string, 4>& lines, bool emphasis)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        pendar::TFaceLabel& line = face_.labels[pendar::flLine1 + i];
        line.text = lines[i];
        line.font.italic = emphasis;
        line.font.underline = emphasis;
        line.font.quality = fqAntialiased;
    }
    FaceChanged(pendar::fpLabels);
    if (!face_.mesVisible) {
        face_.mesVisible = true;
        FaceChanged(pendar::fpLayout);
        ApplyWindowRegion();
    }
}

void TMainForm::HideBalloon()
{
    face_.mesVisible = false;
    FaceChanged(pendar::fpLayout);
    ApplyWindowRegion();
}

void TMainForm::MesImageMouseDown(bool left)
{
    flashCount_ = 0;
    // The press that brought the window forward from another one is no
    // request to read on.
    if (activationClick_) {
        activationClick_ = false;
        return;
    }
    if (left)
        svc_.messages.ShowNextPage();
}
