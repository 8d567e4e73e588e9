#include "core/editor/editor_state.h"

#include "core/schedule/due_rules.h"
#include "core/schedule/today_list.h"

#include "core/schedule/store_fixture.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "res/resource.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <chrono>

#include <filesystem>
#include <string>
#include <vector>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::PutStore;
using test::ReadBytes;
using test::Rec;
using test::TempBase;

const SYSTEMTIME kNow = At(2026, 12, 8, 14, 30, 0);

std::vector<std::string> RowTexts(const EditorState& state) {
    std::vector<std::string> texts;
    for (int row = 0; row < state.RowCount(); ++row) {
        texts.emplace_back(TextOf(*state.RowRecord(row)));
    }
    return texts;
}

std::vector<std::string> RecordTexts(const EditorState& state) {
    std::vector<std::string> texts;
    for (const ReminderRecord* record : state.records()) {
        texts.emplace_back(TextOf(*record));
    }
    return texts;
}

std::vector<std::string> StoredTexts() {
    std::vector<ReminderRecord> records;
    ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    return test::Texts(records);
}

using Texts = std::vector<std::string>;

TEST(EditorLoad, MissingStoreIsCreatedEmptyAndAnUnchangedCloseLeavesItEmpty) {
    TempBase base;
    EditorState state;
    state.Load(kStorePath, kNow);
    EXPECT_EQ(state.RowCount(), 0);
    EXPECT_FALSE(state.modified);
    ASSERT_TRUE(fs::exists(kStorePath));
    EXPECT_EQ(fs::file_size(kStorePath), 0u);

    EXPECT_TRUE(state.Save(kStorePath));
    EXPECT_EQ(fs::file_size(kStorePath), 0u);
}

TEST(EditorLoad, UnchangedCloseDoesNotTouchTheFile) {
    TempBase base;
    PutStore({Rec(MODE_YEARLY, At(1990, 5, 5), "birthday"), Rec(MODE_DAILY, At(2020, 1, 1, 8))});
    // An old time stamp, so any rewrite would show.
    const auto old = fs::last_write_time(kStorePath) - std::chrono::hours(24 * 365 * 10);
    fs::last_write_time(kStorePath, old);
    const auto bytes = ReadBytes(kStorePath);

    EditorState state;
    state.Load(kStorePath, kNow);
    FoldedByteOrder order;
    state.SortRows(kTextColumn, order);
    ASSERT_TRUE(state.Save(kStorePath));

    EXPECT_EQ(ReadBytes(kStorePath), bytes);
    EXPECT_EQ(fs::last_write_time(kStorePath), old);
}

TEST(EditorLoad, ExpiredRemindersAreDroppedAndTheStoreIsRewrittenWithoutThem) {
    TempBase base;
    PutStore({
        Rec(MODE_ONCE, At(2026, 12, 7, 23, 59), "once yesterday"),
        Rec(MODE_ONCE, At(2026, 12, 8, 0, 1), "once earlier today"),
        Rec(MODE_NONE, At(2026, 12, 7), "plain yesterday"),
        Rec(99, At(2025, 1, 1), "unknown mode last year"),
        Rec(MODE_YEARLY, At(2025, 3, 1), "yearly last year"),
        Rec(MODE_MONTHLY, At(2020, 3, 1), "monthly long ago"),
        Rec(MODE_DAILY, At(2001, 3, 1, 7), "daily long ago"),
    });
    EditorState state;
    state.Load(kStorePath, kNow);
    EXPECT_TRUE(state.modified);
    EXPECT_FALSE(state.timedChanged);
    const Texts kept{"once earlier today", "yearly last year", "monthly long ago",
                     "daily long ago"};
    EXPECT_EQ(RecordTexts(state), kept);

    ASSERT_TRUE(state.Save(kStorePath));
    EXPECT_EQ(StoredTexts(), kept);
}

