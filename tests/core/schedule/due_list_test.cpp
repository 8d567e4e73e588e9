#include "core/schedule/due_list.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/store_lists.h"
#include "core/schedule/today_list.h"
#include "store_fixture.h"

#include <cstdio>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;
using test::Texts;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<std::int32_t> Offsets(const std::vector<ReminderRecord>& records) {
    std::vector<std::int32_t> offsets;
    for (const ReminderRecord& record : records) {
        offsets.push_back(record.state);
    }
    return offsets;
}

TEST(DueList, ListsDatedRemindersByDayThenStoreOrder) {
    test::TempBase base;
    PutStore({Rec(MODE_MONTHLY, At(2000, 1, 12), "monthly +2"),
              Rec(MODE_YEARLY, At(1980, 5, 10), "birthday today"),
              Rec(MODE_NONE, At(2026, 5, 12, 23, 59, 59), "plain +2"),
              Rec(MODE_ONCE, At(2026, 5, 10, 12), "once today"),
              Rec(MODE_NONE, At(2026, 5, 9, 23, 59), "plain yesterday"),
              Rec(MODE_MONTHLY, At(2000, 1, 10), "monthly today"),
              Rec(MODE_YEARLY, At(1980, 5, 14), "yearly +4, past the window")});

    const DueList due = BuildDueList(kStorePath, IfMissing::CreateEmpty, At(2026, 5, 10), 3);

    EXPECT_THAT(Texts(due.records),
                ElementsAre("birthday today", "monthly today", "monthly +2", "plain +2"));
    EXPECT_THAT(Offsets(due.records), ElementsAre(0, 0, 2, 2));
    EXPECT_THAT(due.storeIndex, ElementsAre(1u, 5u, 0u, 2u));
    EXPECT_TRUE(due.report.Sound());
    EXPECT_EQ(due.report.recordsRead, 7u);
}

TEST(DueList, AMissingStoreIsCreatedEmptyOnlyWhenAsked) {
    test::TempBase base;
    const DueList untouched = BuildDueList(kStorePath, IfMissing::LeaveAlone, At(2026, 5, 10), 3);
    EXPECT_THAT(untouched.records, IsEmpty());
    EXPECT_EQ(untouched.report.outcome, OpenOutcome::Missing);
    EXPECT_FALSE(std::filesystem::exists(kStorePath));

    const DueList created = BuildDueList(kStorePath, IfMissing::CreateEmpty, At(2026, 5, 10), 3);
    EXPECT_THAT(created.records, IsEmpty());
    EXPECT_TRUE(created.report.createdEmpty);
    EXPECT_EQ(std::filesystem::file_size(kStorePath), 0u);
}

TEST(DueList, ACutStoreListsTheWholeRecordsItHolds) {
    test::TempBase base;
    std::vector<std::uint8_t> bytes = test::StoreBytes(
        {Rec(MODE_MONTHLY, At(2000, 1, 10), "whole"), Rec(MODE_MONTHLY, At(2000, 1, 10), "cut")},
        5);
    bytes.resize(bytes.size() - 50);
    test::WriteBytes(kStorePath, bytes);

    const DueList due = BuildDueList(kStorePath, IfMissing::CreateEmpty, At(2026, 5, 10), 0);

    EXPECT_THAT(Texts(due.records), ElementsAre("whole"));
    EXPECT_TRUE(due.report.lastRecordCutShort);
    EXPECT_EQ(due.report.MissingRecords(), 4u);
}

// A long list written out from places must be the due list itself: the same rows, records and
// offsets, in the same order, over days whose records lie near together and far apart.
TEST(DuePlaces, GiveTheDueListsRowsInItsOrder) {
    test::TempBase base;
    std::vector<ReminderRecord> records;
    for (int i = 0; i < 3000; ++i) {
        const int day = i % 7 == 0 ? 12 : 10 + (i * 7919) % 9;
        records.push_back(Rec(i % 2 == 0 ? MODE_MONTHLY : MODE_NONE, At(2026, 5, day, 9),
                              "reminder " + std::to_string(i)));
    }
    PutStore(records);
    const DueList due = BuildDueList(kStorePath, IfMissing::LeaveAlone, At(2026, 5, 10), 6);

    DuePlaces places(kStorePath, At(2026, 5, 10), 6);
    std::vector<std::uint32_t> indexes;
    std::vector<ReminderRecord> listed;
    EXPECT_TRUE(places.ForEach([&](std::uint32_t index, const ReminderRecord& record) {
        indexes.push_back(index);
        listed.push_back(record);
    }));
    EXPECT_EQ(places.size(), due.records.size());
    EXPECT_EQ(indexes, due.storeIndex);
    EXPECT_EQ(Texts(listed), Texts(due.records));
    EXPECT_EQ(Offsets(listed), Offsets(due.records));
    EXPECT_TRUE(places.Report().Sound());
}

