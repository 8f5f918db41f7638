#include "panel/ZoRectSet.h"

#include "panel/RectSetUnion.h"

#include <algorithm>

namespace {

// Runs change(member) on every member, which may alter it, and keeps, in
// order, those for which it returned false.
template <typename Change>
void ChangeAndDrop(std::vector<TZoRect>& rects, Change change)
{
    size_t kept = 0;
    for (TZoRect& r : rects)
        if (!change(r))
            rects[kept++] = r;
    rects.resize(kept);
}

} // namespace

TZoRect TZoRectSet::Rect(int i) const
{
    if (i < 0 || i >= Count())
        return TZoRect();
    return rects_[static_cast<size_t>(i)];
}

void TZoRectSet::Reserve(int count)
{
    if (count > 0)
        rects_.reserve(static_cast<size_t>(count));
}

TZoRect TZoRectSet::AllUnionRect() const
{
    TZoRect bounds;
    for (const TZoRect& r : rects_)
        bounds.UnionRect(bounds, r);
    return bounds;
}

bool TZoRectSet::IsRectEmpty() const
{
    return std::all_of(rects_.begin(), rects_.end(), [](const TZoRect& r) { return r.IsRectEmpty(); });
}

bool TZoRectSet::SetRectEmpty()
{
    rects_.clear();
    return true;
}

bool TZoRectSet::OffsetRect(int dx, int dy)
{
    ChangeAndDrop(rects_, [&](TZoRect& r) {
        r.OffsetRect(dx, dy);
        return r.IsRectEmpty();
    });
    return true;
}

bool TZoRectSet::IntersectRect(const TZoRect& r)
{
    ChangeAndDrop(rects_, [&](TZoRect& m) { return !m.IntersectRect(m, r); });
    return !rects_.empty();
}

bool TZoRectSet::IntersectRectSet(const TZoRectSet& s)
{
    const std::vector<TZoRect> cuts = s.rects_; // s may be this set
    bool any = false;
    for (const TZoRect& r : cuts)
        any = IntersectRect(r) || any;
    return any;
}

bool TZoRectSet::SubtractRect(const TZoRect& r)
{
    ChangeAndDrop(rects_, [&](TZoRect& m) {
        m.SubtractRect(m, r);
        return m.IsRectEmpty();
    });
    return true;
}

bool TZoRectSet::SubtractRectSet(const TZoRectSet& s)
{
    const std::vector<TZoRect> cuts = s.rects_;
    for (const TZoRect& r : cuts)
        SubtractRect(r);
    return true;
}

void TZoRectSet::UnionRect(const TZoRect& r)
{
    pendar::rectset::Unite(rects_, r, pendar::rectset::SplitBudget(rects_.size()));
}

bool TZoRectSet::UnionRectSet(const TZoRectSet& s)
{
    const std::vector<TZoRect> adds = s.rects_;
    for (const TZoRect& r : adds)
        UnionRect(r);
    return !rects_.empty();
}