TEST(EditorLoad, DatedRemindersGetTheirTimeCleanedTimedOnesAreLeftAlone) {
    TempBase base;
    PutStore({
        Rec(MODE_MONTHLY, At(2027, 1, 3, 23, 45, 10, 500)),
        Rec(MODE_YEARLY, At(2027, 1, 3, 24, 60, 60, 999)),
        Rec(MODE_YEARLY, At(2027, 1, 3, 23, 30)),
        Rec(MODE_DAILY, At(2027, 1, 3, 25, 61, 0, 7)),
    });
    EditorState state;
    state.Load(kStorePath, kNow);
    ASSERT_EQ(state.recordCount(), 4);
    EXPECT_EQ(state.records()[0]->when, At(2027, 1, 3, 23, 45, 10, 0));
    EXPECT_EQ(state.records()[1]->when, At(2027, 1, 3, 0, 0, 0, 0));
    EXPECT_EQ(state.records()[2]->when, At(2027, 1, 3, 23, 30));
    EXPECT_EQ(state.records()[3]->when, At(2027, 1, 3, 25, 61, 0, 7));
    // Cleaning is not a change: nothing forces a rewrite.
    EXPECT_FALSE(state.modified);
}

TEST(EditorLoad, AnUnreadableStoreIsMarkedIncompleteAMissingOrCutOneIsNot) {
    TempBase base;
    EditorState state;
    state.Load(kStorePath, kNow);
    EXPECT_FALSE(state.LoadIncomplete());

    test::WriteBytes(kStorePath, test::StoreBytes({Rec(MODE_YEARLY, At(2027, 1, 1), "a")}, 5));
    state.Load(kStorePath, kNow);
    EXPECT_EQ(state.RowCount(), 1);
    EXPECT_FALSE(state.LoadIncomplete());

    fs::remove(kStorePath);
    fs::create_directory(kStorePath);
    state.Load(kStorePath, kNow);
    EXPECT_EQ(state.RowCount(), 0);
    EXPECT_TRUE(state.LoadIncomplete());
}

// A fired mark (or anything else) left in a stored record's work field must not reach today's
// list when the editor hands its records over: the reminder would never fire.
TEST(EditorLoad, StoredWorkFieldIsClearedSoTheReminderStillFiresToday) {
    TempBase base;
    ReminderRecord marked = Rec(MODE_ONCE, At(2026, 12, 8, 15, 0), "marked once");
    marked.state = FIRED_MARK;
    ReminderRecord odd = Rec(MODE_DAILY, At(2001, 1, 1, 15, 0), "odd daily");
    odd.state = -7;
    PutStore({marked, odd, Rec(MODE_YEARLY, At(2026, 12, 9), "dated")});
    for (const bool fromFile : {true, false}) {
        SCOPED_TRACE(fromFile ? "from the file" : "from memory");
        EditorState state;
        if (fromFile) {
            state.Load(kStorePath, kNow);
        } else {
            state.LoadRecords(std::vector<ReminderRecord>{marked, odd}, kNow);
        }
        for (const ReminderRecord* record : state.records()) {
            EXPECT_EQ(record->state, 0) << TextOf(*record);
        }
        TodayTimedList today;
        today.BuildFromRecords(state.records(), kNow);
        const auto tick = today.Tick(At(2026, 12, 8, 15, 0, 1));
        EXPECT_EQ(test::Texts(tick.fired), (Texts{"marked once", "odd daily"}));
    }
}

class EditorRows : public ::testing::Test {
protected:
    void SetUp() override {
        state.LoadRecords(
            std::vector<ReminderRecord>{
                Rec(MODE_YEARLY, At(1990, 12, 31), "banana"),
                Rec(MODE_ONCE, At(2027, 3, 1, 9), "Apple"),
                Rec(MODE_YEARLY, At(2028, 2, 29), "cherry"),
                Rec(MODE_MONTHLY, At(2027, 1, 5), "apple pie"),
                Rec(MODE_YEARLY, At(1980, 13, 2), "Zebra month thirteen"),
            },
            kNow);
    }

    EditorState state;
    FoldedByteOrder order;
};

