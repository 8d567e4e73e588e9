#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "schedule_test_util.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

using test::At;

SYSTEMTIME OnWeekday(SYSTEMTIME t, int weekday) {
    t.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    return t;
}

TEST(DateMath, DayNumbersMatchTheOldDateTypeAtKnownDays) {
    EXPECT_EQ(DayNumber(At(1899, 12, 30)), 0);
    EXPECT_EQ(DayNumber(At(1899, 12, 29)), -1);
    EXPECT_EQ(DayNumber(At(1900, 3, 1)), 61); // 1900 is not a leap year
    EXPECT_EQ(DayNumber(At(2000, 1, 1)), 36526);
    EXPECT_EQ(DayNumber(At(100, 1, 1)), -657434);
    EXPECT_EQ(DayNumber(At(9999, 12, 31)), 2958465);
}

// Walks every day of years 100 to 9999 with a plain calendar counter: the day numbers must rise
// by one a day, convert back to the same date, and name the right weekday.
TEST(DateMath, EveryDayOfTheRangeRoundTrips) {
    int year = 100;
    unsigned month = 1;
    unsigned day = 1;
    unsigned weekday = DateFromDayNumber(kMinDay).wDayOfWeek;
    for (std::int64_t n = kMinDay; n <= kMaxDay; ++n) {
        ASSERT_EQ(DaysFromCivil(year, month, day), n);
        const CivilDate c = CivilFromDays(n);
        ASSERT_EQ(c.year, year);
        ASSERT_EQ(c.month, month);
        ASSERT_EQ(c.day, day);
        ASSERT_EQ(DayOfWeek(n), weekday);
        weekday = (weekday + 1) % 7;
        if (++day > DaysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    EXPECT_EQ(year, 10000);
}

TEST(DateMath, WeekdaysOfKnownDates) {
    EXPECT_EQ(DateFromDayNumber(DayNumber(At(2026, 12, 8))).wDayOfWeek, 2); // a Tuesday
    EXPECT_EQ(DateFromDayNumber(DayNumber(At(2000, 2, 29))).wDayOfWeek, 2);
    EXPECT_EQ(DateFromDayNumber(DayNumber(At(1970, 1, 1))).wDayOfWeek, 4);
}

TEST(DateMath, ValidDatesAndTimes) {
    EXPECT_TRUE(IsValidDate(At(2024, 2, 29)));
    EXPECT_FALSE(IsValidDate(At(2023, 2, 29)));
    EXPECT_FALSE(IsValidDate(At(1900, 2, 29)));
    EXPECT_TRUE(IsValidDate(At(2000, 2, 29)));
    EXPECT_FALSE(IsValidDate(At(2024, 4, 31)));
    EXPECT_FALSE(IsValidDate(At(2024, 0, 10)));
    EXPECT_FALSE(IsValidDate(At(2024, 13, 10)));
    EXPECT_FALSE(IsValidDate(At(2024, 1, 0)));
    EXPECT_FALSE(IsValidDate(At(2024, 1, 32)));
    EXPECT_FALSE(IsValidDate(At(99, 12, 31)));
    EXPECT_TRUE(IsValidDate(At(100, 1, 1)));
    EXPECT_FALSE(IsValidDate(At(10000, 1, 1)));
    EXPECT_FALSE(IsValidDate(SYSTEMTIME{}));
    EXPECT_TRUE(IsValidDateTime(At(2024, 5, 5, 23, 59, 59, 999)));
    EXPECT_FALSE(IsValidDateTime(At(2024, 5, 5, 24, 0, 0)));
    EXPECT_FALSE(IsValidDateTime(At(2024, 5, 5, 0, 60, 0)));
    EXPECT_FALSE(IsValidDateTime(At(2024, 5, 5, 0, 0, 60)));
}

TEST(DateMath, AddDaysCrossesMonthsAndYearsAndStopsAtTheRangeEnds) {
    EXPECT_EQ(AddDays(At(2024, 2, 28, 7, 8, 9, 10), 1), OnWeekday(At(2024, 2, 29, 7, 8, 9, 10), 4));
    EXPECT_EQ(AddDays(At(2023, 12, 31), 1)->wYear, 2024);
    const SYSTEMTIME back = *AddDays(At(2024, 3, 1), -1);
    EXPECT_EQ(back.wMonth, 2);
    EXPECT_EQ(back.wDay, 29);
    EXPECT_EQ(back.wDayOfWeek, 4);
    EXPECT_EQ(AddDays(At(9999, 12, 30), 1)->wDay, 31);
    EXPECT_FALSE(AddDays(At(9999, 12, 31), 1));
    EXPECT_FALSE(AddDays(At(100, 1, 1), -1));
    EXPECT_FALSE(AddDays(At(2024, 1, 1), INT64_MAX));
    EXPECT_FALSE(AddDays(At(2024, 1, 1), INT64_MIN));
    EXPECT_FALSE(AddDays(At(2024, 2, 30), 0));
}

TEST(DateMath, ComparisonIsToTheSecondAndIgnoresMilliseconds) {
    EXPECT_EQ(CompareDateTime(At(2024, 1, 1, 0, 0, 0, 999), At(2024, 1, 1)),
              std::strong_ordering::equal);
    EXPECT_EQ(CompareDateTime(At(2023, 12, 31, 23, 59, 59), At(2024, 1, 1)),
              std::strong_ordering::less);
    // Before the epoch a later time of the same day is still later.
    EXPECT_EQ(CompareDateTime(At(1899, 12, 29, 6), At(1899, 12, 29, 0)),
              std::strong_ordering::greater);
    EXPECT_EQ(TodayOf(At(2024, 6, 1, 13, 14, 15, 16)), At(2024, 6, 1));
}

TEST(FakeClock, AdvancesBySecondsAcrossDayMonthAndYearEnds) {
    FakeClock clock(At(2023, 12, 31, 23, 59, 58, 250));
    clock.AdvanceSeconds(1);
    EXPECT_EQ(clock.Now().wSecond, 59);
    clock.AdvanceSeconds(1);
    EXPECT_EQ(clock.Now(), OnWeekday(At(2024, 1, 1, 0, 0, 0, 250), 1));
    clock.AdvanceSeconds(-1);
    EXPECT_EQ(clock.Now().wYear, 2023);
    EXPECT_EQ(clock.Now().wHour, 23);
    EXPECT_EQ(clock.Now().wDayOfWeek, 0);
}

TEST(FakeClock, AdvancesByDaysThroughLeapDays) {
    FakeClock clock(At(2024, 2, 28, 10, 30));
    clock.AdvanceDays(1);
    EXPECT_EQ(clock.Now().wDay, 29);
    clock.AdvanceDays(1);
    EXPECT_EQ(clock.Now().wMonth, 3);
    EXPECT_EQ(clock.Now().wDay, 1);
    EXPECT_EQ(clock.Now().wHour, 10);
    clock.AdvanceDays(-366);
    EXPECT_EQ(clock.Now(), OnWeekday(At(2023, 3, 1, 10, 30), 3));
}

TEST(FakeClock, AdvancesByMonthsKeepingTheDayOrTheMonthsLast) {
    FakeClock clock(At(2024, 1, 31, 8));
    clock.AdvanceMonths(1);
    EXPECT_EQ(clock.Now().wMonth, 2);
    EXPECT_EQ(clock.Now().wDay, 29);
    clock.Set(At(2023, 1, 31, 8));
    clock.AdvanceMonths(1);
    EXPECT_EQ(clock.Now().wDay, 28);
    clock.Set(At(2024, 11, 15, 8));
    clock.AdvanceMonths(2);
    EXPECT_EQ(clock.Now().wYear, 2025);
    EXPECT_EQ(clock.Now().wMonth, 1);
    EXPECT_EQ(clock.Now().wDay, 15);
    EXPECT_EQ(clock.Now().wDayOfWeek, 3);
    clock.AdvanceMonths(-13);
    EXPECT_EQ(clock.Now().wYear, 2023);
    EXPECT_EQ(clock.Now().wMonth, 12);
    EXPECT_EQ(clock.Now().wHour, 8);
}

TEST(FakeClock, GetLocalTimeReadsTheInstalledClock) {
    const FakeClock clock(At(2030, 7, 1, 9));
    {
        const ScopedClock scoped(clock);
        EXPECT_EQ(GetLocalTime(), clock.Now());
    }
    EXPECT_NE(GetLocalTime().wYear, 2030);
}

} // namespace
} // namespace tovrin
