#pragma once

#include "core/store/reminder_record.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <string_view>

namespace tovrin::test {

inline SYSTEMTIME At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int milliseconds = 0) {
    SYSTEMTIME t;
    t.wYear = static_cast<std::uint16_t>(year);
    t.wMonth = static_cast<std::uint16_t>(month);
    t.wDay = static_cast<std::uint16_t>(day);
    t.wHour = static_cast<std::uint16_t>(hour);
    t.wMinute = static_cast<std::uint16_t>(minute);
    t.wSecond = static_cast<std::uint16_t>(second);
    t.wMilliseconds = static_cast<std::uint16_t>(milliseconds);
    return t;
}

inline ReminderRecord Rec(std::int32_t mode, const SYSTEMTIME& when, std::string_view text = "") {
    ReminderRecord r;
    r.mode = mode;
    r.when = when;
    SetText(r, text);
    return r;
}

} // namespace tovrin::test
