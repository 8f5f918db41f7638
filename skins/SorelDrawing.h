// The sample character "Sorel" in one pose, drawn in her own coordinates
// (kArtWidth x kArtHeight, the size of her pictures). A canvas with a view
// draws her at any scale: the skin's pictures at 1, the icons larger or
// smaller.
#pragma once

#include "Canvas.h"

#include <cstdint>

namespace sorel {

constexpr int kArtWidth = 168;
constexpr int kArtHeight = 206;
constexpr uint32_t kOutline = 0x4A2C17;

enum class Eyes { Open, Half, Closed, Happy, Wide };
enum class Mouth { Smile, Open, Round, Grin };

struct Pose {
    Eyes eyes = Eyes::Open;
    double look = 0; // pupils left (< 0) or right
    Mouth mouth = Mouth::Smile;
    double headX = 0;
    double headY = 0;
    double sway = 0; // the sprout's lean, degrees
    bool note = false;
    double noteY = 0;
    bool exclaim = false;
    bool blushing = false;
};

void Draw(Canvas& c, const Pose& p);

} // namespace sorel
