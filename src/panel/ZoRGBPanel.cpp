// TZoRGBPanel: properties, the tree, the lifecycle and the event calls.
#include "panel/ZoRGBPanel.h"

#include "port/FlagScope.h"
#include "port/MessageBoxes.h"
#include "raster/ZoRGBBits.h"

#include <exception>
#include <string>

namespace {

// The application's exception display: a message box with the text.
void ShowException(const std::exception_ptr& error) noexcept
{
    try {
        std::string text = "unknown exception";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {
        }
        port::MessageBoxes().Show(text, "SorelPendar", port::MessageButtons::Ok, port::MessageIcon::Error);
    } catch (...) {
        // Nothing more can be told from a destructor.
    }
}

template <typename Step>
void ShowingExceptions(Step step) noexcept
{
    try {
        step();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

} // namespace

TZoRGBPanel::TZoRGBPanel() { modify_.Reserve(16); }

TZoRGBPanel::TZoRGBPanel(TZoRGBPanel* parent) : TZoRGBPanel() { SetParent(parent); }

TZoRGBPanel::~TZoRGBPanel()
{
    ShowingExceptions([this] {
        if (visible_)
            Hide();
    });
    ShowingExceptions([this] {
        if (created_)
            Release();
    });
    // Detach takes the panel out of its parent before any handler runs, so
    // it has left even when one throws.
    ShowingExceptions([this] { SetParent(nullptr); });
    while (!children_.empty()) {
        TZoRGBPanel* child = children_.back();
        ShowingExceptions([child] { child->SetParent(nullptr); });
        // A child whose detaching failed half-way is dropped from the list.
        if (!children_.empty() && children_.back() == child) {
            children_.pop_back();
            child->parent_ = nullptr;
        }
    }
}

// ---- properties -------------------------------------------------------------

void TZoRGBPanel::SetVisible(bool value)
{
    if (value)
        Show();
    else
        Hide();
}

void TZoRGBPanel::SetAutoSize(bool value)
{
    if (value == autoSize_)
        return;
    autoSize_ = value;
    if (autoSize_)
        FitToImage();
}

void TZoRGBPanel::ChangeGeometry(int& field, int value)
{
    if (field == value)
        return;
    SetModifyToParent();
    field = value;
    SetModify();
}

void TZoRGBPanel::SetOffsetX(int value) { ChangeGeometry(offsetX_, value); }
void TZoRGBPanel::SetOffsetY(int value) { ChangeGeometry(offsetY_, value); }
void TZoRGBPanel::SetSizeX(int value) { ChangeGeometry(sizeX_, value); }
void TZoRGBPanel::SetSizeY(int value) { ChangeGeometry(sizeY_, value); }

void TZoRGBPanel::SetNumBlock(int value)
{
    if (value <= 0 || value == numBlock_)
        return;
    numBlock_ = value;
    if (blockIndex_ > numBlock_ - 1)
        blockIndex_ = numBlock_ - 1;
    SetModify();
}

void TZoRGBPanel::SetBlockIndex(int value)
{
    if (value >= numBlock_ || value == blockIndex_)
        return;
    blockIndex_ = value;
    SetModify();
}

void TZoRGBPanel::FitToImage()
{
    if (!image_ || !image_->Created())
        return;
    SetSizeX(image_->Width());
    SetSizeY(image_->Height() / numBlock_);
}

void TZoRGBPanel::SetImage(TZoRGBBits* image)
{
    image_ = image;
    if (autoSize_)
        FitToImage();
    SetModify();
}

void TZoRGBPanel::SetAlpha(TZoAlpha* alpha)
{
    if (alpha == alpha_)
        return;
    alpha_ = alpha;
    SetModify();
}

void TZoRGBPanel::SetColorKey(TZoRGB key)
{
    if (key == colorKey_)
        return;
    colorKey_ = key;
    SetModify();
}

void TZoRGBPanel::SetMaskMode(TMaskMode mode)
{
    if (mode == maskMode_)
        return;
    maskMode_ = mode;
    SetModify();
}

bool TZoRGBPanel::SetCreated(bool value) { return value ? Create() : Release(); }

void TZoRGBPanel::SetModified(bool value)
{
    if (value)
        SetModify();
    else
        ClrModify();
}

TZoRect TZoRGBPanel::AreaInParent() const
{
    TZoRect area = ClientRect();
    area.OffsetRect(offsetX_, offsetY_);
    return area;
}

bool TZoRGBPanel::HasFrame() const
{
    return image_ && image_->Created() && blockIndex_ >= 0 && blockIndex_ < numBlock_;
}

int TZoRGBPanel::FrameHeight() const { return image_ ? image_->Height() / numBlock_ : 0; }

// ---- event calls ------------------------------------------------------------

void TZoRGBPanel::CallOnClick()
{
    if (OnClick)
        OnClick(this);
}

void TZoRGBPanel::CallOnCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TZoRGBPanel::CallOnRelease()
{
    if (OnRelease)
        OnRelease(this);
}

void TZoRGBPanel::CallOnShow()
{
    if (OnShow)
        OnShow(this);
}

void TZoRGBPanel::CallOnHide()
{
    if (OnHide)
        OnHide(this);
}

void TZoRGBPanel::CallOnMouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TZoRGBPanel::CallOnMouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TZoRGBPanel::CallOnChange()
{
    if (OnChange)
        OnChange(this);
}

void TZoRGBPanel::CallOnActivate()
{
    if (OnActivate)
        OnActivate(this);
}

void TZoRGBPanel::CallOnDeactivate()
{
    if (OnDeactivate)
        OnDeactivate(this);
}

void TZoRGBPanel::CallOnAnime()
{
    if (OnAnime)
        OnAnime(this);
}

void TZoRGBPanel::CallOnMouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TZoRGBPanel::CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TZoRGBPanel::CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TZoRGBPanel::CallOnMouseWheel(TShiftState shift, int wheelDelta, port::TPoint mousePos, bool& handled)
{
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
}

void TZoRGBPanel::CallOnKeyDown(TKeyCode& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TZoRGBPanel::CallOnKeyUp(TKeyCode& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TZoRGBPanel::CallOnKeyPress(char& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

bool TZoRGBPanel::CallOnDraw(TZoRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy)
{
    return OnDraw && OnDraw(this, dest, x, y, sx, sy, dx, dy);
}

// ---- tree -------------------------------------------------------------------

void TZoRGBPanel::SetParent(TZoRGBPanel* p)
{
    if (parent_) {
        TZoRGBPanel* old = parent_;
        old->Detach(this);
        if (Drawable())
            MarkInParent(old, ClientRect());
        if (hover_)
            hover_->MouseLeave();
        StatusClear();
        SetActive();
    }
    if (p && !p->SearchPanelToParent(this)) {
        parent_ = p;
        p->Attach(this);
        SetModify();
    }
    hover_ = nullptr;
}

void TZoRGBPanel::Attach(TZoRGBPanel* child)
{
    children_.push_back(child);
    SetActiveToChild();
    child->SetMouseCapToChild(mouseCap_);
}

void TZoRGBPanel::Detach(TZoRGBPanel* child)
{
    int index = IndexOf(child);
    if (index < 0)
        return;
    children_.erase(children_.begin() + index);
    child->parent_ = nullptr;
    if (hover_ == child)
        hover_ = nullptr;
    if (mouseCap_ && mouseCap_->SearchPanelToParent(child))
        SetMouseCapToParent(nullptr);
    SetActiveToChild();
}

bool TZoRGBPanel::AddChild(TZoRGBPanel* child)
{
    if (!child)
        return false;
    child->SetParent(this);
    return child->parent_ == this;
}

bool TZoRGBPanel::DelChild(TZoRGBPanel* child)
{
    if (!child || child->parent_ != this)
        return false;
    child->SetParent(nullptr);
    return true;
}

TZoRGBPanel* TZoRGBPanel::GetChild(int index) const
{
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    return children_[static_cast<size_t>(index)];
}

int TZoRGBPanel::IndexOf(const TZoRGBPanel* child) const
{
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i] == child)
            return static_cast<int>(i);
    return -1;
}

bool TZoRGBPanel::SearchPanelToParent(const TZoRGBPanel* p) const
{
    for (const TZoRGBPanel* at = this; at; at = at->parent_)
        if (at == p)
            return true;
    return false;
}

void TZoRGBPanel::MoveChild(size_t from, size_t to)
{
    TZoRGBPanel* child = children_[from];
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(from));
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(to), child);
    // What shows where the child lies may have changed.
    child->SetModify();
}

bool TZoRGBPanel::RaiseOrder(TZoRGBPanel* panel, TZoRGBPanel* target)
{
    int from = IndexOf(panel);
    int at = IndexOf(target);
    bool moves = from >= 0 && at >= 0 && from < at;
    if (moves) // taking panel out moves target one place back
        MoveChild(static_cast<size_t>(from), static_cast<size_t>(at));
    SetActiveToChild();
    return moves;
}

bool TZoRGBPanel::DownOrder(TZoRGBPanel* panel, TZoRGBPanel* target)
{
    int from = IndexOf(panel);
    int at = IndexOf(target);
    bool moves = from >= 0 && at >= 0 && from != at && from != at - 1;
    if (moves)
        MoveChild(static_cast<size_t>(from), static_cast<size_t>(from < at ? at - 1 : at));
    SetActiveToChild();
    return moves;
}

void TZoRGBPanel::ClientToScreen(int& x, int& y) const
{
    for (const TZoRGBPanel* at = this; at; at = at->parent_) {
        x = pendar::SaturatedAdd(x, at->offsetX_);
        y = pendar::SaturatedAdd(y, at->offsetY_);
    }
}

void TZoRGBPanel::ScreenToClient(int& x, int& y) const
{
    for (const TZoRGBPanel* at = this; at; at = at->parent_) {
        x = pendar::SaturatedAdd(x, -int64_t{at->offsetX_});
        y = pendar::SaturatedAdd(y, -int64_t{at->offsetY_});
    }
}

void TZoRGBPanel::PointTo(const TZoRGBPanel* to, int& x, int& y) const
{
    ClientToScreen(x, y);
    to->ScreenToClient(x, y);
}

// ---- lifecycle --------------------------------------------------------------

bool TZoRGBPanel::Create()
{
    if (created_)
        return true;
    try {
        created_ = true;
        CallOnCreate();
        if (visible_)
            CallOnShow();
        SetModify();
        if (!bulk_)
            ChangeCreatedToParent();
    } catch (...) {
        try {
            SetCreated(false);
        } catch (...) {
            created_ = false;
        }
    }
    hover_ = nullptr;
    return created_;
}

bool TZoRGBPanel::Release()
{
    if (!created_)
        return true;
    ReleaseCaptureInSubtree();
    created_ = false;
    if (visible_)
        CallOnHide();
    CallOnRelease();
    if (visible_)
        MarkInParent(parent_, ClientRect());
    if (!bulk_)
        ChangeCreatedToParent();
    StatusClear();
    return true;
}

bool TZoRGBPanel::EveryChildSucceeds(bool (TZoRGBPanel::*step)())
{
    bool ok = true;
    ForEachChild([&ok, step](TZoRGBPanel* child) {
        try {
            ok = (child->*step)() && ok;
        } catch (...) {
            ok = false;
        }
    });
    return ok;
}

bool TZoRGBPanel::AllCreate()
{
    pendar::TFlagScope bulk(bulk_);
    bool ok = Create();
    ok = EveryChildSucceeds(&TZoRGBPanel::AllCreate) && ok;
    ChangeCreatedToParent();
    return ok;
}

bool TZoRGBPanel::AllRelease()
{
    pendar::TFlagScope bulk(bulk_);
    const bool ok = EveryChildSucceeds(&TZoRGBPanel::AllRelease);
    Release();
    ChangeCreatedToParent();
    return ok;
}

// Showing and hiding change what is seen and where the tree redraws; the
// active chain stays as it is (keys still go to the front-most shown panel).
void TZoRGBPanel::Show()
{
    if (visible_)
        return;
    visible_ = true;
    if (created_) {
        CallOnShow();
        SetModify();
    }
}

void TZoRGBPanel::Hide()
{
    if (!visible_)
        return;
    ReleaseCaptureInSubtree();
    visible_ = false;
    if (created_) {
        CallOnHide();
        MarkInParent(parent_, ClientRect());
    }
    StatusClear();
}

void TZoRGBPanel::Anime()
{
    if (!created_)
        return;
    ForEachChild([](TZoRGBPanel* child) { child->Anime(); });
    CallOnAnime();
}

void TZoRGBPanel::StatusClear()
{
    hover_ = nullptr;
    mouseCap_ = nullptr;
    pressed_ = false;
    modify_.SetRectEmpty();
    modify_.UnionRect(ClientRect());
    ForEachChild([](TZoRGBPanel* child) { child->StatusClear(); });
}
