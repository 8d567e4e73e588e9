#include "schedule/due_list.h"

#include "schedule/due_rules.h"

#include <algorithm>

namespace tovrin {

DueList BuildDueList(const std::filesystem::path& storePath, IfMissing ifMissing,
                     const SYSTEMTIME& today, std::uint32_t notifyDays) {
    DueList due;
    due.report = ForEachStoredRecord(storePath, ifMissing, [&](const ReminderRecord& record) {
        if (const auto offset = DateWindowOffset(record, today, notifyDays)) {
            ReminderRecord& copy = due.records.emplace_back(record);
            copy.state = static_cast<std::int32_t>(*offset);
        }
    });
    // The window walks the days in order and, within a day, the list in order: a stable sort by
    // offset gives the same rows.
    std::stable_sort(
        due.records.begin(), due.records.end(),
        [](const ReminderRecord& a, const ReminderRecord& b) { return a.state < b.state; });
    return due;
}

} // namespace tovrin
