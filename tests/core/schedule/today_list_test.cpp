#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/today_list.h"
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

class TodayListTest : public ::testing::Test {
protected:
    test::TempBase base;
    TodayTimedList list;

    // Ticks once a second for `seconds` seconds from the clock's time, gathering the fired texts in
    // the order the journal receives them.
    std::vector<std::string> RunSeconds(FakeClock& clock, int seconds) {
        std::vector<std::string> journal;
        for (int i = 0; i < seconds; ++i) {
            for (const std::string& text : Texts(list.Tick(clock.Now()).fired)) {
                journal.push_back(text);
            }
            clock.AdvanceSeconds(1);
        }
        return journal;
    }
};

TEST_F(TodayListTest, TakesTodaysTimedRemindersFromTheStoreWithFreshState) {
    ReminderRecord firedInFile = Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "once today");
    firedInFile.state = FIRED_MARK;
    PutStore({Rec(MODE_ONCE, At(2026, 5, 11, 14, 30), "once tomorrow"), firedInFile,
              Rec(MODE_DAILY, At(2019, 1, 1, 8, 0), "daily"),
              Rec(MODE_YEARLY, At(2026, 5, 10, 9), "yearly today"),
              Rec(MODE_NONE, At(2026, 5, 10, 9), "plain today")});

    const ReadReport report = list.BuildFromStore(kStorePath, At(2026, 5, 10, 12, 1, 2, 3));

    EXPECT_EQ(report.outcome, OpenOutcome::Opened);
    EXPECT_THAT(Texts(list.Records()), ElementsAre("once today", "daily"));
    EXPECT_EQ(list.Records()[0].state, 0);
    EXPECT_EQ(list.Records()[1].when, At(2026, 5, 10, 8, 0));
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 10));
}

TEST_F(TodayListTest, AMissingOrEmptyStoreGivesAnEmptyListAndIsNeverCreated) {
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 12));
    EXPECT_THAT(list.Records(), IsEmpty());
    EXPECT_EQ(list.LastSeen(), SYSTEMTIME{}); // the store did not open
    EXPECT_FALSE(std::filesystem::exists(kStorePath));

    test::WriteBytes(kStorePath, {});
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 12));
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 10)); // an empty store still opened
    EXPECT_EQ(std::filesystem::file_size(kStorePath), 0u);

    std::filesystem::remove_all(base.Base());
    list.BuildFromStore(kStorePath, At(2026, 5, 11, 12));
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 10));
    EXPECT_FALSE(std::filesystem::exists(base.Base()));
}

TEST_F(TodayListTest, FiresOnceInItsMinuteAndNotWhenStartedAfterIt) {
    PutStore({Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "tea")});
    FakeClock clock(At(2026, 5, 10, 14, 29, 50));
    list.BuildFromStore(kStorePath, clock.Now());

    EXPECT_THAT(RunSeconds(clock, 10), IsEmpty());
    const TodayTimedList::TickResult first = list.Tick(clock.Now()); // 14:30:00
    EXPECT_TRUE(first.AnyFired());
    EXPECT_THAT(Texts(first.fired), ElementsAre("tea"));
    EXPECT_EQ(list.Records()[0].state, FIRED_MARK);
    clock.AdvanceSeconds(1);
    EXPECT_THAT(RunSeconds(clock, 120), IsEmpty());

    TodayTimedList lateStart;
    lateStart.BuildFromStore(kStorePath, At(2026, 5, 10, 14, 31));
    EXPECT_FALSE(lateStart.Tick(At(2026, 5, 10, 14, 31)).AnyFired());
}

TEST_F(TodayListTest, AnyTickInsideTheMinuteFiresAndARestartFiresAgain) {
    PutStore({Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "tea")});
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 14, 30, 45));
    EXPECT_TRUE(list.Tick(At(2026, 5, 10, 14, 30, 45)).AnyFired());

    TodayTimedList restarted;
    restarted.BuildFromStore(kStorePath, At(2026, 5, 10, 14, 30, 50));
    EXPECT_TRUE(restarted.Tick(At(2026, 5, 10, 14, 30, 50)).AnyFired());
}

TEST_F(TodayListTest, RemindersOfTheSameMinuteFireTogetherInListOrder) {
    PutStore({Rec(MODE_DAILY, At(2020, 2, 2, 9, 15), "first"),
              Rec(MODE_ONCE, At(2026, 5, 10, 9, 16), "later"),
              Rec(MODE_ONCE, At(2026, 5, 10, 9, 15, 59), "second")});
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 9));
    const TodayTimedList::TickResult tick = list.Tick(At(2026, 5, 10, 9, 15, 1));
    EXPECT_THAT(Texts(tick.fired), ElementsAre("first", "second"));
    EXPECT_FALSE(tick.rebuilt);
}

