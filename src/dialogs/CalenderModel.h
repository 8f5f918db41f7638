// The calendar window's content: one month as 37 day cells in seven columns
// (Sunday first), Sundays and holidays red, Saturdays blue, today on aqua,
// and the month stepping of its buttons between 1900 and 2100.
#pragma once

#include "base/SchTime.h"
#include "dialogs/Colours.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace port {
class IClock;
}

namespace pendar {

struct TCalenderCell {
    std::string text;              // the day in decimal, "" for no day
    uint32_t textColour = clBlack;
    uint32_t background = clWhite;
    std::string hint;              // code page 932: the holiday's name, "" for none
};

class TCalenderModel {
public:
    static constexpr int kCells = 37;
    static constexpr int kFirstYear = 1900; // the back button stops at its January
    static constexpr int kLastYear = 2100;  // the next button stops in it

    // Shows today's month.
    explicit TCalenderModel(const port::IClock& clock);

    // Redraws the grid for the displayed year and month.
    void ShowMonth();
    // The main tick calls this when the day changes, so the today mark moves.
    void RefreshCalendar() { ShowMonth(); }

    void BackBtnClick(); // previous month
    void NextBtnClick(); // next month
    void NowBtnClick();  // today's month

    const TSchTime& Displayed() const { return displayed_; }
    const std::array<TCalenderCell, kCells>& Cells() const { return cells_; }
    const std::string& MonthCaption() const { return caption_; } // "2024年 6月"
    bool BackEnabled() const { return displayed_.year > kFirstYear; }
    bool NextEnabled() const { return displayed_.year < kLastYear; }

    // Called after every redraw.
    std::function<void()> onChanged;

private:
    void Step(int months);

    const port::IClock& clock_;
    TSchTime displayed_;
    std::array<TCalenderCell, kCells> cells_;
    std::string caption_;
};

} // namespace pendar
