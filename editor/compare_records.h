#pragma once

#include "store/reminder_record.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tovrin {

// The order of the message column: locale-aware and case-insensitive, which only the user
// interface's text library knows. Sorting many rows asks for keys once (Prepare) and then
// compares rows by position, so no text is collated twice.
class TextOrder {
public:
    virtual ~TextOrder() = default;
    // <0, 0 or >0 as a's text sorts before, with or after b's.
    virtual int Compare(const ReminderRecord& a, const ReminderRecord& b) const = 0;
    // Makes sort keys for these records, in this order.
    virtual void Prepare(std::span<const ReminderRecord* const> records) = 0;
    // Compares the records at positions i and j of the last Prepare.
    virtual int ComparePrepared(std::size_t i, std::size_t j) const = 0;
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
    void Prepare(std::span<const ReminderRecord* const> records) override;
    int ComparePrepared(std::size_t i, std::size_t j) const override;

private:
    std::span<const ReminderRecord* const> prepared_;
};

} // namespace tovrin
