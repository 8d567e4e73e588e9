#pragma once

#include "core/store/paths.h"
#include "core/store/reminder_record.h"
#include "core/store/store_file.h"
#include "core/store/systemtime.h"

#include <filesystem>
#include <span>
#include <vector>

namespace tovrin {

// The build rule for one record: a daily reminder first takes today's date (its time of day
// stays), then the record belongs to today's list when it is timed and dated today.
bool TakeForToday(ReminderRecord& record, const SYSTEMTIME& today);

// Today's timed list from the editor's records, in their order, for when the editor closes. Every
// daily record examined gets today's date in the editor's own record, so the store the editor
// writes right after carries it. Copies keep their state.
std::vector<ReminderRecord> BuildTodayList(std::span<ReminderRecord* const> records,
                                           const SYSTEMTIME& now);

// Today's timed list from the store, appended to `list`; the store is streamed and never created,
// and copies get state 0. The report says whether the store could be opened.
ReadReport BuildTodayList(const std::filesystem::path& storePath, const SYSTEMTIME& now,
                          std::vector<ReminderRecord>& list);

// A record of today's list fires at `now` when it has not fired yet and its date, hour and minute
// are now's; seconds do not matter, so any tick inside the minute will do.
bool FiresAt(const ReminderRecord& record, const SYSTEMTIME& now);

// Marks each record of the list that fires at `now` with FIRED_MARK and appends a copy of it to
// `fired`, in list order. Returns whether any fired.
bool CheckTimedDue(std::span<ReminderRecord> list, const SYSTEMTIME& now,
                   std::vector<ReminderRecord>& fired);

// Today's once and daily reminders and their firing, held by the main window, which only shows
// what this says fired.
class TodayTimedList {
public:
    struct TickResult {
        // In list order: the journal takes each at its top, so the last one ends uppermost.
        std::vector<ReminderRecord> fired;
        bool rebuilt = false; // a new day began and the list was read again from the store

        bool AnyFired() const { return !fired.empty(); }
    };

    // At start-up and on a new day. LastSeen becomes today only when the store could be opened.
    ReadReport BuildFromStore(const std::filesystem::path& storePath, const SYSTEMTIME& now);
    // The same from a list a read of the store has already gathered (ReadStoreLists), with that
    // read's report.
    void TakeFromStore(std::vector<ReminderRecord> records, const ReadReport& report,
                       const SYSTEMTIME& now);

    // When the editor closes after a timed reminder changed: its records are the source, daily
    // dates are rewritten in them, and LastSeen becomes today. A reminder that already fired in
    // this minute stays fired (one alike in mode, text and minute for each that fired); one added
    // or moved into the minute still fires.
    void BuildFromRecords(std::span<ReminderRecord* const> editorRecords, const SYSTEMTIME& now);

    // One timer tick: rebuilds from the store on the first tick of a new date, then fires what
    // is due at `now`. LastSeen is `now` afterwards.
    TickResult Tick(const SYSTEMTIME& now, const std::filesystem::path& storePath = kStorePath);

    const std::vector<ReminderRecord>& Records() const { return records_; }
    const SYSTEMTIME& LastSeen() const { return lastSeen_; }
    void Clear() { records_.clear(); }

private:
    void MarkBuilt(const ReadReport& report, const SYSTEMTIME& now);

    std::vector<ReminderRecord> records_;
    SYSTEMTIME lastSeen_{};
};

} // namespace tovrin
