// Japanese public holidays (1948-07-20 onwards): the named holidays by their
// own rules, and the full answer with substitute and in-between holidays.
// The clock face and the calendar both ask here.
#pragma once

#include "base/SchTime.h"

#include <string_view>

// Indices of the holiday names. 0 and 1 are only ever HolidayName's answer.
enum THolidayIndex : int {
    hiSubstitute = 0,
    hiBetween = 1,
    hiNewYear = 2,
    hiComingOfAge = 3,
    hiFoundation = 4,
    hiVernalEquinox = 5,
    hiShowa = 6,
    hiConstitution = 7,
    hiGreenery = 8,
    hiChildren = 9,
    hiMarine = 10,
    hiRespectAged = 11,
    hiAutumnalEquinox = 12,
    hiHealthSports = 13,
    hiCulture = 14,
    hiLabourThanks = 15,
    hiEmperorBirthday = 16,
    hiMountain = 17,
    hiSports = 18,
    hiAkihitoWedding = 19, // 1959
    hiShowaFuneral = 20, // 1989
    hiEnthronement = 21, // 1990, 2019
    hiNaruhitoWedding = 22, // 1993
    hiAccession = 23, // 2019
    kHolidayNameCount = 24,
};

// The holiday the date (year, month, day; its weekday field is not trusted)
// is by its own rule, hiNewYear or above, or -1. Substitute and in-between
// holidays are not included. Invalid dates give -1.
int HolidayIndex(const TSchTime& date);

// The name (code page 932) of the public holiday on the date, substitute and
// in-between holidays included; empty when the date is no holiday.
std::string_view HolidayName(const TSchTime& date);

// The name of a holiday index (0 .. kHolidayNameCount-1); empty otherwise.
std::string_view HolidayNameOf(int index);

// The day of the equinox holiday in March or September of `year`, or 0 when
// the year has none (from 2100).
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);
