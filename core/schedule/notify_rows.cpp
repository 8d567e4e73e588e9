#include "core/schedule/notify_rows.h"

#include "core/lang/codepage.h"
#include "core/schedule/date_math.h"

#include <algorithm>

namespace tovrin {

std::string NotifyHeaderText(std::uint32_t offset, const SYSTEMTIME& today,
                             const NotifyPrefixes& prefixes, const NameTable& names) {
    const std::optional<SYSTEMTIME> day = AddDays(today, offset);
    if (!day) {
        return {};
    }
    const std::string& prefix =
        offset == 0 ? prefixes.today : (offset == 1 ? prefixes.tomorrow : prefixes.later);
    // Sunday is 1 in the language file, 0 in the date.
    std::string weekday = names.Weekday(day->wDayOfWeek + 1);
    if (offset <= 1) {
        CharLowerCp1251(weekday);
    }
    // Built piece by piece: no language text is ever used as a format.
    std::string text = prefix;
    text += weekday;
    text += ", ";
    text += std::to_string(day->wDay);
    text += ' ';
    text += names.Month(day->wMonth);
    text += ' ';
    text += std::to_string(day->wYear);
    return text;
}

std::vector<NotifyRow> BuildNotifyRows(std::span<const ReminderRecord> dueList,
                                       const SYSTEMTIME& today, std::uint32_t notifyDays,
                                       const NotifyPrefixes& prefixes, const NameTable& names) {
    // Walking the days one by one would take for ever with a huge advance notice read from a
    // hand-made settings file; grouping the list by its offsets gives the same rows.
    std::vector<const ReminderRecord*> order;
    order.reserve(dueList.size());
    for (const ReminderRecord& record : dueList) {
        const auto offset = static_cast<std::uint32_t>(record.state);
        if (record.state >= 0 && offset <= notifyDays) {
            order.push_back(&record);
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto* a, const auto* b) { return a->state < b->state; });

    std::vector<NotifyRow> rows;
    rows.reserve(order.size() * 2);
    bool first = true;
    std::int32_t day = 0;
    for (const ReminderRecord* record : order) {
        if (first || record->state != day) {
            first = false;
            day = record->state;
            rows.push_back(
                {NotifyHeaderText(static_cast<std::uint32_t>(day), today, prefixes, names), true});
        }
        rows.push_back({std::string(TextOf(*record)), false});
    }
    return rows;
}

} // namespace tovrin
