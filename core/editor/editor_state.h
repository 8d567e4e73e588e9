#pragma once

#include "core/editor/compare_records.h"
#include "core/store/reminder_record.h"
#include "core/store/save_result.h"
#include "core/store/store_file.h"
#include "core/store/store_lock.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace tovrin {

// What a pane command asks the editor window to do, once the state has said yes to it.
enum class EditorAction {
    None,        // the command does not apply now
    OpenNewPage, // a fresh record edit page (replacing any page)
    OpenEditPage,
    Delete, // delete the selected row (after the confirmation, if the settings want one)
    OpenSettings,
    OpenAbout,
    OpenHelp,
};

// Whether the editor may edit what it tried to load.
enum class EditorOpening {
    Opened,        // the records are there to edit
    HeldElsewhere, // another editor has this store open: nothing was read
    Refused,       // the store is damaged beyond reading (ReadReport::Refused): nothing was kept
};

// Where a record handed back by the edit page went.
struct StoredRecord {
    int row = -1;
    bool added = false; // appended as a new record and row
};

// Everything the editor window holds, without the window: the records in store order, the rows
// the list shows them in, the flags that decide what closing does, and which page is shown.
//
// `records` is the store's order: load order, deletions removed, additions appended; it is what
// gets written. The rows are the same records in the order the user sorted them to; sorting
// permutes rows and never `records`.
class EditorState {
public:
    EditorState() = default;
    EditorState(const EditorState&) = delete;
    EditorState& operator=(const EditorState&) = delete;

    // Takes the store's lock, then reads the store with the editor's rule (time clean-up, then
    // expiry against `now`'s date); a missing store is created empty. Any dropped record sets
    // `modified`. Every kept record's `state` is 0: the stored value means nothing, and a fired
    // mark there would silence a reminder once today's list is rebuilt from these records. Rows
    // follow `records` until sorted. Replaces whatever was held. Opening() says whether the
    // records may be edited; the lock is held until Clear().
    ReadReport Load(const std::filesystem::path& store, const SYSTEMTIME& now);
    EditorOpening Opening() const { return opening_; }
    // The same from records already in memory (in file order), for tools and tests.
    void LoadRecords(std::span<const ReminderRecord> stored, const SYSTEMTIME& now);

    // The store could not be read completely for a reason other than a missing or cut file, so
    // writing it would replace records the editor never saw.
    bool LoadIncomplete() const { return loadIncomplete_; }
    // The system's reason (errno) when the store could not be read completely; 0 otherwise.
    int LoadError() const { return loadError_; }

    std::span<ReminderRecord* const> records() const { return records_; }
    std::int32_t recordCount() const { return static_cast<std::int32_t>(records_.size()); }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // nullptr for a row out of range.
    const ReminderRecord* RowRecord(int row) const;

    // Sorts the rows ascending by `column` (0 the calendar key, 1 the text through textOrder),
    // stably. Returns, for each new row, the row it came from, so a selection can follow.
    std::vector<int> SortRows(int column, TextOrder& textOrder);

    // Pane commands. selectedRow is the list's selection (-1 none). Changes pageCommand and
    // editIndex as the command demands and says what the window must do.
    EditorAction Command(int id, int selectedRow);
    // A page closed itself: the list is shown again.
    void PageClosed() { pageCommand = -1; }
    bool ListShown() const { return pageCommand == -1; }

    // The edit page's record: a new one is appended to records and rows, a changed one replaces
    // the record of row editIndex in place. Sets modified, and timedChanged when the record is once
    // or daily, or was before the change.
    StoredRecord StoreRecord(const ReminderRecord& record);
    // Removes the row and destroys its record; a once or daily record sets timedChanged. Returns
    // the row to select afterwards (the one that took the deleted row's place), or -1. Out of
    // range: nothing happens, -1.
    int DeleteRow(int row);

    // Writes records to the store when modified; an unchanged editor leaves the file untouched.
    // The file written is from then on the one the editor holds.
    SaveResult Save(const std::filesystem::path& store);
    // Writes records to another file, leaving the store and `modified` as they are.
    SaveResult SaveCopy(const std::filesystem::path& file) const;
    // The store is no longer the file the editor read (or last wrote): someone replaced, changed
    // or deleted it meanwhile, and writing now would throw their version away.
    bool StoreReplaced(const std::filesystem::path& store) const;
    // The store now holds the records (saved while the editor stays open): until the next change,
    // closing need not write it again. timedChanged stays, for the close.
    void MarkSaved() { modified = false; }
    // Destroys every record.
    void Clear();

    bool modified = false;
    bool timedChanged = false;
    std::int32_t editIndex = -1;
    std::int32_t pageCommand = -1;

private:
    void TakeLoaded();

    // Records read at open live in one block that never grows afterwards, so 100,000 of them
    // cost one allocation; records added later are allocated one by one.
    std::vector<ReminderRecord> loaded_;
    std::vector<std::unique_ptr<ReminderRecord>> added_;
    std::vector<ReminderRecord*> records_;
    std::vector<ReminderRecord*> rows_;
    bool loadIncomplete_ = false;
    int loadError_ = 0;
    EditorOpening opening_ = EditorOpening::Opened;
    StoreLock lock_;
    FileStamp storeStamp_;
};

} // namespace tovrin
