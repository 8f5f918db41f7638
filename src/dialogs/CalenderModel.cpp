#include "dialogs/CalenderModel.h"

#include "base/Holiday.h"
#include "base/Sjis.h"

#include <cstdio>
#include <string>

namespace pendar {

TCalenderModel::TCalenderModel(const port::IClock& clock) : clock_(clock)
{
    displayed_ = TodayTime(clock_);
    ShowMonth();
}

void TCalenderModel::ShowMonth()
{
    TSchTime today = TodayTime(clock_);
    displayed_.day = 1;
    displayed_.weekday = static_cast<int8_t>(WeekdayOf(displayed_));
    int first = displayed_.weekday;

    char year[8];
    std::snprintf(year, sizeof year, "%4d", displayed_.year);
    caption_ = year + Sjis("年 ") + std::to_string(displayed_.month) + Sjis("月");

    cells_.fill(TCalenderCell{});
    int days = DaysInMonth(displayed_.year, displayed_.month);
    TSchTime date = displayed_;
    for (int day = 1; day <= days; ++day, NextDay(date)) {
        TCalenderCell& cell = cells_[static_cast<size_t>(first + day - 1)];
        cell.text = std::to_string(day);
        cell.hint = std::string(HolidayName(date));
        if (!cell.hint.empty() || date.weekday == 0)
            cell.textColour = clRed;
        else if (date.weekday == 6)
            cell.textColour = clBlue;
        if (date.year == today.year && date.month == today.month && date.day == today.day)
            cell.background = clAqua;
    }
    if (onChanged)
        onChanged();
}

void TCalenderModel::Step(int months)
{
    int index = displayed_.year * 12 + (displayed_.month - 1) + months;
    displayed_.year = static_cast<int16_t>(index / 12);
    displayed_.month = static_cast<int8_t>(index % 12 + 1);
    ShowMonth();
}

void TCalenderModel::BackBtnClick()
{
    if (BackEnabled())
        Step(-1);
}

void TCalenderModel::NextBtnClick()
{
    if (NextEnabled())
        Step(1);
}

void TCalenderModel::NowBtnClick()
{
    TSchTime today = TodayTime(clock_);
    displayed_.year = today.year;
    displayed_.month = today.month;
    ShowMonth();
}

} // namespace pendar
