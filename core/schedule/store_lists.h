#pragma once

#include "core/schedule/due_list.h"
#include "core/store/reminder_record.h"
#include "core/store/store_file.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tovrin {

// What one read of the store gathers, as asked.
enum StoreListKinds : unsigned {
    kDueList = 1,   // the current messages' due list, by the advance notice
    kTodayList = 2, // today's timed list, copies with state 0
};

struct StoreLists {
    DueList due; // its report is the read's too
    std::vector<ReminderRecord> today;
    ReadReport report;
};

// Reads the store once for the lists `kinds` names. Each record is judged from its mode and date
// before its text is copied, and the date rule costs the same for every record whatever the
// advance notice, so a large store costs one pass over its bytes. `now` gives today's date; the
// due list is judged against today's midnight.
StoreLists ReadStoreLists(const std::filesystem::path& storePath, IfMissing ifMissing,
                          const SYSTEMTIME& now, std::uint32_t notifyDays, unsigned kinds);

// The store could be read, or was missing and has just been made empty: either way a list built
// from it is today's, and a new build need not wait for the next day.
bool StoreWasThere(const ReadReport& report);

} // namespace tovrin
