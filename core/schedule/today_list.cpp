#include "core/schedule/today_list.h"

#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/store_lists.h"

#include <algorithm>

namespace tovrin {
namespace {

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wMinute == b.wMinute && a.wHour == b.wHour && SameDate(a, b);
}

// What tells a reminder of today's list that has fired from one that has not: its mode, text and
// minute. Two alike count as two.
bool Alike(const ReminderRecord& a, const ReminderRecord& b) {
    return a.mode == b.mode && SameMinute(a.when, b.when) && TextOf(a) == TextOf(b);
}

// The new list's records that would fire at `now` take the fired mark of one alike that already
// fired in this minute, each fired one given once: the journal has shown them. Whatever is left,
// added or moved into this minute, still fires.
void KeepFiredMarks(std::vector<ReminderRecord>& list, std::vector<ReminderRecord> firedNow,
                    const SYSTEMTIME& now) {
    for (ReminderRecord& record : list) {
        if (firedNow.empty()) {
            return;
        }
        if (!FiresAt(record, now)) {
            continue;
        }
        const auto same = std::find_if(firedNow.begin(), firedNow.end(),
                                       [&](const ReminderRecord& f) { return Alike(f, record); });
        if (same != firedNow.end()) {
            record.state = FIRED_MARK;
            firedNow.erase(same);
        }
    }
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
    StoreLists lists = ReadStoreLists(storePath, IfMissing::LeaveAlone, now, 0, kTodayList);
    list.insert(list.end(), lists.today.begin(), lists.today.end());
    return lists.report;
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
    MarkBuilt(report, now);
    return report;
}

void TodayTimedList::TakeFromStore(std::vector<ReminderRecord> records, const ReadReport& report,
                                   const SYSTEMTIME& now) {
    records_ = std::move(records);
    MarkBuilt(report, now);
}

void TodayTimedList::MarkBuilt(const ReadReport& report, const SYSTEMTIME& now) {
    // A store that could not be opened leaves the day unmarked; the tick that asked sets
    // LastSeen to now anyway, so the next new day tries again.
    if (StoreWasThere(report)) {
        lastSeen_ = TodayOf(now);
    }
}

void TodayTimedList::BuildFromRecords(std::span<ReminderRecord* const> editorRecords,
                                      const SYSTEMTIME& now) {
    // The editor's copies carry no fired mark; without the old list's, whatever fired in this
    // minute would fire a second time.
    std::vector<ReminderRecord> firedNow;
    for (const ReminderRecord& record : records_) {
        if (record.state == FIRED_MARK && SameMinute(record.when, now)) {
            firedNow.push_back(record);
        }
    }
    records_ = BuildTodayList(editorRecords, now);
    KeepFiredMarks(records_, std::move(firedNow), now);
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
