#include "core/schedule/due_rules.h"

#include "core/schedule/date_math.h"

namespace tovrin {
namespace {

// The advance-notice window is walked day by day in concept only: finding the next matching day
// directly gives the walk's answer for every window length, including a hand-edited notifyDays
// in the billions, without a loop over the days.

// Day number of the first day on or after `from` whose day of month is `day`. Months without that
// day are skipped (a 31st skips at most two months in a row, a 29th or 30th only February).
std::optional<std::int64_t> NextMonthlyDay(const CivilDate& from, unsigned day) {
    if (day < 1 || day > 31) {
        return std::nullopt;
    }
    std::int64_t year = from.year;
    unsigned month = from.month;
    if (from.day <= day && day <= DaysInMonth(year, month)) {
        return DaysFromCivil(year, month, day);
    }
    for (int skipped = 0; skipped < 12; ++skipped) {
        if (++month > 12) {
            month = 1;
            ++year;
        }
        if (year > kMaxYear) {
            return std::nullopt;
        }
        if (day <= DaysInMonth(year, month)) {
            return DaysFromCivil(year, month, day);
        }
    }
    return std::nullopt;
}

// Day number of the first day on or after `from` (day number `fromDay`) that falls on the given
// day and month. 29 February waits for a leap year, at most eight years away.
std::optional<std::int64_t> NextYearlyDay(const CivilDate& from, std::int64_t fromDay,
                                          unsigned month, unsigned day) {
    // 2000 is a leap year, so this admits every day and month that some year has.
    if (day < 1 || day > DaysInMonth(2000, month)) {
        return std::nullopt;
    }
    for (std::int64_t year = from.year; year <= from.year + 8 && year <= kMaxYear; ++year) {
        if (day > DaysInMonth(year, month)) {
            continue;
        }
        const std::int64_t candidate = DaysFromCivil(year, month, day);
        if (candidate >= fromDay) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> OffsetWithin(std::optional<std::int64_t> day, std::int64_t today,
                                          std::uint32_t notifyDays) {
    if (!day || *day - today > notifyDays) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*day - today);
}

// A plain date-time is due while it lies in [today, today + N + 1 days): exactly when the whole
// days since today are 0 to N.
std::optional<std::uint32_t> PlainDateOffset(const SYSTEMTIME& when, std::int64_t todayDay,
                                             std::uint32_t notifyDays) {
    if (!IsValidDateTime(when)) {
        return std::nullopt;
    }
    const std::int64_t since = SecondsOf(when) - todayDay * kSecondsPerDay;
    if (since < 0) {
        return std::nullopt;
    }
    return OffsetWithin(todayDay + since / kSecondsPerDay, todayDay, notifyDays);
}

} // namespace

std::optional<std::uint32_t> DateWindowOffset(const ReminderRecord& record, const SYSTEMTIME& today,
                                              std::uint32_t notifyDays) {
    if (IsTimedMode(record.mode) || !IsValidDate(today)) {
        return std::nullopt;
    }
    const std::int64_t todayDay = DayNumber(today);
    const CivilDate from{today.wYear, today.wMonth, today.wDay};
    const SYSTEMTIME& when = record.when;
    if (record.mode == MODE_YEARLY) {
        return OffsetWithin(NextYearlyDay(from, todayDay, when.wMonth, when.wDay), todayDay,
                            notifyDays);
    }
    if (record.mode == MODE_MONTHLY) {
        return OffsetWithin(NextMonthlyDay(from, when.wDay), todayDay, notifyDays);
    }
    return PlainDateOffset(when, todayDay, notifyDays);
}

DateWindow::DateWindow(const SYSTEMTIME& today, std::uint32_t notifyDays)
    : valid_(IsValidDate(today)), todayYear_(today.wYear), notifyDays_(notifyDays) {
    monthly_.fill(kNotDue);
    for (auto& days : yearly_) {
        days.fill(kNotDue);
    }
    if (!valid_) {
        return;
    }
    todayDay_ = DayNumber(today);
    const CivilDate from{today.wYear, today.wMonth, today.wDay};
    // Every day and month a record can name, asked once of the same rules a single record uses.
    for (unsigned day = 0; day < monthly_.size(); ++day) {
        monthly_[day] =
            OffsetWithin(NextMonthlyDay(from, day), todayDay_, notifyDays).value_or(kNotDue);
        for (unsigned month = 0; month < yearly_.size(); ++month) {
            yearly_[month][day] =
                OffsetWithin(NextYearlyDay(from, todayDay_, month, day), todayDay_, notifyDays)
                    .value_or(kNotDue);
        }
    }
}

std::optional<std::uint32_t> DateWindow::PlainOffset(const SYSTEMTIME& when) const {
    return PlainDateOffset(when, todayDay_, notifyDays_);
}

bool IsExpired(const ReminderRecord& record, const SYSTEMTIME& today) {
    if (record.mode == MODE_DAILY || record.mode == MODE_YEARLY || record.mode == MODE_MONTHLY) {
        return false;
    }
    if (!IsValidDate(record.when) || !IsValidDate(today)) {
        return false;
    }
    // A time of day is never negative, so a date-time lies before today's midnight exactly when
    // its date does; time fields out of range cannot change the answer.
    return DayNumber(record.when) < DayNumber(today);
}

void CleanUpTime(ReminderRecord& record) {
    if (IsTimedMode(record.mode)) {
        return;
    }
    SYSTEMTIME& when = record.when;
    if (when.wHour >= 24) {
        when.wHour = 0;
    }
    if (when.wMinute >= 60) {
        when.wMinute = 0;
    }
    if (when.wSecond >= 60) {
        when.wSecond = 0;
    }
    when.wMilliseconds = 0;
}

bool EditorLoadRule(ReminderRecord& record, const SYSTEMTIME& today) {
    CleanUpTime(record);
    return !IsExpired(record, today);
}

} // namespace tovrin
