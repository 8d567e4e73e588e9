#include "core/schedule/today_list.h"

#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"

namespace tovrin {
namespace {

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

} // namespace

bool TakeForToday(ReminderRecord& record, const SYSTEMTIME& today) {
    if (record.mode == MODE_DAILY) {
        record.when.wYear = today.wYear;
        record.when.wMonth = today.wMonth;
        record.when.wDay = today.wDay;
    }
    return IsTimedMode(record.mode) && SameDate(record.when, today);
}

std::vector<ReminderRecord> BuildTodayList(std::span<ReminderRecord* const> records,
                                           const SYSTEMTIME& now) {
    const SYSTEMTIME today = TodayOf(now);
    std::vector<ReminderRecord> list;
    for (ReminderRecord* record : records) {
        if (record != nullptr && TakeForToday(*record, today)) {
            list.push_back(*record);
        }
    }
    return list;
}

ReadReport BuildTodayList(const std::filesystem::path& storePath, const SYSTEMTIME& now,
                          std::vector<ReminderRecord>& list) {
    const SYSTEMTIME today = TodayOf(now);
    const std::size_t before = list.size();
    const ReadReport report =
        ForEachStoredRecord(storePath, IfMissing::LeaveAlone, [&](ReminderRecord& record) {
            if (TakeForToday(record, today)) {
                // Fired marks are never stored: every build starts each reminder afresh.
                record.state = 0;
                list.push_back(record);
            }
        });
    detail::DropIfRefused(report, list, before);
    return report;
}

bool FiresAt(const ReminderRecord& record, const SYSTEMTIME& now) {
    return record.state != FIRED_MARK && record.when.wMinute == now.wMinute &&
           record.when.wHour == now.wHour && SameDate(record.when, now);
}

bool CheckTimedDue(std::span<ReminderRecord> list, const SYSTEMTIME& now,
                   std::vector<ReminderRecord>& fired) {
    bool any = false;
    for (ReminderRecord& record : list) {
        if (FiresAt(record, now)) {
            record.state = FIRED_MARK;
            fired.push_back(record);
            any = true;
        }
    }
    return any;
}

ReadReport TodayTimedList::BuildFromStore(const std::filesystem::path& storePath,
                                          const SYSTEMTIME& now) {
    records_.clear();
    ReadReport report = BuildTodayList(storePath, now, records_);
    // A store that could not be opened leaves the day unmarked; the tick that asked sets
    // LastSeen to now anyway, so the next new day tries again.
    if (report.outcome == OpenOutcome::Opened) {
        lastSeen_ = TodayOf(now);
    }
    return report;
}

void TodayTimedList::BuildFromRecords(std::span<ReminderRecord* const> editorRecords,
                                      const SYSTEMTIME& now) {
    records_ = BuildTodayList(editorRecords, now);
    lastSeen_ = TodayOf(now);
}

TodayTimedList::TickResult TodayTimedList::Tick(const SYSTEMTIME& now,
                                                const std::filesystem::path& storePath) {
    TickResult result;
    // Rebuilding before matching lets a reminder at 00:00 fire on the first tick of its day.
    if (!SameDate(now, lastSeen_)) {
        BuildFromStore(storePath, now);
        result.rebuilt = true;
    }
    CheckTimedDue(records_, now, result.fired);
    lastSeen_ = now;
    return result;
}

} // namespace tovrin
