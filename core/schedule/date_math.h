#pragma once

#include "core/store/systemtime.h"

#include <compare>
#include <cstdint>
#include <optional>

namespace tovrin {

// Calendar arithmetic on day numbers: whole days since 30 December 1899 (day 0, a Saturday), the
// epoch of the date type the store's records were first written with, so day numbers and the
// dates they name agree with every other copy of the program. Proleptic Gregorian calendar; the
// dates the program accepts run from 1 January 100 to 31 December 9999.
//
// The original kept date-times as a double (day number plus the time as a fraction of a day).
// Every date-time the rules compare has whole seconds, so a signed 64-bit count of seconds since
// the same epoch orders them exactly as those values did: a double separates any two distinct
// seconds in this range, and the count is the linear value the original compared by (it also
// orders times within a day before 1900 correctly, where raw negative doubles do not). No
// floating point is needed, and the window edges are exact.

inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;
inline constexpr std::int64_t kSecondsPerDay = 86400;

constexpr bool IsLeapYear(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

// 0 for a month outside 1-12, so "day <= DaysInMonth" rejects it.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
    constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Day number of a civil date. Fields are not validated: out-of-range months and days give some
// day number without undefined behaviour, so callers validate first where it matters.
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    // Counting from 1 March puts the leap day at the end of the counted year.
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = month > 2 ? static_cast<std::int64_t>(month) - 3 : month + 9;
    const std::int64_t doy = (153 * mp + 2) / 5 + static_cast<std::int64_t>(day) - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    // 1 January 1970 is day 25569 of our epoch; the era arithmetic above counts from 1 March 0000.
    return era * 146097 + doe - 719468 + 25569;
}

struct CivilDate {
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
};

constexpr CivilDate CivilFromDays(std::int64_t days) {
    const std::int64_t z = days - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const auto day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

inline constexpr std::int64_t kMinDay = DaysFromCivil(kMinYear, 1, 1);
inline constexpr std::int64_t kMaxDay = DaysFromCivil(kMaxYear, 12, 31);

// 0 = Sunday, as in SYSTEMTIME.
constexpr unsigned DayOfWeek(std::int64_t days) {
    return static_cast<unsigned>(((days % 7) + 7 + 6) % 7);
}

// The date fields only: year 100-9999, month 1-12, day within the month.
bool IsValidDate(const SYSTEMTIME& t);
// A valid date and a time of day below 24:00:00; milliseconds are never looked at.
bool IsValidDateTime(const SYSTEMTIME& t);

std::int64_t DayNumber(const SYSTEMTIME& t);
// Midnight of that day, day of week filled in. The day must lie within years 100-9999.
SYSTEMTIME DateFromDayNumber(std::int64_t days);

// The date k days later (or earlier), time fields kept, day of week recomputed. Empty when the
// date is not valid or the result falls outside years 100-9999.
std::optional<SYSTEMTIME> AddDays(const SYSTEMTIME& date, std::int64_t k);

// The date of `now` at 00:00:00.000.
SYSTEMTIME TodayOf(const SYSTEMTIME& now);

// Seconds since 30 December 1899 00:00:00; milliseconds ignored. Fields are not validated.
std::int64_t SecondsOf(const SYSTEMTIME& t);

// Orders two date-times to the second (milliseconds and day of week ignored).
std::strong_ordering CompareDateTime(const SYSTEMTIME& a, const SYSTEMTIME& b);

} // namespace tovrin
