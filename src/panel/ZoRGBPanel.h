// TZoRGBPanel: a windowless panel, a rectangle with an optional image, that
// lives in a tree of panels composed into a pixel buffer. The tree keeps
// per panel the set of areas that changed and draws only those; it routes
// mouse input to the front-most panel under the pointer (with mouse capture,
// hover tracking and pixel-exact transparency) and keys along the chain of
// active panels.
//
// Every panel works in its own coordinates: origin at its top-left corner,
// area [0, SizeX) x [0, SizeY); a child's area lies in its parent at
// (OffsetX, OffsetY). The last child is the front-most. Images and alpha
// planes are not owned. Nothing happens to the dirty areas of a panel that is
// not both created and visible.
//
// Event handlers may change the tree (add, remove, reorder, show or hide
// panels) while they run; they must not destroy the panel that fires them or
// one of its ancestors. GUI thread only.
#pragma once

#include "panel/PanelInput.h"
#include "panel/ZoRectSet.h"
#include "port/Rect.h"
#include "raster/ZoRGB.h"
#include "raster/ZoRect.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TZoAlpha;
class TZoRGBBits;

// How a panel's image is drawn and hit-tested.
enum TMaskMode {
    mmOpaque,  // copied unchanged
    mmAlpha,   // drawn through Alpha
    mmKey,     // pixels equal to ColorKey are skipped
    mmHitOnly, // not drawn; Alpha decides where the mouse goes through
};

