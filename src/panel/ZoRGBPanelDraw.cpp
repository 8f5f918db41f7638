// TZoRGBPanel: dirty areas and drawing.
#include "panel/ZoRGBPanel.h"

#include "raster/ZoAlpha.h"
#include "raster/ZoRGBBits.h"

#include <algorithm>
#include <cstdint>

using pendar::SaturatedAdd;

// ---- dirty areas ------------------------------------------------------------

bool TZoRGBPanel::AddDirty(TZoRect& r)
{
    if (!r.IntersectRect(r, ClientRect()))
        return false;
    modify_.UnionRect(r);
    return true;
}

void TZoRGBPanel::SetModifyRect(const TZoRect& r)
{
    TZoRect own = r;
    if (!Drawable() || !AddDirty(own))
        return;
    SetModifyToChild(nullptr, own);
    CallOnChange();
    SetModifyToParent(own);
}

void TZoRGBPanel::SetModify() { SetModifyRect(ClientRect()); }

void TZoRGBPanel::MarkInParent(TZoRGBPanel* parent, const TZoRect& r)
{
    TZoRect there;
    if (!parent || !there.IntersectRect(r, ClientRect()))
        return;
    there.OffsetRect(offsetX_, offsetY_);
    if (there.IntersectRect(there, parent->ClientRect()))
        parent->SetModifyFromChild(this, there);
}

void TZoRGBPanel::SetModifyToParent(const TZoRect& r)
{
    if (Drawable())
        MarkInParent(parent_, r);
}

void TZoRGBPanel::SetModifyToParent() { SetModifyToParent(ClientRect()); }

void TZoRGBPanel::SetModifyToChild(TZoRGBPanel* except, const TZoRect& r)
{
    TZoRect own;
    if (!Drawable() || !own.IntersectRect(r, ClientRect()))
        return;
    ForEachChild([&](TZoRGBPanel* child) {
        if (child == except)
            return;
        TZoRect there = own;
        there.OffsetRect(-child->offsetX_, -child->offsetY_);
        if (there.IntersectRect(there, child->ClientRect()))
            child->SetModifyFromParent(there);
    });
}

void TZoRGBPanel::SetModifyToChild(TZoRGBPanel* except) { SetModifyToChild(except, ClientRect()); }

void TZoRGBPanel::SetModifyFromParent(const TZoRect& r)
{
    TZoRect own = r;
    if (!Drawable() || !AddDirty(own))
        return;
    SetModifyToChild(nullptr, own);
    CallOnChange();
}

void TZoRGBPanel::SetModifyFromChild(TZoRGBPanel* from, const TZoRect& r)
{
    TZoRect own = r;
    if (!Drawable() || !AddDirty(own))
        return;
    SetModifyToChild(from, own);
    CallOnChange();
    SetModifyToParent(own);
}

void TZoRGBPanel::ClrModify() { modify_.SetRectEmpty(); }

void TZoRGBPanel::ClrModifyToChild()
{
    ClrModify();
    ForEachChild([](TZoRGBPanel* child) { child->ClrModifyToChild(); });
}

void TZoRGBPanel::SubModify(const TZoRect& r) { modify_.SubtractRect(r); }

bool TZoRGBPanel::GetModified() const
{
    TZoRect r;
    return GetModifiedRect(&r);
}

bool TZoRGBPanel::GetModifiedRect(TZoRect* out) const
{
    if (!out)
        return false;
    TZoRect bounds = modify_.AllUnionRect();
    ForEachChild([&bounds](const TZoRGBPanel* child) {
        TZoRect r;
        if (!child->Drawable() || !child->GetModifiedRect(&r))
            return;
        r.OffsetRect(child->offsetX_, child->offsetY_);
        bounds.UnionRect(bounds, r);
    });
    return out->IntersectRect(bounds, ClientRect());
}

