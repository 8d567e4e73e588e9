#include "core/schedule/notify_rows.h"

#include "core/lang/codepage.h"
#include "core/schedule/date_math.h"

#include <algorithm>
#include <utility>

namespace tovrin {

NotifyPrefixes::NotifyPrefixes(std::string today, std::string tomorrow, std::string later)
    : fixed_{std::move(today), std::move(tomorrow), std::move(later)} {}

NotifyPrefixes::NotifyPrefixes(LazyLangSection notifyTexts) : texts_(std::move(notifyTexts)) {}

const std::string& NotifyPrefixes::ForOffset(std::uint32_t offset) const {
    const std::size_t which = offset < 2 ? offset : 2;
    // Keys 3, 4 and 5 of section Notify.
    return texts_ ? texts_->Text(3 + static_cast<long>(which)) : fixed_[which];
}

std::string NotifyHeaderText(std::uint32_t offset, const SYSTEMTIME& today,
                             const NotifyPrefixes& prefixes, const NameTable& names) {
    const std::optional<SYSTEMTIME> day = AddDays(today, offset);
    if (!day) {
        return {};
    }
    const std::string& prefix = prefixes.ForOffset(offset);
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
