#include "base/Sjis.h"
#include "dialogs/CalenderModel.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

using pendar::TCalenderCell;
using pendar::TCalenderModel;
using pendar::test::FakeClock;

TEST(CalenderModel, AMonthFromSaturdayWithThirtyOneDaysFillsTheLastCell)
{
    FakeClock clock;
    clock.Set(2022, 1, 15, 10, 0); // 1 January 2022 was a Saturday
    TCalenderModel model(clock);
    EXPECT_EQ(Sjis("2022年 1月"), model.MonthCaption());
    const auto& cells = model.Cells();
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ("", cells[k].text) << k;

    struct Expected {
        int cell;
        const char* text;
        uint32_t colour;
        uint32_t background;
        const char* hint; // UTF-8
    } expected[] = {
        {6, "1", pendar::clRed, pendar::clWhite, "元日"},    // a Saturday, but a holiday first
        {7, "2", pendar::clRed, pendar::clWhite, ""},        // Sunday
        {8, "3", pendar::clBlack, pendar::clWhite, ""},
        {13, "8", pendar::clBlue, pendar::clWhite, ""},      // Saturday
        {15, "10", pendar::clRed, pendar::clWhite, "成人の日"}, // second Monday
        {20, "15", pendar::clBlue, pendar::clAqua, ""},      // today
        {36, "31", pendar::clBlack, pendar::clWhite, ""},
    };
    for (const Expected& e : expected) {
        const TCalenderCell& c = cells[static_cast<size_t>(e.cell)];
        EXPECT_EQ(e.text, c.text) << e.cell;
        EXPECT_EQ(e.colour, c.textColour) << e.cell;
        EXPECT_EQ(e.background, c.background) << e.cell;
        EXPECT_EQ(Sjis(e.hint), c.hint) << e.cell;
    }
}

TEST(CalenderModel, EmptyCellsCarryNothingOverFromTheMonthBefore)
{
    FakeClock clock;
    clock.Set(2024, 2, 11, 10, 0);
    TCalenderModel model(clock);
    ASSERT_EQ(Sjis("建国記念の日"), model.Cells()[14].hint); // 1 Feb 2024 is a Thursday
    model.NextBtnClick();                                     // March starts on a Friday
    for (int k : {0, 1, 2, 3, 4, 36}) {
        EXPECT_EQ("", model.Cells()[k].text) << k;
        EXPECT_EQ("", model.Cells()[k].hint) << k;
        EXPECT_EQ(pendar::clWhite, model.Cells()[k].background) << k;
    }
    for (const TCalenderCell& c : model.Cells())
        EXPECT_NE(pendar::clAqua, c.background); // today is not in March
}

TEST(CalenderModel, ButtonsStepMonthsWithinTheirLimits)
{
    FakeClock clock;
    clock.Set(1901, 1, 20, 10, 0);
    TCalenderModel model(clock);
    EXPECT_TRUE(model.BackEnabled());
    model.BackBtnClick();
    EXPECT_EQ(1900, model.Displayed().year);
    EXPECT_EQ(12, model.Displayed().month);
    EXPECT_FALSE(model.BackEnabled());
    model.BackBtnClick(); // disabled: nothing happens
    EXPECT_EQ(12, model.Displayed().month);
    model.NextBtnClick();
    model.NextBtnClick();
    EXPECT_EQ(1901, model.Displayed().year);
    EXPECT_EQ(2, model.Displayed().month);

    clock.Set(2099, 12, 1, 10, 0);
    model.NowBtnClick();
    EXPECT_EQ(2099, model.Displayed().year);
    EXPECT_TRUE(model.NextEnabled());
    model.NextBtnClick();
    EXPECT_EQ(2100, model.Displayed().year);
    EXPECT_EQ(1, model.Displayed().month);
    EXPECT_FALSE(model.NextEnabled());
    EXPECT_TRUE(model.BackEnabled());
    model.NextBtnClick();
    EXPECT_EQ(1, model.Displayed().month);
}

TEST(CalenderModel, RefreshingMovesTheTodayMarkAndKeepsTheMonthShown)
{
    FakeClock clock;
    clock.Set(2024, 6, 14, 23, 59); // 1 June 2024 is a Saturday: the 14th is cell 19
    TCalenderModel model(clock);
    int redraws = 0;
    model.onChanged = [&] { ++redraws; };
    EXPECT_EQ(pendar::clAqua, model.Cells()[19].background);
    clock.Set(2024, 6, 15, 0, 0);
    model.RefreshCalendar();
    EXPECT_EQ(1, redraws);
    EXPECT_EQ(pendar::clWhite, model.Cells()[19].background);
    EXPECT_EQ(pendar::clAqua, model.Cells()[20].background);

    model.BackBtnClick();
    clock.Set(2024, 6, 16, 0, 0);
    model.RefreshCalendar();
    EXPECT_EQ(5, model.Displayed().month);
}

} // namespace
