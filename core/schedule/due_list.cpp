#include "core/schedule/due_list.h"

#include "core/schedule/store_lists.h"

#include <algorithm>

namespace tovrin {

DueList BuildDueList(const std::filesystem::path& storePath, IfMissing ifMissing,
                     const SYSTEMTIME& today, std::uint32_t notifyDays) {
    return std::move(ReadStoreLists(storePath, ifMissing, today, notifyDays, kDueList).due);
}

DuePlaces::DuePlaces(const std::filesystem::path& storePath, const SYSTEMTIME& today,
                     std::uint32_t notifyDays)
    : window_(today, notifyDays) {
    class PlaceSink final : public RecordBlockSink {
    public:
        PlaceSink(const DateWindow& window, std::deque<Place>& places)
            : window_(window), places_(places) {}
        void Records(std::span<const std::uint8_t> wholeRecords) override {
            for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize, ++index_) {
                const RecordHead head = DecodeRecordHead(wholeRecords.data() + at);
                if (const std::uint32_t offset = window_.Raw(head.mode, head.when);
                    offset != DateWindow::kNotDue) {
                    places_.push_back({offset, index_});
                }
            }
        }

    private:
        const DateWindow& window_;
        std::deque<Place>& places_;
        std::uint32_t index_ = 0;
    };
    PlaceSink sink(window_, places_);
    // A store too large for any list, or one there was not the memory to list, lists nothing.
    if (store_.Scan(storePath, IfMissing::LeaveAlone, sink).Refused()) {
        places_.clear();
        return;
    }
    // By day, then in store order: each place is unique, so no sort can tell ties apart.
    std::sort(places_.begin(), places_.end(), [](const Place& a, const Place& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.index < b.index;
    });
}

bool DuePlaces::ForEach(const std::function<void(std::uint32_t, const ReminderRecord&)>& visit) {
    for (auto row = places_.begin(); row != places_.end(); ++row) {
        std::optional<ReminderRecord> record = store_.At(row->index);
        if (!record) {
            // One read for this row and the day's next ones that lie close behind it.
            auto last = row;
            while (std::next(last) != places_.end() && std::next(last)->offset == row->offset &&
                   std::next(last)->index - row->index < OpenStore::kRunRecords) {
                ++last;
            }
            if (!store_.ReadRun(row->index, last->index)) {
                return false;
            }
            record = store_.At(row->index);
        }
        // A record that no longer gives its day was changed since the scan.
        if (!record || window_.Offset(*record) != row->offset) {
            store_.MarkChanged();
            return false;
        }
        record->state = static_cast<std::int32_t>(row->offset);
        visit(row->index, *record);
    }
    return true;
}

} // namespace tovrin