TEST_F(EditorRows, DateSortIsCalendarOrderWhateverTheYearAndNeverTouchesRecords) {
    const Texts storeOrder = RecordTexts(state);
    const std::vector<int> moved = state.SortRows(kDateColumn, order);
    // 29 February and 1 March share a key and keep their relative order; month 13 goes last.
    EXPECT_EQ(RowTexts(state),
              (Texts{"apple pie", "Apple", "cherry", "banana", "Zebra month thirteen"}));
    EXPECT_EQ(moved, (std::vector<int>{3, 1, 2, 0, 4}));
    EXPECT_EQ(RecordTexts(state), storeOrder);
    for (int row = 1; row < state.RowCount(); ++row) {
        EXPECT_LE(
            CompareRecords(*state.RowRecord(row - 1), *state.RowRecord(row), kDateColumn, order),
            0);
    }
}

// Whatever order a text order hands back, as long as it names every row once.
class FixedOrder final : public TextOrder {
public:
    std::vector<int> order;
    int Compare(const ReminderRecord&, const ReminderRecord&) const override { return 0; }
    std::vector<int> StableOrder(std::span<const ReminderRecord* const>) override { return order; }
};

// The rows are moved in place, cycle by cycle: every shape of permutation must land each row
// where the order says, and an order that is no permutation must leave the rows alone.
TEST_F(EditorRows, RowsGoWhereTheOrderSaysAndAnOrderThatIsNoneChangesNothing) {
    const Texts before = RowTexts(state);
    FixedOrder fixed;
    for (const std::vector<int>& order :
         {std::vector<int>{1, 2, 3, 4, 0}, std::vector<int>{1, 0, 3, 2, 4},
          std::vector<int>{4, 3, 2, 1, 0}, std::vector<int>{0, 1, 2, 3, 4}}) {
        const Texts was = RowTexts(state);
        fixed.order = order;
        EXPECT_EQ(state.SortRows(kTextColumn, fixed), order);
        for (std::size_t row = 0; row < order.size(); ++row) {
            EXPECT_EQ(RowTexts(state)[row], was[static_cast<std::size_t>(order[row])]);
        }
    }
    const Texts settled = RowTexts(state);
    for (const std::vector<int>& broken :
         {std::vector<int>{0, 0, 1, 2, 3}, std::vector<int>{0, 1, 2, 3},
          std::vector<int>{0, 1, 2, 3, 5}, std::vector<int>{-1, 1, 2, 3, 4}}) {
        fixed.order = broken;
        EXPECT_TRUE(state.SortRows(kTextColumn, fixed).empty());
        EXPECT_EQ(RowTexts(state), settled);
    }
    EXPECT_EQ(RecordTexts(state).size(), before.size());
}

TEST_F(EditorRows, TextSortIgnoresCaseAndASecondClickGivesTheSameOrder) {
    state.SortRows(kTextColumn, order);
    const Texts once = RowTexts(state);
    EXPECT_EQ(once, (Texts{"Apple", "apple pie", "banana", "cherry", "Zebra month thirteen"}));
    state.SortRows(kTextColumn, order);
    EXPECT_EQ(RowTexts(state), once);
}

TEST_F(EditorRows, NewRecordGoesToTheBottomOfASortedListAndToTheEndOfTheStore) {
    state.SortRows(kTextColumn, order);
    ASSERT_EQ(state.Command(ID_PANE_ADD, 2), EditorAction::OpenNewPage);
    EXPECT_EQ(state.editIndex, -1);
    const StoredRecord stored = state.StoreRecord(Rec(MODE_YEARLY, At(2027, 1, 1), "aardvark"));
    EXPECT_TRUE(stored.added);
    EXPECT_EQ(stored.row, 5);
    EXPECT_EQ(RowTexts(state).back(), "aardvark");
    EXPECT_EQ(RecordTexts(state).back(), "aardvark");
    EXPECT_TRUE(state.modified);
    EXPECT_FALSE(state.timedChanged);
}

