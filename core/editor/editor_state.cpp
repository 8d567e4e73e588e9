#include "core/editor/editor_state.h"

#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "res/resource.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace tovrin {
namespace {

// The calendar keys are small numbers, so a counting sort orders any number of rows in two
// passes, and keeps rows of equal keys in their order.
std::vector<int> DateOrder(std::span<const ReminderRecord* const> rows) {
    std::vector<std::int32_t> keys(rows.size());
    std::int32_t most = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        keys[i] = DateSortKey(*rows[i]);
        most = std::max(most, keys[i]);
    }
    std::vector<int> first(static_cast<std::size_t>(most) + 2, 0);
    for (const std::int32_t key : keys) {
        ++first[static_cast<std::size_t>(key) + 1];
    }
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<int> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        order[static_cast<std::size_t>(first[static_cast<std::size_t>(keys[i])]++)] =
            static_cast<int>(i);
    }
    return order;
}

} // namespace

ReadReport EditorState::Load(const std::filesystem::path& store, const SYSTEMTIME& now) {
    Clear();
    lock_ = StoreLock::Take(store);
    if (lock_.GetOutcome() == StoreLock::Outcome::HeldElsewhere) {
        opening_ = EditorOpening::HeldElsewhere;
        return {};
    }
    const SYSTEMTIME today = TodayOf(now);
    bool dropped = false;
    auto rule = [&](ReminderRecord& record) {
        if (EditorLoadRule(record, today)) {
            record.state = 0;
            return true;
        }
        dropped = true;
        return false;
    };
    ReadReport report = ReadStore(store, IfMissing::CreateEmpty, rule, loaded_);
    // A store that is missing or cut short holds nothing more than what was read; one that could
    // not be opened or read for another reason may well hold more.
    loadIncomplete_ = report.outcome == OpenOutcome::Failed || report.readFailed;
    loadError_ = loadIncomplete_ ? report.error : 0;
    storeStamp_ = report.stamp.exists ? report.stamp : StampOf(store);
    modified = dropped;
    try {
        if (!report.Refused()) {
            TakeLoaded();
        }
    } catch (const std::bad_alloc&) {
        report.outOfMemory = true;
    }
    if (report.Refused()) {
        // Nothing of it to show, and nothing that could ever be written over it.
        Clear();
        opening_ = EditorOpening::Refused;
    }
    return report;
}

void EditorState::LoadRecords(std::span<const ReminderRecord> stored, const SYSTEMTIME& now) {
    Clear();
    const SYSTEMTIME today = TodayOf(now);
    loaded_.reserve(stored.size());
    for (ReminderRecord record : stored) {
        if (EditorLoadRule(record, today)) {
            record.state = 0;
            loaded_.push_back(record);
        } else {
            modified = true;
        }
    }
    TakeLoaded();
}

void EditorState::TakeLoaded() {
    records_.reserve(loaded_.size());
    for (ReminderRecord& record : loaded_) {
        records_.push_back(&record);
    }
    rows_ = records_;
}

const ReminderRecord* EditorState::RowRecord(int row) const {
    if (row < 0 || row >= RowCount()) {
        return nullptr;
    }
    return rows_[static_cast<std::size_t>(row)];
}

std::vector<int> EditorState::SortRows(int column, TextOrder& textOrder) {
    std::vector<int> order;
    if (column == kTextColumn) {
        order = textOrder.StableOrder(rows_);
        if (order.size() != rows_.size()) {
            order.clear();
            return order;
        }
    } else {
        order = DateOrder(rows_);
    }
    std::vector<ReminderRecord*> sorted(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted[i] = rows_[static_cast<std::size_t>(order[i])];
    }
    rows_.swap(sorted);
    return order;
}

