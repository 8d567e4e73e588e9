#pragma once

#include "core/store/reminder_record.h"
#include "core/store/systemtime.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tovrin {

// Written into `state` of a record in today's timed list once it has fired.
inline constexpr std::int32_t FIRED_MARK = 1983;

// Once and daily reminders fire at their minute; every other mode is shown by date.
inline bool IsTimedMode(std::int32_t mode) {
    return mode == MODE_ONCE || mode == MODE_DAILY;
}

// The day offset, 0 to notifyDays, at which a dated reminder falls inside the advance-notice
// window that starts at `today` (only its date is used), or nothing when it is not due:
// - yearly: the first day on or after today with the record's day and month (year ignored);
// - monthly: the first day on or after today with the record's day of month (no clamping to
//   shorter months);
// - any other mode but the two timed ones: the record's date-time lies in [today, today + N + 1
//   days), and the offset is the whole days between.
// Timed reminders are never listed. A record whose date (or, for plain dates, date-time) is not
// a real one is never due; days past 31 December 9999 do not exist. Runs in constant time for
// any notifyDays.
std::optional<std::uint32_t> DateWindowOffset(const ReminderRecord& record, const SYSTEMTIME& today,
                                              std::uint32_t notifyDays);

// The date-window rule for one today and one advance notice, worked out once so that each record
// then costs a table look-up or a little arithmetic, whatever the window's length: the readers
// that judge a whole store use it. It gives DateWindowOffset's answer for every record.
class DateWindow {
public:
    DateWindow(const SYSTEMTIME& today, std::uint32_t notifyDays);

    // No offset reaches it: Raw() says "not due" with it.
    static constexpr std::uint32_t kNotDue = 0xFFFFFFFFu;

    // Offset() as a plain number, kNotDue when not due: for the loops over a whole store, where
    // an optional handed back through memory costs a stalled load on every record. In the
    // header: a reader of a large store asks once a record.
    std::uint32_t Raw(std::int32_t mode, const SYSTEMTIME& when) const {
        if (!valid_ || IsTimedMode(mode)) {
            return kNotDue;
        }
        if (mode == MODE_YEARLY) {
            // Months and days past the tables exist in no year.
            if (when.wMonth >= yearly_.size() || when.wDay >= monthly_.size()) {
                return kNotDue;
            }
            return yearly_[when.wMonth][when.wDay];
        }
        if (mode == MODE_MONTHLY) {
            return when.wDay < monthly_.size() ? monthly_[when.wDay] : kNotDue;
        }
        // A date in an earlier year lies before today whatever its other fields hold: most old
        // reminders are settled here.
        if (when.wYear < todayYear_) {
            return kNotDue;
        }
        return PlainOffset(when).value_or(kNotDue);
    }
    std::optional<std::uint32_t> Offset(std::int32_t mode, const SYSTEMTIME& when) const {
        const std::uint32_t offset = Raw(mode, when);
        return offset == kNotDue ? std::nullopt : std::optional(offset);
    }
    std::optional<std::uint32_t> Offset(const ReminderRecord& record) const {
        return Offset(record.mode, record.when);
    }

private:
    std::optional<std::uint32_t> PlainOffset(const SYSTEMTIME& when) const;

    bool valid_ = false; // today is a real date
    std::int64_t todayDay_ = 0;
    std::uint16_t todayYear_ = 0;
    std::uint32_t notifyDays_ = 0;
    std::array<std::uint32_t, 32> monthly_{};                // by day of month
    std::array<std::array<std::uint32_t, 32>, 13> yearly_{}; // by month, then day
};

// True when the editor must drop the record at load: neither daily, yearly nor monthly, and dated
// before today's midnight. A record whose date is not a real one is kept, so the user can still
// see it and mend or delete it.
bool IsExpired(const ReminderRecord& record, const SYSTEMTIME& today);

// Mends out-of-range time fields of dated reminders the way the editor does at load (hour, minute
// or second out of range becomes 0, milliseconds always 0). Once and daily records are untouched.
void CleanUpTime(ReminderRecord& record);

// The editor's rule for each record it reads: time clean-up, then expiry. True = keep; when it
// says drop, the editor marks its list changed so the store is rewritten without the record.
bool EditorLoadRule(ReminderRecord& record, const SYSTEMTIME& today);

} // namespace tovrin
