// Where a dialog goes when it is shown over the main window.
#pragma once

#include "port/Rect.h"

namespace pendar {

struct TPoint {
    int x;
    int y;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// The top-left corner for a window of width x height centred on `owner`,
// then moved left and up so that it ends inside `area` (the screen above the
// task bar), and finally right and down so that it starts inside it. A
// window larger than the area keeps its top-left corner on the area's.
TPoint CentreOnOwner(const port::TRect& owner, int width, int height, const port::TRect& area);

// The top-left corner for a window of width x height beside `owner` (the
// character) without covering it: right of it where `area` has room, else
// left, else above, else below, centred along it and kept inside `area`.
// Where no side has room it is centred on the owner as above.
TPoint BesideOwner(const port::TRect& owner, int width, int height, const port::TRect& area);

} // namespace pendar
