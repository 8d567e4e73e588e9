#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "schedule_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovrin {
namespace {

using test::At;
using test::Rec;

constexpr std::uint32_t kMaxDays = 4294967295u;

// The advance-notice window walked the slow way, one calendar day at a time, as the rule reads in
// words: the first day D = today + k (k = 0 to N) that matches. Days past the calendar's end do
// not exist.
std::optional<std::uint32_t> WalkTheWindow(const ReminderRecord& r, const SYSTEMTIME& today,
                                           std::uint32_t n) {
    const std::int64_t first = DayNumber(today);
    for (std::int64_t k = 0; k <= n && first + k <= kMaxDay; ++k) {
        const CivilDate d = CivilFromDays(first + k);
        const bool dayMatches = d.day == r.when.wDay;
        if ((r.mode == MODE_MONTHLY && dayMatches) ||
            (r.mode == MODE_YEARLY && dayMatches && d.month == r.when.wMonth)) {
            return static_cast<std::uint32_t>(k);
        }
    }
    return std::nullopt;
}

std::vector<ReminderRecord> RepeatingSamples() {
    std::vector<ReminderRecord> records;
    for (int day : {0, 1, 15, 28, 29, 30, 31, 32}) {
        records.push_back(Rec(MODE_MONTHLY, At(1990, 7, day)));
        for (int month = 0; month <= 13; ++month) {
            records.push_back(Rec(MODE_YEARLY, At(2001, month, day)));
        }
    }
    return records;
}

TEST(DateWindowOffset, RepeatingRemindersGiveTheDayByDayWalksAnswer) {
    const std::vector<ReminderRecord> records = RepeatingSamples();
    for (std::int64_t day = DayNumber(At(2023, 1, 1)); day <= DayNumber(At(2024, 12, 31)); ++day) {
        const SYSTEMTIME today = DateFromDayNumber(day);
        for (std::uint32_t n : {0u, 1u, 9u, 31u}) {
            for (const ReminderRecord& r : records) {
                ASSERT_EQ(DateWindowOffset(r, today, n), WalkTheWindow(r, today, n))
                    << "today " << day << " N " << n << " mode " << r.mode << " month "
                    << r.when.wMonth << " day " << r.when.wDay;
            }
        }
    }
}

TEST(DateWindowOffset, LongWindowsAndTheCalendarsEndGiveTheWalksAnswer) {
    const std::vector<ReminderRecord> records = RepeatingSamples();
    const SYSTEMTIME todays[] = {At(1896, 3, 1),  At(2097, 3, 1),  At(2099, 12, 31),
                                 At(9996, 1, 15), At(9999, 12, 1), At(9999, 12, 31),
                                 At(100, 1, 1),   At(2024, 2, 29)};
    for (const SYSTEMTIME& today : todays) {
        for (std::uint32_t n : {400u, 3000u}) {
            for (const ReminderRecord& r : records) {
                ASSERT_EQ(DateWindowOffset(r, today, n), WalkTheWindow(r, today, n))
                    << "today " << today.wYear << "-" << today.wMonth << "-" << today.wDay
                    << " month " << r.when.wMonth << " day " << r.when.wDay;
            }
        }
    }
}

TEST(DateWindowOffset, PlainDatesCountWholeDaysInsideTheWindow) {
    const SYSTEMTIME today = At(2026, 5, 10);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 10)), today, 0), 0u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 10, 23, 59, 59)), today, 0), 0u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 11)), today, 0), std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 11)), today, 1), 1u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 19, 23, 59, 59)), today, 9), 9u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 20)), today, 9), std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 9, 23, 59, 59)), today, 9), std::nullopt);
    // Only the date of `today` counts, should a caller hand over a time with it.
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(2026, 5, 10, 8)), At(2026, 5, 10, 9), 0), 0u);
    // Modes the program does not know are plain dates.
    EXPECT_EQ(DateWindowOffset(Rec(99, At(2026, 5, 12, 7)), today, 3), 2u);
    EXPECT_EQ(DateWindowOffset(Rec(-1, At(2026, 5, 12, 7)), today, 3), 2u);
}

TEST(DateWindowOffset, MonthlyAndYearlyDaysThatSomeMonthsLack) {
    // The 31st is skipped by 30-day months, never clamped to the month's last day.
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 31)), At(2024, 4, 25), 9),
              std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 31)), At(2024, 3, 25), 9), 6u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 30)), At(2024, 2, 1), 28),
              std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 29)), At(2024, 2, 20), 9), 9u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 29)), At(2023, 2, 20), 9),
              std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2000, 2, 29)), At(2024, 2, 20), 9), 9u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2000, 2, 29)), At(2023, 2, 20), 9),
              std::nullopt);
    // The nearest day wins when the window holds two.
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2000, 1, 5)), At(2024, 3, 5), 40), 0u);
}

