#include "core/schedule/date_math.h"

namespace tovrin {

static_assert(DaysFromCivil(1899, 12, 30) == 0);
static_assert(DaysFromCivil(1900, 1, 1) == 2);
static_assert(kMinDay == -657434 && kMaxDay == 2958465);
static_assert(DayOfWeek(0) == 6); // 30 December 1899 was a Saturday

bool IsValidDate(const SYSTEMTIME& t) {
    return t.wYear >= kMinYear && t.wYear <= kMaxYear && t.wDay >= 1 &&
           t.wDay <= DaysInMonth(t.wYear, t.wMonth);
}

bool IsValidDateTime(const SYSTEMTIME& t) {
    return IsValidDate(t) && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60;
}

std::int64_t DayNumber(const SYSTEMTIME& t) {
    return DaysFromCivil(t.wYear, t.wMonth, t.wDay);
}

SYSTEMTIME DateFromDayNumber(std::int64_t days) {
    const CivilDate c = CivilFromDays(days);
    SYSTEMTIME t;
    t.wYear = static_cast<std::uint16_t>(c.year);
    t.wMonth = static_cast<std::uint16_t>(c.month);
    t.wDay = static_cast<std::uint16_t>(c.day);
    t.wDayOfWeek = static_cast<std::uint16_t>(DayOfWeek(days));
    return t;
}

std::optional<SYSTEMTIME> AddDays(const SYSTEMTIME& date, std::int64_t k) {
    if (!IsValidDate(date)) {
        return std::nullopt;
    }
    const std::int64_t from = DayNumber(date);
    // Compared before adding, so no k can overflow.
    if (k > kMaxDay - from || k < kMinDay - from) {
        return std::nullopt;
    }
    SYSTEMTIME out = DateFromDayNumber(from + k);
    out.wHour = date.wHour;
    out.wMinute = date.wMinute;
    out.wSecond = date.wSecond;
    out.wMilliseconds = date.wMilliseconds;
    return out;
}

SYSTEMTIME TodayOf(const SYSTEMTIME& now) {
    SYSTEMTIME today = now;
    today.wHour = 0;
    today.wMinute = 0;
    today.wSecond = 0;
    today.wMilliseconds = 0;
    return today;
}

std::int64_t SecondsOf(const SYSTEMTIME& t) {
    return DayNumber(t) * kSecondsPerDay + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

std::strong_ordering CompareDateTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return SecondsOf(a) <=> SecondsOf(b);
}

} // namespace tovrin