bool TZoRGBPanel::GetModifiedRectSet(TZoRectSet* out) const
{
    if (!out)
        return false;
    TZoRectSet set = modify_;
    ForEachChild([&set](const TZoRGBPanel* child) {
        TZoRectSet part;
        if (!child->Drawable() || !child->GetModifiedRectSet(&part))
            return;
        part.OffsetRect(child->offsetX_, child->offsetY_);
        set.UnionRectSet(part);
    });
    set.IntersectRect(ClientRect());
    *out = set;
    return set.Count() > 0;
}

// ---- drawing ----------------------------------------------------------------

TZoRect TZoRGBPanel::OpaqueCover() const
{
    // Only where the image really lies: a panel larger than its frame leaves
    // the rest to what is behind it.
    if (!Drawable() || maskMode_ != mmOpaque || !HasFrame())
        return TZoRect();
    TZoRect cover(0, 0, std::min(sizeX_, image_->Width()), std::min(sizeY_, FrameHeight()));
    if (cover.IsRectEmpty())
        return TZoRect();
    cover.OffsetRect(offsetX_, offsetY_);
    return cover;
}

bool TZoRGBPanel::DrawOwnPart(TZoRGBBits* dest, int x, int y, const TZoRect& own)
{
    const int destX = SaturatedAdd(x, own.left);
    const int destY = SaturatedAdd(y, own.top);
    if (CallOnDraw(dest, destX, destY, own.left, own.top, own.Width(), own.Height()))
        return true;
    if (maskMode_ == mmHitOnly || !HasFrame())
        return true;
    // Cut to what the shown frame holds.
    const int frameHeight = FrameHeight();
    const int w = std::min(own.Width(), image_->Width() - own.left);
    const int h = std::min(own.Height(), frameHeight - own.top);
    if (w <= 0 || h <= 0)
        return true;
    const int sy = static_cast<int>(int64_t{frameHeight} * blockIndex_ + own.top);
    switch (maskMode_) {
    case mmOpaque:
        return dest->Draw(destX, destY, image_, own.left, sy, w, h);
    case mmAlpha:
        return !alpha_ || dest->DrawAlphaMask(destX, destY, image_, own.left, sy, w, h, alpha_);
    case mmKey:
        return dest->DrawKey(destX, destY, image_, own.left, sy, w, h, colorKey_);
    case mmHitOnly:
        break;
    }
    return true;
}

bool TZoRGBPanel::Draw(TZoRGBBits* dest, int x, int y, const TZoRect& area)
{
    if (!Drawable())
        return true;
    if (!dest)
        return false;
    TZoRect clip;
    if (!clip.IntersectRect(area, ClientRect()))
        return true;
    bool ok = true;
    TZoRect own = clip;
    ForEachChild([&own](const TZoRGBPanel* child) {
        const TZoRect cover = child->OpaqueCover();
        if (!cover.IsRectEmpty())
            own.SubtractRect(own, cover);
    });
    if (!own.IsRectEmpty())
        ok = DrawOwnPart(dest, x, y, own);
    modify_.SubtractRect(clip);
    ForEachChild([&](TZoRGBPanel* child) {
        TZoRect there = clip;
        there.OffsetRect(-child->offsetX_, -child->offsetY_);
        if (!child->Draw(dest, SaturatedAdd(x, child->offsetX_), SaturatedAdd(y, child->offsetY_), there))
            ok = false;
    });
    return ok;
}

bool TZoRGBPanel::Draw(TZoRGBBits* dest)
{
    bool ok = Draw(dest, offsetX_, offsetY_, ClientRect());
    ClrModifyToChild();
    return ok;
}

bool TZoRGBPanel::Update(TZoRGBBits* dest)
{
    TZoRectSet dirty;
    GetModifiedRectSet(&dirty);
    bool ok = true;
    for (const TZoRect& r : dirty.Rects())
        ok = Draw(dest, offsetX_, offsetY_, r) && ok;
    ClrModifyToChild();
    return ok;
}
