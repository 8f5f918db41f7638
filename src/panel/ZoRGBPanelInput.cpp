// TZoRGBPanel: hit testing, mouse routing, keys and the active chain.
#include "panel/ZoRGBPanel.h"

#include "raster/ZoAlpha.h"
#include "raster/ZoRGBBits.h"

#include <cstdint>

namespace {

// A coordinate of a parent moved into a child at `offset`.
int Into(int v, int offset) { return pendar::SaturatedAdd(v, -int64_t{offset}); }

} // namespace

// ---- hit testing ------------------------------------------------------------

bool TZoRGBPanel::PosIsTrans(int x, int y) const
{
    if (!mouseTrans_)
        return false;
    if (!HasFrame())
        return true;
    if (maskMode_ == mmOpaque)
        return false;
    // A point outside the shown frame has no pixel of it; it must not test
    // the frame below.
    const int frameHeight = FrameHeight();
    const bool inFrame = x >= 0 && x < image_->Width() && y >= 0 && y < frameHeight;
    const int row = inFrame ? static_cast<int>(int64_t{frameHeight} * blockIndex_ + y) : 0;
    switch (maskMode_) {
    case mmAlpha:
    case mmHitOnly:
        return alpha_ && (!inFrame || alpha_->PGet(x, row) == 0);
    case mmKey:
        return !inFrame || image_->PGet(x, row) == image_->TZoRGBtoPixel(colorKey_);
    case mmOpaque:
        break;
    }
    return false;
}

bool TZoRGBPanel::PosInPanel(int x, int y, bool forMouse) const
{
    if (!Drawable() || !ClientRect().InRect(x, y) || (forMouse && !mouseControl_))
        return false;
    if (!forMouse || !PosIsTrans(x, y))
        return true;
    return FindPosPanel(x, y, true) != nullptr;
}

TZoRGBPanel* TZoRGBPanel::FindPosPanel(int x, int y, bool forMouse) const
{
    TZoRGBPanel* found = nullptr;
    FrontChildTakes([&](TZoRGBPanel* child) {
        if (child->PosInPanel(Into(x, child->offsetX_), Into(y, child->offsetY_), forMouse))
            found = child;
        return found != nullptr;
    });
    return found;
}

// ---- mouse ------------------------------------------------------------------

void TZoRGBPanel::SetMouseCapToParent(TZoRGBPanel* panel)
{
    TZoRGBPanel* root = this;
    while (root->parent_)
        root = root->parent_;
    root->SetMouseCapToChild(panel);
}

void TZoRGBPanel::SetMouseCapToChild(TZoRGBPanel* panel)
{
    mouseCap_ = panel;
    if (panel != this)
        pressed_ = false;
    ForEachChild([panel](TZoRGBPanel* child) { child->SetMouseCapToChild(panel); });
}

void TZoRGBPanel::ReleaseCaptureInSubtree()
{
    if (mouseCap_ && mouseCap_->SearchPanelToParent(this))
        SetMouseCapToParent(nullptr);
}

bool TZoRGBPanel::MouseMove(TShiftState shift, int x, int y)
{
    if (!Drawable())
        return false;
    if (mouseCap_ && !mouseCap_->Drawable()) // it cannot take the mouse any more
        SetMouseCapToParent(nullptr);
    if (TZoRGBPanel* capture = mouseCap_) {
        PointTo(capture, x, y);
        if (capture->mouseControl_)
            capture->CallOnMouseMove(shift, x, y);
        return true;
    }
    TZoRGBPanel* under = FindPosPanel(x, y, true);
    if (under != hover_) {
        if (hover_)
            hover_->MouseLeave();
        hover_ = under;
        if (under)
            under->MouseEnter(Into(x, under->offsetX_), Into(y, under->offsetY_));
    }
    bool handled = under && under->MouseMove(shift, Into(x, under->offsetX_), Into(y, under->offsetY_));
    if (!handled && mouseControl_)
        CallOnMouseMove(shift, x, y);
    return true;
}

bool TZoRGBPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Drawable())
        return false;
    bool taken = FrontChildTakes([&](TZoRGBPanel* child) {
        return child->Drawable() && child->AreaInParent().InRect(x, y) &&
               child->MouseDown(button, shift, Into(x, child->offsetX_), Into(y, child->offsetY_));
    });
    if (taken)
        return true;
    if (!mouseControl_ || !ClientRect().InRect(x, y) || PosIsTrans(x, y))
        return false;
    if (button == mbLeft)
        pressed_ = true;
    SetMouseCapToParent(this);
    CallOnMouseDown(button, shift, x, y);
    return true;
}

void TZoRGBPanel::FinishPress(bool pressed, TMouseButton button, TShiftState shift, int x, int y)
{
    // A click is the left button going down and coming up on this panel,
    // inside its area.
    const bool click = pressed && button == mbLeft && ClientRect().InRect(x, y);
    CallOnMouseUp(button, shift, x, y);
    if (click)
        CallOnClick();
}

bool TZoRGBPanel::CapturedMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool pressed = pressed_;
    pressed_ = false;
    SetMouseCapToParent(nullptr);
    if (Drawable() && mouseControl_)
        FinishPress(pressed, button, shift, x, y);
    return true;
}

