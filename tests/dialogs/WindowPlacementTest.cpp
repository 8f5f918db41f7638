#include "dialogs/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

using pendar::CentreOnOwner;
using pendar::TPoint;

TEST(CentreOnOwner, CentresThenKeepsTheWindowOnTheScreen)
{
    const port::TRect screen{0, 0, 1024, 740};
    struct Case {
        const char* what;
        port::TRect owner;
        port::TRect area;
        TPoint expected; // for a 320 x 240 window
    } cases[] = {
        {"centred", {400, 300, 560, 460}, screen, {320, 260}},
        {"owner at the bottom right", {900, 640, 1060, 800}, screen, {704, 500}},
        {"owner at the top left", {-50, -20, 110, 140}, screen, {0, 0}},
        {"area smaller than the window", {0, 0, 160, 160}, {0, 0, 200, 100}, {0, 0}},
        {"area with its own origin", {1900, 0, 2060, 160}, {1920, 30, 3840, 1080}, {1920, 30}},
        {"right edge of an offset area", {3800, 900, 3960, 1060}, {1920, 30, 3840, 1080}, {3520, 840}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CentreOnOwner(c.owner, 320, 240, c.area)) << c.what;
}

} // namespace