EditorAction EditorState::Command(int id, int selectedRow) {
    const bool rowChosen = ListShown() && RowRecord(selectedRow) != nullptr;
    switch (id) {
    case ID_PANE_ADD:
        editIndex = -1;
        pageCommand = ID_PANE_ADD;
        return EditorAction::OpenNewPage;
    case ID_PANE_MODIFY:
        if (!rowChosen) {
            return EditorAction::None;
        }
        editIndex = selectedRow;
        pageCommand = ID_PANE_MODIFY;
        return EditorAction::OpenEditPage;
    case ID_PANE_DELETE:
        return rowChosen ? EditorAction::Delete : EditorAction::None;
    case ID_PANE_SETTINGS:
        if (pageCommand == ID_PANE_SETTINGS) {
            return EditorAction::None;
        }
        pageCommand = ID_PANE_SETTINGS;
        return EditorAction::OpenSettings;
    case ID_PANE_HELP:
        return EditorAction::OpenHelp;
    case ID_PANE_ABOUT:
        if (pageCommand == ID_PANE_ABOUT) {
            return EditorAction::None;
        }
        pageCommand = ID_PANE_ABOUT;
        return EditorAction::OpenAbout;
    default:
        return EditorAction::None;
    }
}

StoredRecord EditorState::StoreRecord(const ReminderRecord& record) {
    StoredRecord stored;
    bool wasTimed = false;
    if (RowRecord(editIndex) != nullptr) {
        ReminderRecord* target = rows_[static_cast<std::size_t>(editIndex)];
        wasTimed = IsTimedMode(target->mode);
        *target = record;
        stored.row = editIndex;
    } else {
        // A new record, and also the safe home of a record whose row has gone: what the user
        // typed is never thrown away.
        added_.push_back(std::make_unique<ReminderRecord>(record));
        records_.push_back(added_.back().get());
        rows_.push_back(added_.back().get());
        stored.row = RowCount() - 1;
        stored.added = true;
    }
    // A timed record that became a dated one must leave today's list as surely as a new one
    // must join it.
    if (wasTimed || IsTimedMode(record.mode)) {
        timedChanged = true;
    }
    modified = true;
    return stored;
}

int EditorState::DeleteRow(int row) {
    const ReminderRecord* doomed = RowRecord(row);
    if (doomed == nullptr) {
        return -1;
    }
    // A deleted once or daily reminder must not fire later today from the main window's list.
    if (IsTimedMode(doomed->mode)) {
        timedChanged = true;
    }
    rows_.erase(rows_.begin() + row);
    records_.erase(std::find(records_.begin(), records_.end(), doomed));
    auto own = std::find_if(added_.begin(), added_.end(),
                            [&](const auto& record) { return record.get() == doomed; });
    if (own != added_.end()) {
        added_.erase(own);
    }
    // A record of the loaded block stays allocated until close; nothing refers to it any more.
    modified = true;
    return row < RowCount() ? row : -1;
}

SaveResult EditorState::Save(const std::filesystem::path& store) {
    if (!modified) {
        return SaveResult::Success(store.string());
    }
    SaveResult result = WriteStore(store, std::span<const ReminderRecord* const>(records_));
    if (result.FileReplaced()) {
        storeStamp_ = StampOf(store);
    }
    return result;
}

SaveResult EditorState::SaveCopy(const std::filesystem::path& file) const {
    return WriteStore(file, std::span<const ReminderRecord* const>(records_));
}

bool EditorState::StoreReplaced(const std::filesystem::path& store) const {
    const FileStamp now = StampOf(store);
    // With its folder gone as well there is no other version to keep, and no save can be made
    // there: the save says what is wrong.
    const std::filesystem::path folder = store.parent_path();
    if (!now.exists && !StampOf(folder.empty() ? std::filesystem::path(".") : folder).exists) {
        return false;
    }
    return now != storeStamp_;
}

void EditorState::Clear() {
    rows_.clear();
    records_.clear();
    added_.clear();
    loaded_.clear();
    loaded_.shrink_to_fit();
    loadIncomplete_ = false;
    loadError_ = 0;
    modified = false;
    timedChanged = false;
    opening_ = EditorOpening::Opened;
    lock_.Release();
    storeStamp_ = {};
}

} // namespace tovrin
