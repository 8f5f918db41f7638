// Where the character may sit and how it gets there: the alignment after
// the task-bar mode, placing the window, the one move that keeps it on its
// edge, dragging, and the window's stacking.
#include "app/MainForm.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kDragThreshold = 9; // |dx| + |dy| from the press point
// Picture offsets come from Info.ini; beyond this no screen has room, and
// the sums stay far from overflowing.
constexpr int kMaxPictureOffset = 1 << 16;

} // namespace

void TMainForm::ApplyTaskbarMode()
{
    // With the task-bar mode the character keeps to the screen's edges
    // instead of following windows.
    mappedAlign_ = settings_.taskbar ? pendar::ScreenEdgeAlign(skin_.align) : skin_.align;
    // Only the window-relative places need the foreground window; for the
    // others the tracker listens to nothing.
    svc_.tracker.Follow(mappedAlign_ > alRight);
}

pendar::TPlacementGeometry TMainForm::PlacementGeometry() const
{
    const port::TRect area = svc_.view.WorkArea();
    pendar::TPlacementGeometry g;
    g.sw = area.Width();
    g.sh = area.Height();
    g.w = face_.mainPanel.Width();
    g.h = face_.mainPanel.Height();
    g.bw = face_.mesPanel.Width();
    g.bh = face_.mesPanel.Height();
    g.pictureOffX = std::clamp(skin_.pictureOffX, -kMaxPictureOffset, kMaxPictureOffset);
    g.pictureOffY = std::clamp(skin_.pictureOffY, -kMaxPictureOffset, kMaxPictureOffset);
    g.window = {trackedRect_.left - area.left, trackedRect_.top - area.top, trackedRect_.right - area.left,
                trackedRect_.bottom - area.top};
    return g;
}

void TMainForm::PlaceWindow(bool show)
{
    placedAlign_ = mappedAlign_;
    if (placedAlign_ > alRight && trackedWindow_ == 0)
        placedAlign_ = pendar::ScreenEdgeAlign(placedAlign_);
    const pendar::TPlacementGeometry g = PlacementGeometry();
    const pendar::TPoint at = pendar::CharacterPlace(placedAlign_, g, settings_.offsetX, settings_.offsetY);
    if (show && !svc_.view.IsVisible())
        svc_.view.Show();
    const port::TRect area = svc_.view.WorkArea();
    MoveConstrained(area.left + at.x + g.pictureOffX - g.bw, area.top + at.y + g.pictureOffY - g.bh);
}

void TMainForm::MoveConstrained(int left, int top)
{
    const port::TRect area = svc_.view.WorkArea();
    const pendar::TPlacementGeometry g = PlacementGeometry();
    pendar::TPoint at = pendar::ConstrainCharacter(placedAlign_, g, {left - area.left + g.bw, top - area.top + g.bh});
    at.x += g.pictureOffX;
    at.y += g.pictureOffY;
    windowLeft_ = area.left + at.x - g.bw;
    windowTop_ = area.top + at.y - g.bh;
    svc_.view.MoveWindow(windowLeft_, windowTop_);
    // A balloon on the left would start left of the screen: it goes right.
    const int side = at.x < g.bw - skin_.mesOffsetLX ? bsRight : bsLeft;
    if (side != balloonSide_)
        SetBalloonSide(side);
    if (dragging_)
        UpdateOffsets();
}

void TMainForm::UpdateOffsets()
{
    const port::TRect area = svc_.view.WorkArea();
    const pendar::TPlacementGeometry g = PlacementGeometry();
    const pendar::TPoint at{windowLeft_ - area.left + g.bw - g.pictureOffX,
                            windowTop_ - area.top + g.bh - g.pictureOffY};
    pendar::RatiosOf(placedAlign_, g, at, settings_.offsetX, settings_.offsetY);
}

void TMainForm::MainImageMouseDown(bool left, int screenX, int screenY)
{
    flashCount_ = 0;
    activationClick_ = false;
    if (!left)
        return;
    pressed_ = true;
    dragX_ = screenX;
    dragY_ = screenY;
    pressLeft_ = windowLeft_;
    pressTop_ = windowTop_;
}

void TMainForm::MainImageMouseMove(bool leftDown, int screenX, int screenY)
{
    if (!leftDown || !pressed_)
        return;
    const int dx = screenX - dragX_;
    const int dy = screenY - dragY_;
    if (!dragging_ && std::abs(dx) + std::abs(dy) < kDragThreshold)
        return;
    dragging_ = true;
    // From the press point, so the picture offsets are added once per move
    // and never pile up.
    MoveConstrained(pressLeft_ + dx, pressTop_ + dy);
}

bool TMainForm::MainImageMouseUp(bool left)
{
    if (!left)
        return false;
    const bool dragged = dragging_;
    pressed_ = false;
    dragging_ = false;
    dragX_ = dragY_ = -1;
    return dragged;
}

void TMainForm::ApplyZOrder()
{
    svc_.view.SetStayOnTop(StaysOnTop());
}

void TMainForm::BringToFront()
{
    svc_.view.BringToFront();
}
