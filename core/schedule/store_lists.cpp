#include "core/schedule/store_lists.h"

#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/today_list.h"

#include <algorithm>
#include <new>
#include <optional>

namespace tovrin {
namespace {

// Today's timed reminders a list has room for before it must grow: 7 MB of address space.
constexpr std::size_t kTodayRoom = 65536;

bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// Sorts each record into the lists asked for, straight from the file's bytes.
class ListsSink final : public RecordBlockSink {
public:
    ListsSink(StoreLists& lists, const SYSTEMTIME& now, std::uint32_t notifyDays, unsigned kinds)
        : lists_(lists), today_(TodayOf(now)), wantToday_((kinds & kTodayList) != 0) {
        if ((kinds & kDueList) != 0) {
            window_.emplace(today_, notifyDays);
        }
    }

    // Room for every record the file can hold, up to a bound: the list then never moves while it
    // fills, and room it leaves unfilled is never touched, so it costs address space only.
    // Copying the list into a smaller block would cost a start-up as much again as filling it.
    void Begin(std::size_t mostRecords) override {
        if (wantToday_) {
            lists_.today.reserve(std::min(mostRecords, kTodayRoom));
        }
    }

    void Records(std::span<const std::uint8_t> wholeRecords) override {
        for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize, ++index_) {
            const std::uint8_t* bytes = wholeRecords.data() + at;
            const RecordHead head = DecodeRecordHead(bytes);
            if (IsTimedMode(head.mode)) {
                if (wantToday_ && (head.mode == MODE_DAILY || SameDate(head.when, today_))) {
                    ReminderRecord record = Decode(bytes);
                    TakeForToday(record, today_);
                    // Fired marks are never stored: every build starts each reminder afresh.
                    record.state = 0;
                    lists_.today.push_back(record);
                }
            } else if (window_) {
                if (const std::uint32_t offset = window_->Raw(head.mode, head.when);
                    offset != DateWindow::kNotDue) {
                    ReminderRecord record = Decode(bytes);
                    record.state = static_cast<std::int32_t>(offset);
                    found_.push_back({record, index_});
                }
            }
        }
    }

    // The window walks the days in order and, within a day, the list in order: a stable sort by
    // offset gives the same rows.
    // False when there was not the memory for it.
    bool FinishDueList() {
        std::stable_sort(found_.begin(), found_.end(), [](const Due& a, const Due& b) {
            return a.record.state < b.record.state;
        });
        DueList& due = lists_.due;
        try {
            due.records.reserve(found_.size());
            due.storeIndex.reserve(found_.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const Due& d : found_) {
            due.records.push_back(d.record);
            due.storeIndex.push_back(d.index);
        }
        return true;
    }

private:
    struct Due {
        ReminderRecord record;
        std::uint32_t index;
    };

    static ReminderRecord Decode(const std::uint8_t* bytes) {
        return DecodeRecord(std::span<const std::uint8_t, kRecordSize>(bytes, kRecordSize));
    }

    StoreLists& lists_;
    SYSTEMTIME today_;
    bool wantToday_;
    std::optional<DateWindow> window_;
    std::vector<Due> found_;
    std::uint32_t index_ = 0;
};

} // namespace

StoreLists ReadStoreLists(const std::filesystem::path& storePath, IfMissing ifMissing,
                          const SYSTEMTIME& now, std::uint32_t notifyDays, unsigned kinds) {
    StoreLists lists;
    ListsSink sink(lists, now, notifyDays, kinds);
    lists.report = ScanStoreFile(storePath, ifMissing, sink);
    if (!lists.report.Refused() && !sink.FinishDueList()) {
        lists.report.outOfMemory = true;
    }
    // A store too large for any list, or one there was not the memory to list, lists nothing.
    if (lists.report.Refused()) {
        lists.today = {};
        lists.due.records = {};
        lists.due.storeIndex = {};
    }
    lists.due.report = lists.report;
    return lists;
}

bool StoreWasThere(const ReadReport& report) {
    return report.outcome == OpenOutcome::Opened ||
           (report.outcome == OpenOutcome::Missing && report.createdEmpty);
}

} // namespace tovrin
