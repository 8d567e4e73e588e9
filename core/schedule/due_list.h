#pragma once

#include "core/store/reminder_record.h"
#include "core/store/store_file.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tovrin {

// What the current-messages window lists: copies of the dated reminders inside the advance-notice
// window, each with its day offset in `state` (offsets never exceed the calendar's 3.6 million
// days, so they fit), by ascending offset and in store order within a day.
struct DueList {
    std::vector<ReminderRecord> records;
    std::vector<std::uint32_t> storeIndex; // where each record lies in the store, from 0
    ReadReport report;
};

// Streams the store once, keeping only what is due. The window creates a missing store
// (IfMissing::CreateEmpty); tools that must not write pass IfMissing::LeaveAlone.
DueList BuildDueList(const std::filesystem::path& storePath, IfMissing ifMissing,
                     const SYSTEMTIME& today, std::uint32_t notifyDays);

} // namespace tovrin