TEST_F(TodayListTest, TheFirstTickOfANewDayRebuildsThenFiresMidnightReminders) {
    PutStore({Rec(MODE_ONCE, At(2026, 5, 11, 0, 0), "midnight once"),
              Rec(MODE_DAILY, At(2026, 5, 10, 0, 0), "midnight daily")});
    FakeClock clock(At(2026, 5, 10, 23, 59, 58));
    list.BuildFromStore(kStorePath, clock.Now());
    EXPECT_THAT(Texts(list.Records()), ElementsAre("midnight daily"));

    EXPECT_THAT(RunSeconds(clock, 2), IsEmpty());
    const TodayTimedList::TickResult tick = list.Tick(clock.Now()); // 00:00:00
    EXPECT_TRUE(tick.rebuilt);
    EXPECT_THAT(Texts(tick.fired), ElementsAre("midnight once", "midnight daily"));
    EXPECT_EQ(list.LastSeen(), clock.Now());
}

TEST_F(TodayListTest, ADailyReminderFiresEveryDayWhileTheProgramRuns) {
    PutStore({Rec(MODE_DAILY, At(2001, 1, 1, 8, 0), "pills")});
    FakeClock clock(At(2026, 2, 27, 7, 59, 30));
    list.BuildFromStore(kStorePath, clock.Now());
    int fired = 0;
    // Across a month end: ticks 20 s apart around each 08:00 and an hour apart otherwise.
    while (CompareDateTime(clock.Now(), At(2026, 3, 1, 12)) < 0) {
        const SYSTEMTIME now = clock.Now();
        fired += static_cast<int>(list.Tick(now).fired.size());
        clock.AdvanceSeconds(now.wHour == 7 || now.wHour == 8 ? 20 : 3600);
    }
    EXPECT_EQ(fired, 3);
}

TEST_F(TodayListTest, TheStoreIsOnlyReadAgainOnANewDay) {
    PutStore({});
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 9));
    PutStore({Rec(MODE_ONCE, At(2026, 5, 10, 10), "added behind our back")});
    EXPECT_FALSE(list.Tick(At(2026, 5, 10, 10)).AnyFired());

    // A store gone at the new day's rebuild empties the list; LastSeen still moves on.
    PutStore({Rec(MODE_DAILY, At(2026, 5, 10, 10), "daily")});
    list.BuildFromStore(kStorePath, At(2026, 5, 10, 9));
    std::filesystem::remove(kStorePath);
    const TodayTimedList::TickResult tick = list.Tick(At(2026, 5, 11, 10));
    EXPECT_TRUE(tick.rebuilt);
    EXPECT_FALSE(tick.AnyFired());
    EXPECT_THAT(list.Records(), IsEmpty());
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 11, 10));
    EXPECT_FALSE(std::filesystem::exists(kStorePath));
}

TEST_F(TodayListTest, TheEditorsRecordsGetTodaysDateOnDailiesAndKeepTheirState) {
    ReminderRecord daily = Rec(MODE_DAILY, At(2019, 3, 4, 18, 5), "daily");
    ReminderRecord once = Rec(MODE_ONCE, At(2026, 5, 10, 18, 6), "once");
    once.state = 7;
    ReminderRecord yearly = Rec(MODE_YEARLY, At(2019, 3, 4, 18, 5), "yearly");
    ReminderRecord* editor[] = {&daily, nullptr, &yearly, &once};

    list.BuildFromRecords(editor, At(2026, 5, 10, 17, 0, 30));

    EXPECT_EQ(daily.when, At(2026, 5, 10, 18, 5));
    EXPECT_EQ(yearly.when, At(2019, 3, 4, 18, 5));
    EXPECT_THAT(Texts(list.Records()), ElementsAre("daily", "once"));
    EXPECT_EQ(list.Records()[1].state, 7);
    EXPECT_EQ(list.LastSeen(), At(2026, 5, 10));
    EXPECT_FALSE(std::filesystem::exists(kStorePath));

    list.Clear();
    EXPECT_THAT(list.Records(), IsEmpty());
}

// The editor closes at 14:30:20, after the once and daily reminders of 14:30 fired: its copies
// carry no mark, yet only what was added or moved into the minute fires, a twin included.
TEST_F(TodayListTest, AnEditorClosingInAFiredMinuteFiresOnlyWhatIsNewInIt) {
    PutStore({Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "once"),
              Rec(MODE_DAILY, At(2026, 1, 1, 14, 30), "daily"),
              Rec(MODE_ONCE, At(2026, 5, 10, 14, 45), "moved")});
    FakeClock clock(At(2026, 5, 10, 14, 30));
    list.BuildFromStore(kStorePath, clock.Now());
    ASSERT_THAT(RunSeconds(clock, 20), ElementsAre("once", "daily"));
    ReminderRecord once = Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "once");
    ReminderRecord daily = Rec(MODE_DAILY, At(2026, 1, 1, 14, 30), "daily");
    ReminderRecord added = Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "added");
    ReminderRecord moved = Rec(MODE_ONCE, At(2026, 5, 10, 14, 30), "moved");
    ReminderRecord twin = once;
    ReminderRecord* editor[] = {&daily, &added, &once, &moved, &twin};
    list.BuildFromRecords(editor, clock.Now());
    EXPECT_THAT(RunSeconds(clock, 10), ElementsAre("added", "moved", "once"));
    list.BuildFromRecords(editor, clock.Now()); // closed again in the same minute
    EXPECT_THAT(RunSeconds(clock, 60), IsEmpty());
    EXPECT_EQ(once.state, 0); // the marks stay out of what the editor saves
}

} // namespace
} // namespace tovrin
