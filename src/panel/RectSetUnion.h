// The arithmetic behind TZoRectSet::UnionRect, open to tests.
#pragma once

#include "raster/ZoRect.h"

#include <cstddef>
#include <vector>

namespace pendar::rectset {

// How many overlap splits one addition to a set of `count` members may make
// before the rest is added the plain way. Ordinary additions need far fewer;
// the limit only bounds the work on adversarial sets.
int SplitBudget(size_t count);

// Adds r to `rects`, pairwise disjoint non-empty rectangles, keeping them so.
// Each member is looked at in order: one that contains r ends the addition;
// one inside r is removed; one that overlaps r is removed and the two are
// added again as at most three bands (the part above the overlap, the
// overlap's rows across both, the part below), each by this same rule; one
// that shares a whole edge with r is removed and r grows over it. What is
// left of r at the end is appended. After `splitBudget` splits, whatever
// still waits is added as its exact difference with the members.
void Unite(std::vector<TZoRect>& rects, const TZoRect& r, int splitBudget);

} // namespace pendar::rectset
