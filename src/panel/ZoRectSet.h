// TZoRectSet: an area made of several rectangles, such as the parts of a
// panel tree that must be drawn again. Rectangles added with UnionRect are
// kept pairwise disjoint and never empty: an overlap is split into at most
// three bands, and neighbours that share a whole edge are merged.
#pragma once

#include "port/Rect.h"
#include "raster/ZoRect.h"

#include <vector>

class TZoRectSet {
public:
    TZoRectSet() = default;

    int Count() const { return static_cast<int>(rects_.size()); }
    // Member i, or the empty rectangle for an index out of range.
    TZoRect Rect(int i) const;
    const std::vector<TZoRect>& Rects() const { return rects_; }
    void Reserve(int count);

    // The bounding box of all members; all zero for an empty set.
    TZoRect AllUnionRect() const;
    explicit operator TZoRect() const { return AllUnionRect(); }
    explicit operator port::TRect() const { return AllUnionRect(); }

    // True when every member is empty (or there is none).
    bool IsRectEmpty() const;
    // Removes every member; true.
    bool SetRectEmpty();
    // Moves every member (TZoRect::OffsetRect); members pushed wholly past
    // the int range are removed. True.
    bool OffsetRect(int dx, int dy);

    // Every member becomes its overlap with r; members without one are
    // removed. True when a member remains.
    bool IntersectRect(const TZoRect& r);
    // IntersectRect with each member of s in turn, so that what remains lies
    // inside every one of them. True when any of those calls was.
    bool IntersectRectSet(const TZoRectSet& s);
    // Every member becomes TZoRect::SubtractRect(member, r), which takes
    // away only what leaves a rectangle; members left empty are removed.
    // True.
    bool SubtractRect(const TZoRect& r);
    // SubtractRect with each member of s; true.
    bool SubtractRectSet(const TZoRectSet& s);

    // Adds r, keeping the members disjoint; nothing for an empty r.
    void UnionRect(const TZoRect& r);
    // UnionRect of each member of s; true when the set then has members.
    bool UnionRectSet(const TZoRectSet& s);

    friend bool operator==(const TZoRectSet&, const TZoRectSet&) = default;

private:
    std::vector<TZoRect> rects_;
};
