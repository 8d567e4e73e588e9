#pragma once

#include "core/lang/lazy_lang_section.h"
#include "core/lang/names.h"
#include "core/store/reminder_record.h"
#include "core/store/systemtime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovrin {

// One row of the current-messages window: a day's header, or a reminder's text under it. Texts
// are windows-1251, as the language file and the store hold them.
struct NotifyRow {
    std::string text;
    bool header = false;

    friend bool operator==(const NotifyRow&, const NotifyRow&) = default;
};

// The three header beginnings: for today, for tomorrow, and for every later day. Either fixed,
// or Notify keys 3, 4 and 5, each looked up when a header first needs it, so a file that lacks
// the later-day prefix troubles nobody whose reminders are all for today.
class NotifyPrefixes {
public:
    NotifyPrefixes() = default;
    NotifyPrefixes(std::string today, std::string tomorrow, std::string later);
    explicit NotifyPrefixes(LazyLangSection notifyTexts);

    [[nodiscard]] const std::string& ForOffset(std::uint32_t offset) const;

private:
    std::array<std::string, 3> fixed_;
    std::optional<LazyLangSection> texts_;
};

// "<prefix><weekday>, <day> <month> <year>" for the day `offset` days after `today`. The weekday
// is lower-cased for today and tomorrow only, where it follows a word like "Today, ". Empty when
// that day lies beyond the calendar.
std::string NotifyHeaderText(std::uint32_t offset, const SYSTEMTIME& today,
                             const NotifyPrefixes& prefixes, const NameTable& names);

// The window's rows from its due list (each record's `state` its day offset): each day that has
// reminders gets its header followed by its reminders, days in ascending order and reminders in
// due-list order within a day. Days without reminders get nothing. Offsets above notifyDays are
// never shown. The due list's order between days does not matter, and the work does not grow with
// notifyDays.
std::vector<NotifyRow> BuildNotifyRows(std::span<const ReminderRecord> dueList,
                                       const SYSTEMTIME& today, std::uint32_t notifyDays,
                                       const NotifyPrefixes& prefixes, const NameTable& names);

} // namespace tovrin