bool TZoRGBPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (TZoRGBPanel* capture = mouseCap_) {
        if (capture == this)
            return CapturedMouseUp(button, shift, x, y);
        if (!capture->created_) {
            SetMouseCapToParent(nullptr);
            return false;
        }
        int cx = x;
        int cy = y;
        PointTo(capture, cx, cy);
        capture->CapturedMouseUp(button, shift, cx, cy);
        MouseMove(shift, x, y); // the pointer may now be over another panel
        return true;
    }
    if (!Drawable())
        return false;
    bool taken = FrontChildTakes([&](TZoRGBPanel* child) {
        return child->Drawable() && child->AreaInParent().InRect(x, y) &&
               child->MouseUp(button, shift, Into(x, child->offsetX_), Into(y, child->offsetY_));
    });
    if (taken)
        return true;
    if (!mouseControl_ || !ClientRect().InRect(x, y) || PosIsTrans(x, y))
        return false;
    const bool pressed = pressed_;
    pressed_ = false;
    FinishPress(pressed, button, shift, x, y);
    return true;
}

void TZoRGBPanel::MouseEnter(int x, int y)
{
    if (mouseCap_ || !Drawable())
        return;
    if (mouseControl_)
        CallOnMouseEnter();
    // An enter that comes without a leave before it (window systems send
    // such) must not forget a child the pointer was over without telling it.
    TZoRGBPanel* under = FindPosPanel(x, y, true);
    if (hover_ && hover_ != under && hover_->mouseControl_)
        hover_->MouseLeave();
    hover_ = under;
    if (hover_ && hover_->mouseControl_)
        hover_->MouseEnter(Into(x, hover_->offsetX_), Into(y, hover_->offsetY_));
}

void TZoRGBPanel::MouseLeave()
{
    if (mouseCap_ || !Drawable())
        return;
    if (mouseControl_)
        CallOnMouseLeave();
    TZoRGBPanel* left = hover_;
    hover_ = nullptr;
    if (left && left->mouseControl_)
        left->MouseLeave();
}

bool TZoRGBPanel::MouseWheel(TShiftState shift, int wheelDelta, bool& handled, port::TPoint mousePos)
{
    if (!Drawable())
        return handled;
    FrontChildTakes([&](TZoRGBPanel* child) {
        if (child->Drawable())
            child->MouseWheel(shift, wheelDelta, handled,
                              {Into(mousePos.x, child->offsetX_), Into(mousePos.y, child->offsetY_)});
        return handled;
    });
    if (!handled && mouseControl_)
        CallOnMouseWheel(shift, wheelDelta, mousePos, handled);
    return handled;
}

// ---- keys -------------------------------------------------------------------

template <typename Forward, typename Fire>
bool TZoRGBPanel::RouteKey(Forward forward, Fire fire)
{
    if (!Drawable())
        return false;
    if (TZoRGBPanel* active = GetActivePanel(); active && forward(active))
        return true;
    if (!keyControl_)
        return false;
    fire();
    return true;
}

bool TZoRGBPanel::KeyDown(TKeyCode& key, TShiftState shift)
{
    return RouteKey([&](TZoRGBPanel* active) { return active->KeyDown(key, shift); },
                    [&] { CallOnKeyDown(key, shift); });
}

bool TZoRGBPanel::KeyUp(TKeyCode& key, TShiftState shift)
{
    return RouteKey([&](TZoRGBPanel* active) { return active->KeyUp(key, shift); },
                    [&] { CallOnKeyUp(key, shift); });
}

bool TZoRGBPanel::KeyPress(char& key)
{
    return RouteKey([&](TZoRGBPanel* active) { return active->KeyPress(key); }, [&] { CallOnKeyPress(key); });
}

// ---- the active chain -------------------------------------------------------

TZoRGBPanel* TZoRGBPanel::GetActivePanel() const
{
    TZoRGBPanel* active = nullptr;
    FrontChildTakes([&active](TZoRGBPanel* child) {
        if (child->Drawable())
            active = child;
        return active != nullptr;
    });
    return active;
}

void TZoRGBPanel::SetActive()
{
    if (parent_) {
        SetActiveToParent();
        return;
    }
    if (!Drawable() || active_)
        return;
    active_ = true;
    SetActiveToChild();
    CallOnActivate();
}

void TZoRGBPanel::SetActiveToParent()
{
    if (parent_)
        parent_->SetActiveFromChild(this);
}

void TZoRGBPanel::SetActiveFromChild(TZoRGBPanel* child)
{
    int index = IndexOf(child);
    if (index >= 0 && index + 1 < GetChildCount())
        MoveChild(static_cast<size_t>(index), children_.size() - 1);
    if (parent_)
        SetActiveToParent();
    else
        SetActiveToChild();
}

void TZoRGBPanel::SetActiveToChild()
{
    if (!created_)
        return;
    TZoRGBPanel* active = GetActivePanel();
    ForEachChild([active](TZoRGBPanel* child) {
        if (child != active)
            child->SetActiveFromParent(false);
    });
    if (active)
        active->SetActiveFromParent(active_);
}

void TZoRGBPanel::SetActiveFromParent(bool value)
{
    if (!Drawable())
        return;
    const bool changed = value != active_;
    active_ = value;
    SetActiveToChild();
    if (!changed)
        return;
    if (value)
        CallOnActivate();
    else
        CallOnDeactivate();
}

void TZoRGBPanel::ChangeCreatedToParent()
{
    if (parent_)
        parent_->ChangeCreatedFromChild();
    else
        SetActiveToChild();
}

void TZoRGBPanel::ChangeCreatedFromChild() { ChangeCreatedToParent(); }
