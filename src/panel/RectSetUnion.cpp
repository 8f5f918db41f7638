#include "panel/RectSetUnion.h"

#include <algorithm>
#include <limits>

namespace pendar::rectset {

namespace {

// r grown over m when the two share a whole edge.
bool Joined(const TZoRect& r, const TZoRect& m, TZoRect& grown)
{
    grown = r;
    if (r.left == m.left && r.right == m.right) {
        if (r.top == m.bottom)
            grown.top = m.top;
        else if (r.bottom == m.top)
            grown.bottom = m.bottom;
        else
            return false;
        return true;
    }
    if (r.top == m.top && r.bottom == m.bottom) {
        if (r.left == m.right)
            grown.left = m.left;
        else if (r.right == m.left)
            grown.right = m.right;
        else
            return false;
        return true;
    }
    return false;
}

// Appends to `out` the parts of a outside b: at most four disjoint bands.
void AppendDifference(const TZoRect& a, const TZoRect& b, std::vector<TZoRect>& out)
{
    TZoRect overlap;
    if (!overlap.IntersectRect(a, b)) {
        out.push_back(a);
        return;
    }
    const TZoRect parts[] = {
        {a.left, a.top, a.right, overlap.top},
        {a.left, overlap.bottom, a.right, a.bottom},
        {a.left, overlap.top, overlap.left, overlap.bottom},
        {overlap.right, overlap.top, a.right, overlap.bottom},
    };
    for (const TZoRect& part : parts)
        if (!part.IsRectEmpty())
            out.push_back(part);
}

// Adds what of r no member covers, as disjoint pieces.
void AppendUncovered(std::vector<TZoRect>& rects, const TZoRect& r)
{
    std::vector<TZoRect> pieces{r};
    std::vector<TZoRect> next;
    for (const TZoRect& member : rects) {
        next.clear();
        for (const TZoRect& piece : pieces)
            AppendDifference(piece, member, next);
        pieces.swap(next);
        if (pieces.empty())
            return;
    }
    rects.insert(rects.end(), pieces.begin(), pieces.end());
}

} // namespace

int SplitBudget(size_t count)
{
    constexpr size_t kBase = 4096;
    constexpr size_t kPerMember = 64;
    constexpr size_t kMost = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::min(kMost, kBase + kPerMember * std::min(count, kMost)));
}

void Unite(std::vector<TZoRect>& rects, const TZoRect& r, int splitBudget)
{
    // The rectangles still to add, the next one last: taking them from the
    // back adds each band whole (with the bands it splits into) before the
    // next, as nested additions would.
    std::vector<TZoRect> waiting{r};
    while (!waiting.empty()) {
        TZoRect add = waiting.back();
        waiting.pop_back();
        if (add.IsRectEmpty())
            continue;
        if (splitBudget <= 0) {
            AppendUncovered(rects, add);
            continue;
        }
        bool placed = false;
        size_t i = 0;
        while (i < rects.size()) {
            const TZoRect member = rects[i];
            TZoRect overlap;
            TZoRect grown;
            if (member.InRect(add)) {
                placed = true;
                break;
            }
            if (add.InRect(member)) {
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            if (overlap.IntersectRect(add, member)) {
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(i));
                --splitBudget;
                const TZoRect& upper = add.top < member.top ? add : member;
                const TZoRect& lower = add.bottom > member.bottom ? add : member;
                waiting.push_back({lower.left, overlap.bottom, lower.right, lower.bottom});
                waiting.push_back({std::min(add.left, member.left), overlap.top, std::max(add.right, member.right),
                                   overlap.bottom});
                waiting.push_back({upper.left, upper.top, upper.right, overlap.top});
                placed = true;
                break;
            }
            if (Joined(add, member, grown)) {
                add = grown;
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            ++i;
        }
        if (!placed)
            rects.push_back(add);
    }
}

} // namespace pendar::rectset