TEST(DateWindowOffset, YearlyIgnoresTheStoredYearAndCrossesTheYearEnd) {
    const SYSTEMTIME today = At(2026, 5, 3);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(1990, 5, 5, 23, 59)), today, 3), 2u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2090, 5, 5)), today, 3), 2u);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2026, 5, 2)), today, 3), std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2020, 1, 1)), At(2024, 12, 30), 3), 2u);
}

TEST(DateWindowOffset, TimedRemindersAreNeverListed) {
    const SYSTEMTIME today = At(2026, 5, 10);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_ONCE, At(2026, 5, 10, 12)), today, 9), std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_DAILY, At(2026, 5, 11, 12)), today, 9), std::nullopt);
}

TEST(DateWindowOffset, DatesThatDoNotExistAreNeverDue) {
    const SYSTEMTIME today = At(2023, 2, 1);
    for (const SYSTEMTIME& bad :
         {At(2023, 0, 5), At(2023, 13, 5), At(2023, 2, 0), At(2023, 2, 29), At(2023, 2, 32),
          At(0, 2, 5), At(2023, 2, 5, 24), At(2023, 2, 5, 0, 60), At(2023, 2, 5, 0, 0, 60)}) {
        EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, bad), today, 9), std::nullopt);
    }
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(2023, 2, 30)), today, 400), std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2023, 1, 32)), today, 400), std::nullopt);
    // An impossible today (a broken clock) lists nothing rather than guessing.
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(2023, 1, 1)), At(2023, 2, 30), 9),
              std::nullopt);
}

TEST(DateWindowOffset, TheLargestWindowStaysExactUpToTheCalendarsEnd) {
    const SYSTEMTIME today = At(2026, 12, 8);
    const auto toEnd = static_cast<std::uint32_t>(kMaxDay - DayNumber(today));
    EXPECT_EQ(DateWindowOffset(Rec(MODE_NONE, At(9999, 12, 31, 23, 59, 59)), today, kMaxDays),
              toEnd);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(1, 12, 7)), today, kMaxDays),
              static_cast<std::uint32_t>(DayNumber(At(2027, 12, 7)) - DayNumber(today)));
    // 2100 is no leap year: the next 29 February after 2097 is in 2104.
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(0, 2, 29)), At(2097, 3, 1), kMaxDays),
              static_cast<std::uint32_t>(DayNumber(At(2104, 2, 29)) - DayNumber(At(2097, 3, 1))));
    EXPECT_EQ(DateWindowOffset(Rec(MODE_YEARLY, At(0, 2, 29)), At(9997, 3, 1), kMaxDays),
              std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(0, 1, 15)), At(9999, 12, 31), kMaxDays),
              std::nullopt);
    EXPECT_EQ(DateWindowOffset(Rec(MODE_MONTHLY, At(0, 1, 31)), At(9999, 12, 31), 0), 0u);
}

// Every record a store could hold near `today`'s window: each day and month a repeating one can
// name (impossible ones too), plain dates on both sides of both edges of the window, a
// date-time out of range, a year before, and modes of every kind.
std::vector<ReminderRecord> RecordsAround(const SYSTEMTIME& today, std::uint32_t n) {
    std::vector<ReminderRecord> records = RepeatingSamples();
    for (int month = 0; month <= 13; ++month) {
        for (int day : {2, 27}) {
            records.push_back(Rec(MODE_YEARLY, At(2001, month, day)));
        }
    }
    const std::int64_t edges[] = {
        -366, -1, 0, 1, static_cast<std::int64_t>(n), static_cast<std::int64_t>(n) + 1};
    for (const std::int64_t k : edges) {
        if (const auto day = AddDays(today, k)) {
            for (const SYSTEMTIME& when : {*day, At(day->wYear, day->wMonth, day->wDay, 23, 59, 59),
                                           At(day->wYear, day->wMonth, day->wDay, 24)}) {
                for (const std::int32_t mode : {MODE_NONE, 77, -1, MODE_ONCE, MODE_DAILY}) {
                    records.push_back(Rec(mode, when));
                }
            }
        }
    }
    records.push_back(Rec(MODE_NONE, At(today.wYear - 1, 12, 31, 23, 59, 59)));
    records.push_back(Rec(MODE_NONE, At(today.wYear, 2, 30)));
    records.push_back(Rec(MODE_NONE, At(0, 1, 1)));
    records.push_back(Rec(MODE_NONE, At(65535, 65535, 65535, 65535, 65535, 65535)));
    return records;
}

void ExpectTheWindowAgrees(const SYSTEMTIME& today, std::uint32_t n) {
    const DateWindow window(today, n);
    for (const ReminderRecord& r : RecordsAround(today, n)) {
        ASSERT_EQ(window.Offset(r), DateWindowOffset(r, today, n))
            << "today " << today.wYear << "-" << today.wMonth << "-" << today.wDay << " N " << n
            << " mode " << r.mode << " when " << r.when.wYear << "-" << r.when.wMonth << "-"
            << r.when.wDay << " " << r.when.wHour << ":" << r.when.wMinute << ":" << r.when.wSecond;
    }
}