// The store is read twice; a file changed in place between the two (never by Tovrin, whose saves
// replace it) stops the list where it parts from what the scan saw, and says so.
TEST(DuePlaces, AStoreChangedInPlaceStopsTheList) {
    test::TempBase base;
    std::vector<ReminderRecord> records;
    for (int i = 0; i < 400; ++i) {
        records.push_back(Rec(MODE_NONE, At(2026, 5, 10 + i / 200), "r" + std::to_string(i)));
    }
    const std::vector<std::uint8_t> bytes = test::StoreBytes(records, 400);
    for (const bool cut : {false, true}) {
        test::WriteBytes(kStorePath, bytes);
        DuePlaces places(kStorePath, At(2026, 5, 10), 3);
        std::vector<std::uint8_t> changed = bytes;
        if (cut) {
            changed.resize(4 + 300 * kRecordSize);
        } else {
            changed[4 + 250 * kRecordSize + 14] = 20; // record 250 moves to the 20th
        }
        {
            std::FILE* file = std::fopen(kStorePath, "r+b");
            ASSERT_NE(file, nullptr);
            std::fwrite(changed.data(), 1, changed.size(), file);
            std::fclose(file);
        }
        if (cut) {
            std::filesystem::resize_file(kStorePath, changed.size());
        }
        std::vector<std::uint32_t> indexes;
        EXPECT_FALSE(places.ForEach(
            [&](std::uint32_t index, const ReminderRecord&) { indexes.push_back(index); }));
        // The first day was read whole; the second stops at the change.
        ASSERT_GE(indexes.size(), 200u) << cut;
        EXPECT_LT(indexes.size(), 400u) << cut;
        EXPECT_TRUE(places.Report().readFailed) << cut;
    }
}

// Start-up reads the store once for both of its lists: each must be what its own read gives, the
// texts of the records it keeps included, over more records than one read block holds.
TEST(StoreLists, OneReadGivesWhatTheTwoReadsGaveApart) {
    test::TempBase base;
    const std::int32_t modes[] = {MODE_NONE, MODE_DAILY, MODE_YEARLY, MODE_MONTHLY, MODE_ONCE, 77};
    std::vector<ReminderRecord> records;
    for (int i = 0; i < 5000; ++i) {
        const SYSTEMTIME when = At(2026, 5, 8 + i % 5, i % 24, i % 60);
        records.push_back(Rec(modes[i % 6], when, "reminder " + std::to_string(i)));
        records.back().state = FIRED_MARK;
    }
    PutStore(records);
    const SYSTEMTIME now = At(2026, 5, 10, 12, 30, 15);

    const StoreLists lists =
        ReadStoreLists(kStorePath, IfMissing::CreateEmpty, now, 2, kDueList | kTodayList);

    const DueList due = BuildDueList(kStorePath, IfMissing::CreateEmpty, At(2026, 5, 10), 2);
    std::vector<ReminderRecord> today;
    BuildTodayList(kStorePath, now, today);
    EXPECT_EQ(Texts(lists.due.records), Texts(due.records));
    EXPECT_EQ(Offsets(lists.due.records), Offsets(due.records));
    EXPECT_EQ(lists.due.storeIndex, due.storeIndex);
    EXPECT_EQ(Texts(lists.today), Texts(today));
    // The dailies, and the once reminders of the 10th.
    ASSERT_EQ(lists.today.size(), 834u + 166u);
    for (const ReminderRecord& record : lists.today) {
        EXPECT_EQ(record.when.wDay, 10);
        EXPECT_EQ(record.state, 0);
    }
    EXPECT_TRUE(lists.report.Sound());
    EXPECT_EQ(lists.report.recordsRead, 5000u);
}

TEST(StoreLists, AStoreMadeEmptyByTheReadCountsAsThere) {
    test::TempBase base;
    const SYSTEMTIME now = At(2026, 5, 10, 9);
    const StoreLists lists =
        ReadStoreLists(kStorePath, IfMissing::CreateEmpty, now, 3, kDueList | kTodayList);
    EXPECT_TRUE(lists.report.createdEmpty);
    EXPECT_TRUE(StoreWasThere(lists.report));
    TodayTimedList list;
    list.TakeFromStore(lists.today, lists.report, now);
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 10));

    std::filesystem::remove(kStorePath);
    const StoreLists untouched =
        ReadStoreLists(kStorePath, IfMissing::LeaveAlone, now, 3, kTodayList);
    EXPECT_FALSE(StoreWasThere(untouched.report));
    EXPECT_FALSE(std::filesystem::exists(kStorePath));
}

} // namespace
} // namespace tovrin
