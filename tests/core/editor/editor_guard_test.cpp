// What keeps one editor's list from silently replacing another's: the store's lock, the check
// that the store is still the file the editor read, and a store too large or too big for memory.
#include "core/editor/editor_state.h"

#include "core/schedule/date_math.h"
#include "core/schedule/due_list.h"
#include "core/schedule/store_fixture.h"
#include "core/schedule/today_list.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::PutStore;
using test::Rec;
using test::TempBase;

const SYSTEMTIME kNow = At(2026, 12, 8, 14, 30, 0);

// A sparse store whose count and size promise `records` records of zeros.
void PutSparseStore(std::uint64_t records) {
    std::vector<std::uint8_t> count(4, 0);
    for (int i = 0; i < 4; ++i) {
        count[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(records >> (8 * i));
    }
    test::WriteBytes(kStorePath, count);
    fs::resize_file(kStorePath, 4 + kRecordSize * records);
}

TEST(EditorLock, ASecondEditorOnTheSameStoreIsKeptOutUntilTheFirstCloses) {
    TempBase base;
    PutStore({Rec(MODE_YEARLY, At(2027, 1, 1), "theirs")});
    EditorState first;
    first.Load(kStorePath, kNow);
    ASSERT_EQ(first.Opening(), EditorOpening::Opened);
    const fs::path lock = StoreLock::LockPathFor(kStorePath);
    EXPECT_TRUE(fs::exists(lock));

    EditorState second;
    second.Load(kStorePath, kNow);
    EXPECT_EQ(second.Opening(), EditorOpening::HeldElsewhere);
    EXPECT_EQ(second.recordCount(), 0);

    first.Clear();
    EXPECT_FALSE(fs::exists(lock));
    second.Load(kStorePath, kNow);
    EXPECT_EQ(second.Opening(), EditorOpening::Opened);
    EXPECT_EQ(second.recordCount(), 1);
}

#ifndef _WIN32
// Another program file's copy, in a process of its own: killed while editing, it leaves its lock
// file, and the next editor takes it over.
TEST(EditorLock, AnotherProcessHoldsItUntilItEndsHoweverItEnds) {
    TempBase base;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        EditorState other;
        other.Load(kStorePath, kNow);
        const char held = other.Opening() == EditorOpening::Opened ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EditorState ours;
    ours.Load(kStorePath, kNow);
    EXPECT_EQ(ours.Opening(), EditorOpening::HeldElsewhere);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(fs::exists(StoreLock::LockPathFor(kStorePath)));
    ours.Load(kStorePath, kNow);
    EXPECT_EQ(ours.Opening(), EditorOpening::Opened);
    ::close(ready[0]);
    ::close(ready[1]);
}
#endif

// Each way the store can stop being the file the editor read; the editor's own save is not one.
TEST(EditorReplaced, AReplacedChangedOrDeletedStoreIsToldApartFromTheEditorsOwnSave) {
    TempBase base;
    PutStore({Rec(MODE_YEARLY, At(2027, 1, 1), "read")});
    EditorState state;
    state.Load(kStorePath, kNow);
    EXPECT_FALSE(state.StoreReplaced(kStorePath));

    // Another copy saves, renaming its file over ours.
    ASSERT_TRUE(WriteStore(kStorePath, std::vector{Rec(MODE_YEARLY, At(2027, 2, 2), "theirs")}));
    EXPECT_TRUE(state.StoreReplaced(kStorePath));

    state.StoreRecord(Rec(MODE_YEARLY, At(2027, 3, 3), "mine"));
    ASSERT_TRUE(state.Save(kStorePath));
    EXPECT_FALSE(state.StoreReplaced(kStorePath));

    // A backup copied over it in place: same file, new bytes and time.
    const auto before = fs::last_write_time(kStorePath);
    {
        std::fstream file(kStorePath, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(30);
        file.put('X');
    }
    fs::last_write_time(kStorePath, before + std::chrono::seconds(1));
    EXPECT_TRUE(state.StoreReplaced(kStorePath));
    ASSERT_TRUE(state.Save(kStorePath));

    fs::remove(kStorePath);
    EXPECT_TRUE(state.StoreReplaced(kStorePath));

#ifndef _WIN32
    // With the whole folder gone there is nothing to keep: the save says what is wrong. (Windows
    // lets no folder go while the editor holds its lock file there.)
    fs::remove_all(base.Base());
    EXPECT_FALSE(state.StoreReplaced(kStorePath));
#endif
}

TEST(EditorReplaced, AStoreMissingWhenTheEditorOpenedCountsAsTheOneItMade) {
    TempBase base;
    EditorState state;
    state.Load(kStorePath, kNow);
    ASSERT_TRUE(fs::exists(kStorePath));
    EXPECT_FALSE(state.StoreReplaced(kStorePath));
    PutStore({Rec(MODE_YEARLY, At(2027, 1, 1), "appeared")});
    EXPECT_TRUE(state.StoreReplaced(kStorePath));
}

// The reader of every window, on a store no one could have written: the timer and the current
// messages get nothing, the editor refuses it, and nothing is ever written over it.
TEST(EditorRefused, AStoreLargerThanAnyListIsNeitherShownNorEdited) {
    TempBase base;
    PutSparseStore(std::uint64_t{kMostStoredRecords} + 1);
    const auto size = fs::file_size(kStorePath);

    std::vector<ReminderRecord> today;
    EXPECT_TRUE(BuildTodayList(kStorePath, kNow, today).tooLarge);
    EXPECT_TRUE(today.empty());
    const DueList due = BuildDueList(kStorePath, IfMissing::CreateEmpty, TodayOf(kNow), 30);
    EXPECT_TRUE(due.report.tooLarge);
    EXPECT_TRUE(due.records.empty());

    EditorState state;
    const ReadReport report = state.Load(kStorePath, kNow);
    EXPECT_TRUE(report.tooLarge);
    EXPECT_EQ(state.Opening(), EditorOpening::Refused);
    EXPECT_EQ(state.recordCount(), 0);
    EXPECT_FALSE(state.modified);
    EXPECT_TRUE(state.Save(kStorePath));
    EXPECT_EQ(fs::file_size(kStorePath), size);
    // Nor does the refused editor keep the store from another.
    EXPECT_FALSE(fs::exists(StoreLock::LockPathFor(kStorePath)));
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Under the bound, a list can still be more than the machine gives: an allocation that fails
// leaves the store unread, and the program goes on.
TEST(EditorRefused, AStoreTheMemoryCannotHoldIsRefusedAndNothingEnds) {
    TempBase base;
    constexpr std::uint64_t kRecords = 4'000'000; // 432 MB of records
    PutSparseStore(kRecords);
    const pid_t child = ::fork();
    if (child == 0) {
        // Room for what the process already has, and far less than the store.
        std::ifstream status("/proc/self/status");
        std::string line;
        long long mappedKb = 0;
        while (std::getline(status, line)) {
            if (line.rfind("VmSize:", 0) == 0) {
                mappedKb = std::stoll(line.substr(7));
            }
        }
        const rlimit limit{static_cast<rlim_t>((mappedKb + 96 * 1024) * 1024),
                           static_cast<rlim_t>((mappedKb + 96 * 1024) * 1024)};
        if (mappedKb == 0 || ::setrlimit(RLIMIT_AS, &limit) != 0) {
            ::_exit(77);
        }
        EditorState state;
        const ReadReport report = state.Load(kStorePath, kNow);
        const bool refused = report.outOfMemory && state.Opening() == EditorOpening::Refused &&
                             state.recordCount() == 0 && !state.modified;
        std::vector<ReminderRecord> kept;
        const bool keptNone =
            ReadStore(kStorePath, IfMissing::LeaveAlone, kept).outOfMemory && kept.empty();
        ::_exit(refused && keptNone ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "cannot limit the memory here";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

} // namespace
} // namespace tovrin