TEST_F(EditorRows, ChangedRecordKeepsItsPlaceAndOnlyTimedModesMarkTimedChanged) {
    state.SortRows(kDateColumn, order); // rows: apple pie, Apple, cherry, banana, Zebra
    state.PageClosed();
    ASSERT_EQ(state.Command(ID_PANE_MODIFY, 3), EditorAction::OpenEditPage);
    EXPECT_EQ(state.editIndex, 3);
    const StoredRecord stored = state.StoreRecord(Rec(MODE_MONTHLY, At(1990, 12, 31), "plum"));
    EXPECT_FALSE(stored.added);
    EXPECT_EQ(stored.row, 3);
    EXPECT_EQ(RecordTexts(state),
              (Texts{"plum", "Apple", "cherry", "apple pie", "Zebra month thirteen"}));
    EXPECT_TRUE(state.modified);
    EXPECT_FALSE(state.timedChanged); // yearly became monthly

    state.PageClosed();
    state.Command(ID_PANE_MODIFY, 3);
    state.StoreRecord(Rec(MODE_DAILY, At(1990, 12, 31, 7), "plum"));
    EXPECT_TRUE(state.timedChanged);
    EXPECT_EQ(state.recordCount(), 5);
}

// Today's timed list is rebuilt from the editor only when timedChanged says so: a once or daily
// reminder that leaves (deleted, or made a dated one) must set it as surely as one that arrives.
TEST_F(EditorRows, ATimedRecordLeavingMarksTimedChanged) {
    state.SortRows(kTextColumn, order); // Apple (once), apple pie, banana, cherry, Zebra
    state.PageClosed();
    state.Command(ID_PANE_MODIFY, 0);
    state.StoreRecord(Rec(MODE_YEARLY, At(2027, 3, 1), "Apple"));
    EXPECT_TRUE(state.timedChanged); // once became yearly

    EditorState daily;
    daily.LoadRecords(std::vector<ReminderRecord>{Rec(MODE_DAILY, At(2001, 1, 1, 15), "daily"),
                                                  Rec(MODE_YEARLY, At(2001, 1, 1), "yearly")},
                      kNow);
    EXPECT_EQ(daily.DeleteRow(1), -1);
    EXPECT_FALSE(daily.timedChanged); // a dated record leaving changes nothing today
    EXPECT_EQ(daily.DeleteRow(0), -1);
    EXPECT_TRUE(daily.timedChanged);
}

TEST_F(EditorRows, DeletingSelectsTheFollowingRowOrNoneAfterTheLast) {
    state.SortRows(kTextColumn, order); // Apple, apple pie, banana, cherry, Zebra
    EXPECT_EQ(state.DeleteRow(1), 1);
    EXPECT_EQ(RowTexts(state), (Texts{"Apple", "banana", "cherry", "Zebra month thirteen"}));
    EXPECT_EQ(state.DeleteRow(3), -1);
    EXPECT_EQ(RecordTexts(state), (Texts{"banana", "Apple", "cherry"}));
    EXPECT_EQ(state.recordCount(), 3);
    EXPECT_TRUE(state.modified);
    EXPECT_FALSE(state.timedChanged);
    EXPECT_EQ(state.DeleteRow(3), -1);
    EXPECT_EQ(state.DeleteRow(-1), -1);
    EXPECT_EQ(state.recordCount(), 3);
}

TEST_F(EditorRows, AddedRecordsCanBeChangedAndDeletedLikeLoadedOnes) {
    state.Command(ID_PANE_ADD, -1);
    state.StoreRecord(Rec(MODE_ONCE, At(2027, 1, 1, 9), "new one"));
    state.PageClosed();
    state.Command(ID_PANE_MODIFY, 5);
    state.StoreRecord(Rec(MODE_ONCE, At(2027, 1, 1, 10), "new one, later"));
    EXPECT_EQ(RecordTexts(state).back(), "new one, later");
    state.PageClosed();
    EXPECT_EQ(state.DeleteRow(5), -1);
    EXPECT_EQ(state.recordCount(), 5);
    EXPECT_EQ(RecordTexts(state).back(), "Zebra month thirteen");
}

