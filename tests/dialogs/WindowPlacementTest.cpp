#include "dialogs/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

using pendar::BesideOwner;
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

TEST(BesideOwner, NextToTheOwnerWhereTheScreenHasRoom)
{
    const port::TRect screen{0, 0, 1024, 740};
    struct Case {
        const char* what;
        port::TRect owner;
        TPoint expected; // for a 320 x 240 window
    } cases[] = {
        {"room on the right", {400, 300, 560, 460}, {560, 260}},
        {"at the bottom right: on the left, up from the bottom", {864, 580, 1024, 740}, {544, 500}},
        {"as wide as the screen but low: above", {0, 600, 1024, 740}, {352, 360}},
        {"as wide as the screen and high up: below", {0, 0, 1024, 200}, {352, 200}},
        {"nowhere: centred on it", {0, 100, 1024, 700}, {352, 280}},
        {"the screen's own origin", {1920, 400, 2080, 560}, {2080, 360}},
    };
    for (const Case& c : cases) {
        const port::TRect area = c.owner.left >= 1920 ? port::TRect{1920, 0, 3840, 1080} : screen;
        EXPECT_EQ(c.expected, BesideOwner(c.owner, 320, 240, area)) << c.what;
    }
}

} // namespace