// The window's tables must give the one-record rule's answer wherever the two could part: month
// ends, leap days, year ends, the window's edges, long and huge advance notices, and the ends of
// the calendar.
TEST(DateWindow, GivesTheOneRecordRulesAnswerForEveryRecord) {
    for (std::int64_t day = DayNumber(At(2023, 12, 1)); day <= DayNumber(At(2025, 1, 31)); ++day) {
        for (std::uint32_t n : {0u, 1u, 9u, 31u, 400u, kMaxDays}) {
            ExpectTheWindowAgrees(DateFromDayNumber(day), n);
        }
    }
    for (const SYSTEMTIME& today : {At(2099, 12, 31), At(2100, 2, 28), At(2100, 3, 1),
                                    At(9999, 12, 31), At(9992, 2, 29), At(100, 1, 1)}) {
        for (std::uint32_t n : {0u, 1u, 9u, 3000u, kMaxDays}) {
            ExpectTheWindowAgrees(today, n);
        }
    }
    // A broken clock's today lists nothing, as the one-record rule says.
    const DateWindow broken(At(2023, 2, 30), 9);
    EXPECT_EQ(broken.Offset(Rec(MODE_MONTHLY, At(2023, 1, 1))), std::nullopt);
    EXPECT_EQ(broken.Offset(Rec(MODE_NONE, At(2023, 3, 1))), std::nullopt);
}

TEST(IsExpired, OnlyNonRepeatingRecordsDatedBeforeTodayExpire) {
    const SYSTEMTIME today = At(2026, 5, 10);
    EXPECT_TRUE(IsExpired(Rec(MODE_ONCE, At(2026, 5, 9, 23, 59, 59)), today));
    EXPECT_FALSE(IsExpired(Rec(MODE_ONCE, At(2026, 5, 10)), today));
    EXPECT_TRUE(IsExpired(Rec(MODE_NONE, At(2026, 5, 9)), today));
    EXPECT_TRUE(IsExpired(Rec(77, At(2020, 1, 1)), today));
    EXPECT_FALSE(IsExpired(Rec(MODE_YEARLY, At(2025, 5, 10)), today));
    EXPECT_FALSE(IsExpired(Rec(MODE_MONTHLY, At(2001, 1, 1)), today));
    EXPECT_FALSE(IsExpired(Rec(MODE_DAILY, At(2001, 1, 1, 8)), today));
    // An hour out of range cannot lift yesterday into today.
    EXPECT_TRUE(IsExpired(Rec(MODE_ONCE, At(2026, 5, 9, 99)), today));
    // Records with impossible dates are kept for the user to mend or delete.
    EXPECT_FALSE(IsExpired(Rec(MODE_NONE, At(2026, 13, 1)), today));
    EXPECT_FALSE(IsExpired(Rec(MODE_ONCE, SYSTEMTIME{}), today));
}

TEST(EditorLoadRule, CleansDatedTimesThenDropsTheExpired) {
    const SYSTEMTIME today = At(2026, 5, 10);
    ReminderRecord monthly = Rec(MODE_MONTHLY, At(2026, 1, 3, 23, 45, 10, 500));
    EXPECT_TRUE(EditorLoadRule(monthly, today));
    EXPECT_EQ(monthly.when, At(2026, 1, 3, 23, 45, 10, 0));

    ReminderRecord wild = Rec(MODE_NONE, At(2026, 6, 1, 24, 60, 60, 999));
    EXPECT_TRUE(EditorLoadRule(wild, today));
    EXPECT_EQ(wild.when, At(2026, 6, 1));
    ReminderRecord late = Rec(MODE_YEARLY, At(2026, 6, 1, 23, 59, 61));
    EXPECT_TRUE(EditorLoadRule(late, today));
    EXPECT_EQ(late.when, At(2026, 6, 1, 23, 59, 0));

    // Timed records keep their fields exactly as stored.
    ReminderRecord once = Rec(MODE_ONCE, At(2026, 5, 10, 24, 0, 0, 500));
    EXPECT_TRUE(EditorLoadRule(once, today));
    EXPECT_EQ(once.when, At(2026, 5, 10, 24, 0, 0, 500));

    ReminderRecord yesterday = Rec(MODE_ONCE, At(2026, 5, 9, 14, 30));
    EXPECT_FALSE(EditorLoadRule(yesterday, today));
    ReminderRecord lastYear = Rec(MODE_YEARLY, At(2025, 3, 1));
    EXPECT_TRUE(EditorLoadRule(lastYear, today));
}

} // namespace
} // namespace tovrin
