#include "dialogs/WindowPlacement.h"

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

} // namespace pendar
