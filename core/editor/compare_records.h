#pragma once

#include "core/store/reminder_record.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tovrin {

// The order of the message column: locale-aware and case-insensitive, which only the user
// interface's text library knows.
class TextOrder {
public:
    virtual ~TextOrder() = default;
    // <0, 0 or >0 as a's text sorts before, with or after b's.
    virtual int Compare(const ReminderRecord& a, const ReminderRecord& b) const = 0;
    // The stable ascending order of the records: for each place of the sorted list, the index
    // of the record that goes there. Exactly what a stable sort by Compare gives, however it is
    // reached.
    virtual std::vector<int> StableOrder(std::span<const ReminderRecord* const> records) = 0;
};

// The list's columns, as the sort parameter names them.
inline constexpr int kDateColumn = 0;
inline constexpr int kTextColumn = 1;

// The calendar key of the date column: days before the month in a 365-day year plus the day of
// month, so rows fall in calendar order whatever their year or time, and 29 February sorts with
// 1 March. A month outside 1-12 sorts after December.
std::int32_t DateSortKey(const ReminderRecord& record);

// The list's comparison: column 1 by text through `textOrder`; any other column by the calendar
// key.
int CompareRecords(const ReminderRecord& a, const ReminderRecord& b, int column,
                   const TextOrder& textOrder);

// Plain byte order of the texts with ASCII and windows-1251 Cyrillic letters folded to lower
// case: the order used where no locale is at hand (tools and tests), close to what the user
// interface gives for Latin and Cyrillic text.
class FoldedByteOrder final : public TextOrder {
public:
    int Compare(const ReminderRecord& a, const ReminderRecord& b) const override;
    std::vector<int> StableOrder(std::span<const ReminderRecord* const> records) override;
};

} // namespace tovrin
