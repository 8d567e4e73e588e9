#include "core/schedule/clock.h"

#include "core/schedule/date_math.h"

#include <algorithm>
#include <ctime>

namespace tovrin {
namespace {

const SystemClock systemClock;
const Clock* currentClock = &systemClock;

} // namespace

SYSTEMTIME SystemClock::Now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const time_t seconds = ts.tv_sec;
    tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds); // the same, with its arguments the other way round
#else
    localtime_r(&seconds, &local);
#endif
    SYSTEMTIME st;
    st.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    st.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    st.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    st.wDay = static_cast<uint16_t>(local.tm_mday);
    st.wHour = static_cast<uint16_t>(local.tm_hour);
    st.wMinute = static_cast<uint16_t>(local.tm_min);
    // A leap second reads as the last second of the minute.
    st.wSecond = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    st.wMilliseconds = static_cast<uint16_t>(ts.tv_nsec / 1000000);
    return st;
}

// Moving the fake clock is exact calendar arithmetic on day numbers, so a test can cross month
// ends, leap days and year ends without caring how.
void FakeClock::AdvanceSeconds(int64_t seconds) {
    const int64_t total = SecondsOf(now_) + seconds;
    const int64_t days = total >= 0 ? total / kSecondsPerDay : (total + 1) / kSecondsPerDay - 1;
    const int64_t rest = total - days * kSecondsPerDay;
    const uint16_t milliseconds = now_.wMilliseconds;
    now_ = DateFromDayNumber(days);
    now_.wHour = static_cast<uint16_t>(rest / 3600);
    now_.wMinute = static_cast<uint16_t>(rest / 60 % 60);
    now_.wSecond = static_cast<uint16_t>(rest % 60);
    now_.wMilliseconds = milliseconds;
}

void FakeClock::AdvanceDays(int64_t days) {
    AdvanceSeconds(days * kSecondsPerDay);
}

void FakeClock::AdvanceMonths(int64_t months) {
    const int64_t index = int64_t{now_.wYear} * 12 + (now_.wMonth - 1) + months;
    const int64_t year = index >= 0 ? index / 12 : (index + 1) / 12 - 1;
    const auto month = static_cast<unsigned>(index - year * 12 + 1);
    const unsigned day = std::min<unsigned>(now_.wDay, DaysInMonth(year, month));
    const SYSTEMTIME date = DateFromDayNumber(DaysFromCivil(year, month, day));
    now_.wYear = date.wYear;
    now_.wMonth = date.wMonth;
    now_.wDay = date.wDay;
    now_.wDayOfWeek = date.wDayOfWeek;
}

SYSTEMTIME GetLocalTime() {
    return currentClock->Now();
}

ScopedClock::ScopedClock(const Clock& clock) : previous_(currentClock) {
    currentClock = &clock;
}

ScopedClock::~ScopedClock() {
    currentClock = previous_;
}

} // namespace tovrin
