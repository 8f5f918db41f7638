// The real program's log and calendar windows on a desktop with a task bar:
// no task-bar button of their own, no maximising a calendar that keeps its
// size; the log opens beside the character, at the starts of its lines
// with the newest line in view.
#include "LivePendar.h"

#include <gtest/gtest.h>


namespace {

using namespace pendar::test;

constexpr int kAboutKey = 'v'; // ﾊﾞｰｼﾞｮﾝ情報(&V): four log lines
constexpr int kMailCheckKey = 'c';

// How many pixels of a box of the screen are near a colour (0xRRGGBB).
int PixelsNear(const XView& x, const XBox& box, uint32_t colour)
{
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(x.Connection(),
                            xcb_get_image(x.Connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, x.Root(),
                                          static_cast<int16_t>(box.x), static_cast<int16_t>(box.y),
                                          static_cast<uint16_t>(box.width), static_cast<uint16_t>(box.height),
                                          ~0u),
                            nullptr),
        &std::free);
    if (!image)
        return 0;
    const uint8_t* p = xcb_get_image_data(image.get());
    const int n = xcb_get_image_data_length(image.get()) / 4; // 32 bits a pixel on a 24-bit screen
    auto near = [](int a, int b) { return a - b < 48 && b - a < 48; };
    int count = 0;
    for (int i = 0; i < n; ++i, p += 4)
        if (near(p[2], (colour >> 16) & 0xFF) && near(p[1], (colour >> 8) & 0xFF) && near(p[0], colour & 0xFF))
            ++count;
    return count;
}

TEST(SecondaryWindows, NoTaskBarButtonsAndTheLogBesideTheCharacterAtItsNewestLine)
{
    TaskBar bar;
    ASSERT_TRUE(bar.Ready());
    LivePendar app;
    // A mailbox that refuses: a manual check logs an error line (red).
    app.dir.Write("Pendar.ini", "[Config]\r\nVersion=1.22\r\nSkinName=Sorel\r\n"
                                "[Mail]\r\nProfile00=refusing\r\nHost00=127.0.0.1\r\nPort00=1\r\nUserID00=u\r\n"
                                "Password00=633C42689E\r\n");
    // Without a sound device the greeting's voice logs a line wider than
    // the log window.
    ASSERT_TRUE(app.Start({{"ALSA_CONFIG_PATH", "/dev/null"}}));
    // More lines than the log shows, the newest of them red.
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(app.OpenMenu());
        ASSERT_TRUE(PressKeys({std::string(1, static_cast<char>(kAboutKey))}));
    }
    ASSERT_TRUE(app.OpenMenu());
    ASSERT_TRUE(PressKeys({std::string(1, static_cast<char>(kMailCheckKey))}));
    ASSERT_TRUE(WaitUntil([&] { return app.Errors().find("Mail Error") != std::string::npos; })) << app.Errors();

    const xcb_window_t log = app.OpenFromMenu(LivePendar::kLogEntry, "Log");
    ASSERT_NE(0u, log);
    const xcb_window_t calendar = app.OpenFromMenu(LivePendar::kCalendarEntry, "カレンダー");
    ASSERT_NE(0u, calendar);
    for (xcb_window_t w : {log, calendar})
        EXPECT_TRUE(WaitUntil([&] { return app.x.HasAtom(w, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"); }))
            << app.x.Title(w);
    // The calendar keeps its size: the window manager offers no maximising.
    EXPECT_FALSE(app.x.HasAtom(calendar, "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_ACTION_MAXIMIZE_HORZ"));

    // The log beside the character: not over the middle of the window,
    // where the character is.
    const XBox logBox = app.x.Box(log);
    const XBox character = app.Character();
    const XBox middle{character.CentreX() - 20, character.CentreY() - 20, 40, 40};
    EXPECT_FALSE(logBox.Overlaps(middle)) << logBox.x << "," << logBox.y;
    // Raised over the calendar again, the log shows its time stamps (blue)
    // at the left and its newest line (red) at the bottom.
    ASSERT_TRUE(Xdotool({"windowactivate", "--sync", std::to_string(log)}));
    const XBox stamps{logBox.x, logBox.y, 40, logBox.height};
    EXPECT_TRUE(WaitUntil([&] { return PixelsNear(app.x, stamps, 0x0000FF) > 20; })) << "no time stamps at the left";
    EXPECT_GT(PixelsNear(app.x, logBox, 0xFF0000), 20) << "the newest line is out of view";
    EXPECT_EQ(0, app.Stop());
}

} // namespace
