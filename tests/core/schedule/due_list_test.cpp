#include "core/schedule/due_list.h"
#include "store_fixture.h"

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

} // namespace
} // namespace tovrin
