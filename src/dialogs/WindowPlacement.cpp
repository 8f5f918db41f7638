#include "dialogs/WindowPlacement.h"

#include <algorithm>

namespace pendar {

TPoint CentreOnOwner(const port::TRect& owner, int width, int height, const port::TRect& area)
{
    int x = owner.left + (owner.Width() - width) / 2;
    int y = owner.top + (owner.Height() - height) / 2;
    if (x + width > area.right)
        x = area.right - width;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    return {x, y};
}

TPoint BesideOwner(const port::TRect& owner, int width, int height, const port::TRect& area)
{
    // Along a side: centred on the owner, then inside the area.
    const int x = std::max(area.left, std::min(owner.left + (owner.Width() - width) / 2, area.right - width));
    const int y = std::max(area.top, std::min(owner.top + (owner.Height() - height) / 2, area.bottom - height));
    if (owner.right + width <= area.right)
        return {owner.right, y};
    if (owner.left - width >= area.left)
        return {owner.left - width, y};
    if (owner.top - height >= area.top)
        return {x, owner.top - height};
    if (owner.bottom + height <= area.bottom)
        return {x, owner.bottom};
    return CentreOnOwner(owner, width, height, area);
}

} // namespace pendar
