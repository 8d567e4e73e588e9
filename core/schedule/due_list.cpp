#include "core/schedule/due_list.h"

#include "core/schedule/due_rules.h"

#include <algorithm>
#include <new>

namespace tovrin {

DueList BuildDueList(const std::filesystem::path& storePath, IfMissing ifMissing,
                     const SYSTEMTIME& today, std::uint32_t notifyDays) {
    struct Due {
        ReminderRecord record;
        std::uint32_t index;
    };
    std::vector<Due> found;
    std::uint32_t index = 0;
    DueList due;
    due.report = ForEachStoredRecord(storePath, ifMissing, [&](const ReminderRecord& record) {
        if (const auto offset = DateWindowOffset(record, today, notifyDays)) {
            Due& copy = found.emplace_back(Due{record, index});
            copy.record.state = static_cast<std::int32_t>(*offset);
        }
        ++index;
    });
    if (due.report.Refused()) {
        return due;
    }
    // The window walks the days in order and, within a day, the list in order: a stable sort by
    // offset gives the same rows.
    std::stable_sort(found.begin(), found.end(),
                     [](const Due& a, const Due& b) { return a.record.state < b.record.state; });
    try {
        due.records.reserve(found.size());
        due.storeIndex.reserve(found.size());
    } catch (const std::bad_alloc&) {
        due.report.outOfMemory = true;
        return due;
    }
    for (const Due& d : found) {
        due.records.push_back(d.record);
        due.storeIndex.push_back(d.index);
    }
    return due;
}

} // namespace tovrin
