// Where the character sits: on a screen edge or on an edge of the window
// the user works in, at a position along that edge kept as a ratio in
// 1/10000 of the free range. Plain arithmetic; coordinates are relative to
// the top-left corner of the screen's work area.
#pragma once

#include "dialogs/WindowPlacement.h"
#include "port/Rect.h"

namespace pendar {

struct TPlacementGeometry {
    int sw = 0; // the work area
    int sh = 0;
    int w = 0; // the character
    int h = 0;
    int bw = 0; // the character's offset inside the window (the balloon's size)
    int bh = 0;
    int pictureOffX = 0;
    int pictureOffY = 0;
    port::TRect window; // the tracked window, for the window-relative alignments
};

// A window-relative alignment as the nearest screen edge: WINTOP sits at
// the bottom, WINBOTTOM at the top, WINLEFT on the right, WINRIGHT on the
// left. Other alignments stay.
int ScreenEdgeAlign(int align);

// The character's place for `align` and the stored ratios.
TPoint CharacterPlace(int align, const TPlacementGeometry& g, int offsetX, int offsetY);

// The character's place kept on its edge: clamped along it, snapped to the
// screen edges within 16 pixels in the free alignment.
TPoint ConstrainCharacter(int align, const TPlacementGeometry& g, TPoint proposed);

// The ratios of a character at `at` (picture offsets already removed); a
// ratio whose range is empty keeps its value.
void RatiosOf(int align, const TPlacementGeometry& g, TPoint at, int& offsetX, int& offsetY);

} // namespace pendar
