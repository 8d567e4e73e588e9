#pragma once

#include "core/store/systemtime.h"

#include <cstdint>

namespace tovrin {

// Every date and time decision reads the local wall clock through this one interface, so tests can
// set it to the second and move it by seconds, days or months.
class Clock {
public:
    virtual ~Clock() = default;
    virtual SYSTEMTIME Now() const = 0;
};

class SystemClock final : public Clock {
public:
    SYSTEMTIME Now() const override;
};

class FakeClock final : public Clock {
public:
    explicit FakeClock(const SYSTEMTIME& start) : now_(start) {}
    SYSTEMTIME Now() const override { return now_; }
    void Set(const SYSTEMTIME& now) { now_ = now; }
    void AdvanceSeconds(int64_t seconds);
    void AdvanceDays(int64_t days);
    // Keeps the day of month where the target month has it, else the month's last day.
    void AdvanceMonths(int64_t months);

private:
    SYSTEMTIME now_;
};

// The local time from the clock in force (the system clock unless a test installed another).
SYSTEMTIME GetLocalTime();

// Installs a clock for the lifetime of this object, restoring the previous one afterwards.
class ScopedClock {
public:
    explicit ScopedClock(const Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    const Clock* previous_;
};

} // namespace tovrin
