#pragma once

#include "core/schedule/due_rules.h"
#include "core/store/reminder_record.h"
#include "core/store/store_file.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
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

// The same list kept as places only, 8 bytes a row whatever the store holds, for a reader that
// writes out a long list: one scan finds the rows, and their records are read again from the
// store, held open, in the list's order as they are written.
class DuePlaces {
public:
    // Scans the store once; never creates it.
    DuePlaces(const std::filesystem::path& storePath, const SYSTEMTIME& today,
              std::uint32_t notifyDays);

    // How the scan went, and any failure to read a record again since.
    const ReadReport& Report() const { return store_.Report(); }
    std::size_t size() const { return places_.size(); }

    // Hands each row's place in the store and its record (state = its day offset) to `visit`,
    // in the list's order. False when a record could not be read again as the scan saw it (the
    // store changed in place meanwhile); the rows before it have been handed on.
    bool ForEach(const std::function<void(std::uint32_t, const ReminderRecord&)>& visit);

private:
    struct Place {
        std::uint32_t offset;
        std::uint32_t index;
    };

    OpenStore store_;
    DateWindow window_;
    // Grows block by block, so a long list never has to be copied to grow.
    std::deque<Place> places_;
};

} // namespace tovrin
