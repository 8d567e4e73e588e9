#include "schedule/clock.h"

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
    localtime_r(&seconds, &local);
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
