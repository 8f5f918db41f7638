#include "app/PlainFrame.h"

#include <utility>

namespace pendar {

uint32_t PlainFrameKey(uint32_t fill, uint32_t line)
{
    return (~fill & 0xFF0000) + 0xFF00 + (~line & 0xFF);
}

void DrawPlainFrame(TZoRGBBits& b, uint32_t fill, uint32_t line)
{
    // How far each of the outer rows and columns stays outside the corner.
    static const int t[] = {9, 6, 4, 3, 2, 2, 1, 1, 1};
    const int w = b.Width();
    const int h = b.Height();
    const uint32_t key = PlainFrameKey(fill, line);
    b.ModifiedOff();
    b.BoxFill(0, 0, w - 1, h - 1, fill);
    b.Box(0, 0, w - 1, h - 1, line);
    for (int i = 0; i < 3; ++i) {
        for (int row : {i, h - 1 - i}) {
            b.Line(0, row, t[i] - 1, row, key);
            b.Line(w - t[i], row, w - 1, row, key);
        }
        for (int col : {i, w - 1 - i}) {
            b.Line(col, 0, col, t[i] - 1, key);
            b.Line(col, h - t[i], col, h - 1, key);
        }
    }
    for (int j = 1; j < 3; ++j) {
        for (int row : {j, h - 1 - j}) {
            b.Line(t[j], row, t[j - 1] - 1, row, line);
            b.Line(w - t[j - 1], row, w - 1 - t[j], row, line);
        }
        for (int col : {j, w - 1 - j}) {
            b.Line(col, t[j], col, t[j - 1] - 1, line);
            b.Line(col, h - t[j - 1], col, h - 1 - t[j], line);
        }
    }
    for (auto [x, y] : {std::pair{3, 3}, std::pair{w - 4, 3}, std::pair{3, h - 4}, std::pair{w - 4, h - 4}})
        b.PSet(x, y, line);
    b.ModifiedOn();
}

} // namespace pendar