TEST_F(EditorRows, PageRulesDecideWhichCommandsApply) {
    // List shown: modify and delete need a row.
    EXPECT_EQ(state.Command(ID_PANE_MODIFY, -1), EditorAction::None);
    EXPECT_EQ(state.Command(ID_PANE_DELETE, 7), EditorAction::None);
    EXPECT_EQ(state.Command(ID_PANE_DELETE, 0), EditorAction::Delete);
    EXPECT_EQ(state.pageCommand, -1);

    EXPECT_EQ(state.Command(ID_PANE_SETTINGS, 0), EditorAction::OpenSettings);
    EXPECT_EQ(state.Command(ID_PANE_SETTINGS, 0), EditorAction::None);
    // While a page is shown the list's commands do nothing...
    EXPECT_EQ(state.Command(ID_PANE_MODIFY, 0), EditorAction::None);
    EXPECT_EQ(state.Command(ID_PANE_DELETE, 0), EditorAction::None);
    // ...help leaves the page alone, about and add replace it.
    EXPECT_EQ(state.Command(ID_PANE_HELP, 0), EditorAction::OpenHelp);
    EXPECT_EQ(state.pageCommand, ID_PANE_SETTINGS);
    EXPECT_EQ(state.Command(ID_PANE_ABOUT, 0), EditorAction::OpenAbout);
    EXPECT_EQ(state.Command(ID_PANE_ABOUT, 0), EditorAction::None);
    EXPECT_EQ(state.Command(ID_PANE_SETTINGS, 0), EditorAction::OpenSettings);
    EXPECT_EQ(state.Command(ID_PANE_ADD, 0), EditorAction::OpenNewPage);
    EXPECT_EQ(state.Command(ID_PANE_ADD, 0), EditorAction::OpenNewPage);
    EXPECT_EQ(state.pageCommand, ID_PANE_ADD);

    state.PageClosed();
    EXPECT_TRUE(state.ListShown());
    EXPECT_EQ(state.Command(ID_PANE_MODIFY, 4), EditorAction::OpenEditPage);
    EXPECT_EQ(state.Command(0x9999, 0), EditorAction::None);
}

TEST(EditorSave, WritesTheStoreOrderNotTheRowOrder) {
    TempBase base;
    PutStore({Rec(MODE_YEARLY, At(2027, 9, 1), "september"),
              Rec(MODE_YEARLY, At(2027, 1, 1), "january")});
    EditorState state;
    state.Load(kStorePath, kNow);
    FoldedByteOrder order;
    state.SortRows(kDateColumn, order);
    state.Command(ID_PANE_ADD, -1);
    state.StoreRecord(Rec(MODE_DAILY, At(2027, 5, 1, 6), "daily"));
    ASSERT_TRUE(state.Save(kStorePath));
    EXPECT_EQ(StoredTexts(), (Texts{"september", "january", "daily"}));
    EXPECT_EQ(fs::file_size(kStorePath), 4u + 3u * 108u);
}

TEST(EditorSave, AFailedSaveKeepsTheRecordsAndTheOldFile) {
    TempBase base;
    PutStore({Rec(MODE_YEARLY, At(2027, 9, 1), "old")});
    const auto bytes = ReadBytes(kStorePath);
    EditorState state;
    state.Load(kStorePath, kNow);
    state.StoreRecord(Rec(MODE_YEARLY, At(2027, 9, 2), "new"));
    // With its folder gone the store cannot be written at all.
    fs::rename("Base", "Base.away");
    const SaveResult failed = state.Save(kStorePath);
    EXPECT_FALSE(failed);
    EXPECT_EQ(state.recordCount(), 2);
    fs::rename("Base.away", "Base");
    EXPECT_EQ(ReadBytes(kStorePath), bytes);
    ASSERT_TRUE(state.Save(kStorePath));
    EXPECT_EQ(StoredTexts(), (Texts{"old", "new"}));
}

} // namespace
} // namespace tovrin