class TZoRGBPanel {
public:
    using TNotifyEvent = std::function<void(TZoRGBPanel* sender)>;
    using TMouseMoveEvent = std::function<void(TZoRGBPanel* sender, TShiftState shift, int x, int y)>;
    using TMouseEvent =
        std::function<void(TZoRGBPanel* sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseWheelEvent = std::function<void(TZoRGBPanel* sender, TShiftState shift, int wheelDelta,
                                                port::TPoint mousePos, bool& handled)>;
    using TKeyEvent = std::function<void(TZoRGBPanel* sender, TKeyCode& key, TShiftState shift)>;
    using TKeyPressEvent = std::function<void(TZoRGBPanel* sender, char& key)>;
    // Draws part of the panel's own area into dest: destination (x, y),
    // source (sx, sy) in the panel, width dx, height dy. True means the
    // image is not drawn there.
    using TDrawEvent = std::function<bool(TZoRGBPanel* sender, TZoRGBBits* dest, int x, int y, int sx, int sy,
                                          int dx, int dy)>;

    // Visible, mouse control and auto size on, 640 x 480 at (0, 0), one
    // frame, opaque, not created, no parent.
    TZoRGBPanel();
    // The same, added to `parent` as its front-most child.
    explicit TZoRGBPanel(TZoRGBPanel* parent);
    // Hides, releases, leaves the parent and detaches every child (from the
    // front-most); an exception of a handler on the way is shown in a message
    // box and the destruction goes on.
    virtual ~TZoRGBPanel();
    TZoRGBPanel(const TZoRGBPanel&) = delete;
    TZoRGBPanel& operator=(const TZoRGBPanel&) = delete;

    // ---- properties ---------------------------------------------------------
    bool Visible() const { return visible_; }
    // Show() or Hide().
    void SetVisible(bool value);
    // Handles key events itself.
    bool KeyControl() const { return keyControl_; }
    void SetKeyControl(bool value) { keyControl_ = value; }
    // Takes part in mouse handling.
    bool MouseControl() const { return mouseControl_; }
    void SetMouseControl(bool value) { mouseControl_ = value; }
    // Transparent pixels let the mouse through.
    bool MouseTrans() const { return mouseTrans_; }
    void SetMouseTrans(bool value) { mouseTrans_ = value; }
    // The size follows the image: its width, and its height / NumBlock.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TZoRGBPanel* Parent() const { return parent_; }
    // Leaves the current parent (its old area there marked dirty) and joins
    // p as the front-most child. A p that is this panel or one of its
    // descendants leaves the panel without a parent.
    void SetParent(TZoRGBPanel* p);

    // Changing position or size marks the old area dirty in the parent and
    // the whole panel dirty.
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    int SizeX() const { return sizeX_; }
    int SizeY() const { return sizeY_; }
    void SetOffsetX(int value);
    void SetOffsetY(int value);
    void SetSizeX(int value);
    void SetSizeY(int value);
    // The image is a vertical strip of NumBlock equal frames; BlockIndex is
    // the frame shown. SetNumBlock ignores values below 1 and lowers
    // BlockIndex into range; SetBlockIndex takes only a value below NumBlock.
    // A negative BlockIndex shows no frame: nothing of the image is drawn
    // and, for the mouse, the panel is as without an image.
    int NumBlock() const { return numBlock_; }
    int BlockIndex() const { return blockIndex_; }
    void SetNumBlock(int value);
    void SetBlockIndex(int value);
    const std::string& Text() const { return text_; }
    void SetText(std::string_view value) { text_ = value; }

    TZoRGBBits* Image() const { return image_; }
    // Every call re-reads the image's size (with AutoSize) and marks the
    // panel dirty, so setting the same image again after it changed
    // redraws it.
    void SetImage(TZoRGBBits* image);
    TZoAlpha* Alpha() const { return alpha_; }
    void SetAlpha(TZoAlpha* alpha);
    // Black by default.
    TZoRGB ColorKey() const { return colorKey_; }
    void SetColorKey(TZoRGB key);
    TMaskMode MaskMode() const { return maskMode_; }
    void SetMaskMode(TMaskMode mode);

    bool Created() const { return created_; }
    // Create() or Release().
    bool SetCreated(bool value);
    bool Active() const { return active_; }
    // This panel or a created, visible descendant has dirty areas inside
    // this panel's area.
    bool Modified() const { return GetModified(); }
    // True marks the whole panel dirty; false empties its own dirty set.
    void SetModified(bool value);
    int ChildCount() const { return GetChildCount(); }
    TZoRGBPanel* Child(int index) const { return GetChild(index); }
    // [0, SizeX) x [0, SizeY).
    TZoRect ClientRect() const { return TZoRect(0, 0, sizeX_, sizeY_); }
    // The panel that holds the mouse (the same in every panel of a tree), or
    // null.
    TZoRGBPanel* MouseCapture() const { return mouseCap_; }

    // ---- events -------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnCreate;
    TNotifyEvent OnRelease;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnChange; // something was marked dirty
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnAnime;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TDrawEvent OnDraw;

    // Each fires its event when one is assigned; subclasses may add to them.
    virtual void CallOnClick();
    virtual void CallOnCreate();
    virtual void CallOnRelease();
    virtual void CallOnShow();
    virtual void CallOnHide();
    virtual void CallOnMouseEnter();
    virtual void CallOnMouseLeave();
    virtual void CallOnChange();
    virtual void CallOnActivate();
    virtual void CallOnDeactivate();
    virtual void CallOnAnime();
    virtual void CallOnMouseMove(TShiftState shift, int x, int y);
    virtual void CallOnMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void CallOnMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void CallOnMouseWheel(TShiftState shift, int wheelDelta, port::TPoint mousePos, bool& handled);
    virtual void CallOnKeyDown(TKeyCode& key, TShiftState shift);
    virtual void CallOnKeyUp(TKeyCode& key, TShiftState shift);
    virtual void CallOnKeyPress(char& key);
    // False when no handler is assigned.
    virtual bool CallOnDraw(TZoRGBBits* dest, int x, int y, int sx, int sy, int dx, int dy);

    // ---- tree ---------------------------------------------------------------
    // child->SetParent(this); true when it became a child.
    bool AddChild(TZoRGBPanel* child);
    // child->SetParent(nullptr) for a child of this panel; false otherwise.
    bool DelChild(TZoRGBPanel* child);
    int GetChildCount() const { return static_cast<int>(children_.size()); }
    // Null for a bad index.
    TZoRGBPanel* GetChild(int index) const;
    // True when p is this panel or one of its ancestors.
    bool SearchPanelToParent(const TZoRGBPanel* p) const;
    // When both are children, differ, and panel lies behind target: panel
    // moves directly in front of target. True when it moved.
    bool RaiseOrder(TZoRGBPanel* panel, TZoRGBPanel* target);
    // When both are children and differ: panel moves directly behind target.
    // True when it moved.
    bool DownOrder(TZoRGBPanel* panel, TZoRGBPanel* target);
    // Add (subtract) the offsets of this panel and all its ancestors.
    void ClientToScreen(int& x, int& y) const;
    void ScreenToClient(int& x, int& y) const;

    // ---- lifecycle ----------------------------------------------------------
    // Fires OnCreate, then OnShow when visible, marks the panel dirty. A
    // handler's exception undoes the creation. The result is Created().
    bool Create();
    // Fires OnHide when visible, then OnRelease; marks the area dirty in the
    // parent.
    bool Release();
    // Create, then AllCreate of every child; true when all succeeded (a
    // child's exception counts as a failure).
    bool AllCreate();
    // AllRelease of every child (their exceptions swallowed), then Release.
    // True when no child failed.
    bool AllRelease();
    void Show();
    void Hide();
    // Anime of every child, then OnAnime; nothing when not created.
    void Anime();
    // Forgets hover child, capture and press, marks the whole panel dirty,
    // and does the same in every child.
    void StatusClear();

    // ---- dirty areas (rectangles in the receiving panel's coordinates) -----
    // Adds r to the own set and passes it down to the children and up to the
    // parent, each in their coordinates.
    void SetModifyRect(const TZoRect& r);
    void SetModify();
    void SetModifyToParent(const TZoRect& r);
    void SetModifyToParent();
    void SetModifyToChild(TZoRGBPanel* except, const TZoRect& r);
    void SetModifyToChild(TZoRGBPanel* except);
    // Adds r and passes it down (never up).
    void SetModifyFromParent(const TZoRect& r);
    // Adds r, passes it down to every child except `from`, and up.
    void SetModifyFromChild(TZoRGBPanel* from, const TZoRect& r);
    void ClrModify();
    void ClrModifyToChild();
    // Takes r from the own set (TZoRectSet::SubtractRect).
    void SubModify(const TZoRect& r);
    bool GetModified() const;
    // The bounding box of the own set and the created, visible children's
    // modified rectangles, clipped to the area. False when empty.
    bool GetModifiedRect(TZoRect* out) const;
    // The same as a set of disjoint rectangles.
    bool GetModifiedRectSet(TZoRectSet* out) const;

    // ---- drawing ------------------------------------------------------------
    // The whole panel at (OffsetX, OffsetY) of dest; then every dirty set of
    // the tree is emptied.
    bool Draw(TZoRGBBits* dest);
    // The part `area` (panel coordinates) with the panel's origin at (x, y)
    // of dest: the own part not covered by an opaque child's image, then the
    // children back to front. False when a draw failed.
    bool Draw(TZoRGBBits* dest, int x, int y, const TZoRect& area);
    // Draws the rectangles of GetModifiedRectSet at (OffsetX, OffsetY) of
    // dest, then empties every dirty set of the tree.
    bool Update(TZoRGBBits* dest);

    // ---- mouse (points in this panel's coordinates) -------------------------
    bool MouseMove(TShiftState shift, int x, int y);
    bool MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void MouseEnter(int x, int y);
    void MouseLeave();
    // Offered to the created, visible children front-most first until one
    // sets handled, then to this panel's handler. The result is handled.
    bool MouseWheel(TShiftState shift, int wheelDelta, bool& handled, port::TPoint mousePos);
    // The front-most child whose PosInPanel holds for the point, or null.
    TZoRGBPanel* FindPosPanel(int x, int y, bool forMouse) const;
    // Created, visible, inside the area (and, for the mouse, taking part and
    // not transparent there, or with a child that takes the point).
    bool PosInPanel(int x, int y, bool forMouse) const;
    // With MouseTrans: where the image lets the mouse through.
    bool PosIsTrans(int x, int y) const;
    // Records the capture panel in every panel of the tree.
    void SetMouseCapToParent(TZoRGBPanel* panel);
    void SetMouseCapToChild(TZoRGBPanel* panel);

    // ---- keys and focus -----------------------------------------------------
    // Offered to the active panel first; then, with KeyControl, the own
    // event fires and the result is true.
    bool KeyDown(TKeyCode& key, TShiftState shift);
    bool KeyUp(TKeyCode& key, TShiftState shift);
    bool KeyPress(char& key);
    // The front-most child that is created and visible, or null.
    TZoRGBPanel* GetActivePanel() const;
    // Brings this panel and its ancestors to the front and recomputes the
    // active chain from the root; a root becomes Active.
    void SetActive();
    void SetActiveToParent();
    void SetActiveToChild();
    void SetActiveFromParent(bool value);
    void SetActiveFromChild(TZoRGBPanel* child);
    // Recompute the active chain from the root.
    void ChangeCreatedToParent();
    void ChangeCreatedFromChild();

private:
    bool Drawable() const { return created_ && visible_; }
    // The area in the parent's coordinates.
    TZoRect AreaInParent() const;
    bool HasFrame() const;
    int FrameHeight() const;
    // What this panel's opaque image hides of the parent, in the parent's
    // coordinates (empty when it hides nothing).
    TZoRect OpaqueCover() const;
    bool DrawOwnPart(TZoRGBBits* dest, int x, int y, const TZoRect& own);

    void ChangeGeometry(int& field, int value);
    void FitToImage();
    void Attach(TZoRGBPanel* child);
    void Detach(TZoRGBPanel* child);
    // Moves the child at index `from` to index `to` (after removal) and marks
    // its area dirty.
    void MoveChild(size_t from, size_t to);
    int IndexOf(const TZoRGBPanel* child) const;
    // Adds r, clipped to the area, to the own set; false when nothing is
    // left of it.
    bool AddDirty(TZoRect& r);
    // Marks r (own coordinates) dirty in `parent`, whether or not this panel
    // is still drawn.
    void MarkInParent(TZoRGBPanel* parent, const TZoRect& r);
    // step() of every child in order; a child's exception counts as a
    // failure and the walk goes on. True when all succeeded.
    bool EveryChildSucceeds(bool (TZoRGBPanel::*step)());
    void ReleaseCaptureInSubtree();
    bool CapturedMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A mouse-up on this panel: OnMouseUp, then OnClick when the left button
    // went down here (pressed) and comes up inside the area.
    void FinishPress(bool pressed, TMouseButton button, TShiftState shift, int x, int y);
    // Offers a key to the active panel (forward), then fires the own event.
    template <typename Forward, typename Fire>
    bool RouteKey(Forward forward, Fire fire);
    // The point (x, y) of this panel in `to`'s coordinates.
    void PointTo(const TZoRGBPanel* to, int& x, int& y) const;

    template <typename Visit>
    void ForEachChild(Visit visit) const;
    template <typename Take>
    bool FrontChildTakes(Take take) const;

    bool visible_ = true;
    bool keyControl_ = false;
    bool mouseControl_ = true;
    bool mouseTrans_ = false;
    bool autoSize_ = true;
    TZoRGBPanel* parent_ = nullptr;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int sizeX_ = 640;
    int sizeY_ = 480;
    int numBlock_ = 1;
    int blockIndex_ = 0;
    std::string text_;
    TZoRGBBits* image_ = nullptr;
    TZoAlpha* alpha_ = nullptr;
    TZoRGB colorKey_;
    TMaskMode maskMode_ = mmOpaque;
    bool created_ = false;
    bool active_ = false;

    std::vector<TZoRGBPanel*> children_;
    TZoRectSet modify_;
    TZoRGBPanel* mouseCap_ = nullptr;
    TZoRGBPanel* hover_ = nullptr;
    bool pressed_ = false;
    bool bulk_ = false;
};

// Children back to front. Indices are re-checked on every step, so a
// handler that changes the tree meanwhile cannot make the walk read outside
// the list.
template <typename Visit>
void TZoRGBPanel::ForEachChild(Visit visit) const
{
    for (size_t i = 0; i < children_.size(); ++i)
        visit(children_[i]);
}

// Children front to back until take(child) is true; true then.
template <typename Take>
bool TZoRGBPanel::FrontChildTakes(Take take) const
{
    for (size_t n = children_.size(); n-- > 0;) {
        if (n >= children_.size())
            continue;
        if (take(children_[n]))
            return true;
    }
    return false;
}
