#include "cli/cli.h"
#include "core/lang/lang_keys.h"
#include "core/schedule/due_rules.h"
#include "core/store/paths.h"
#include "core/store/reminder_record.h"
#include "core/store/store_file.h"
#include "support/temp_base.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

ReminderRecord Rec(std::int32_t mode, std::array<int, 6> when, std::string_view text) {
    ReminderRecord r;
    r.mode = mode;
    auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    r.when = {u16(when[0]), u16(when[1]), 0, u16(when[2]), u16(when[3]),
              u16(when[4]), u16(when[5]), 0};
    SetText(r, text);
    return r;
}

void PutStore(const std::vector<ReminderRecord>& records, std::uint32_t count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
    }
    for (const ReminderRecord& r : records) {
        const RecordBytes b = EncodeRecord(r);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    test::WriteBytes(kStorePath, bytes);
}

void PutStore(const std::vector<ReminderRecord>& records) {
    PutStore(records, static_cast<std::uint32_t>(records.size()));
}

void PutSettings(std::vector<std::uint8_t> bytes) {
    test::WriteBytes(kSettingsPath, bytes);
}

// A language file with every key the program asks for, except those in `leaveOut`.
void PutLanguage(const std::string& leaveOut = "", const std::string& extra = "") {
    std::string text = "; test texts\r\n";
    std::string_view section;
    for (const LangKey& k : kLangKeys) {
        if (k.section != section) {
            section = k.section;
            text += "[" + std::string(section) + "]\r\n";
        }
        const std::string name = std::string(section) + " " + std::to_string(k.key);
        if (name != leaveOut) {
            text += std::to_string(k.key) + "=" + name + "\r\n";
        }
    }
    test::WriteText(kLangPath, text + extra);
}

class CliTest : public ::testing::Test {
protected:
    test::TempBase base;
};

TEST_F(CliTest, DumpShowsEveryFieldAndEscapesJsonStrings) {
    ReminderRecord odd = Rec(MODE_YEARLY, {1980, 5, 10, 7, 8, 9}, "");
    // "Quote" in windows-1251 Cyrillic, a backslash, a tab and a bell.
    const char text[] = "\xCC\xE0\xF8\xE0 \"q\" \\ \t\x07";
    SetText(odd, text);
    odd.state = -5;
    odd.when.wDayOfWeek = 6;
    odd.when.wMilliseconds = 42;
    PutStore({Rec(MODE_ONCE, {2026, 5, 10, 14, 30, 0}, "tea"), odd});

    const CliRun json = Cli({"dump", "--json"});
    EXPECT_EQ(json.status, kExitOk);
    EXPECT_EQ(json.out,
              "[\n"
              R"({"index":0,"mode":57,"state":0,"when":{"year":2026,"month":5,"dayOfWeek":0,)"
              R"("day":10,"hour":14,"minute":30,"second":0,"milliseconds":0},"text":"tea"},)"
              "\n"
              R"({"index":1,"mode":13,"state":-5,"when":{"year":1980,"month":5,"dayOfWeek":6,)"
              R"("day":10,"hour":7,"minute":8,"second":9,"milliseconds":42},)"
              R"("text":"Маша \"q\" \\ \t\u0007"})"
              "\n]\n");

    const CliRun plain = Cli({"dump"});
    EXPECT_THAT(plain.out, HasSubstr("1980-05-10 07:08:09.042"));
    EXPECT_THAT(plain.out, HasSubstr("Маша \"q\" \\ \\x09\\x07\n"));
    EXPECT_EQ(Cli({"dump", "--json"}).out, json.out);
}

TEST_F(CliTest, DumpOfAMissingOrEmptyStoreIsAnEmptyArray) {
    EXPECT_EQ(Cli({"dump", "--json"}).out, "[]\n");
    test::WriteBytes(kStorePath, {});
    const CliRun run = Cli({"dump"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "");
}

TEST_F(CliTest, DumpWarnsAboutACutStoreAndFailsOnAnUnreadableOne) {
    PutStore({Rec(MODE_NONE, {2026, 1, 1, 0, 0, 0}, "a")}, 3);
    const CliRun cut = Cli({"dump", "--json"});
    EXPECT_EQ(cut.status, kExitOk);
    EXPECT_THAT(cut.out, HasSubstr("\"text\":\"a\""));
    EXPECT_THAT(cut.err, HasSubstr("promises 3 reminders but holds only 1"));

    fs::remove(kStorePath);
    fs::create_directory(kStorePath);
    const CliRun folder = Cli({"dump"});
    EXPECT_EQ(folder.status, kExitProblem);
    EXPECT_THAT(folder.err, HasSubstr("Could not open"));
}

// A store no one could have written, read as the program reads it: empty, and damaged.
TEST_F(CliTest, AStoreLargerThanAnyListIsDamagedToEveryCommand) {
    PutStore({}, 0xFFFFFFFF);
    // Sparse, so no disk is spent; just past the bound, as the C runtime under Windows sizes
    // files by a 32-bit length.
    fs::resize_file(kStorePath, 4 + kRecordSize * (std::uint64_t{kMostStoredRecords} + 1));
    const CliRun check = Cli({"check"});
    EXPECT_EQ(check.status, kExitProblem);
    EXPECT_THAT(check.out, HasSubstr("Base/ztovrin.dat: 0 reminders."));
    EXPECT_THAT(check.out, HasSubstr("problem: Base/ztovrin.dat is damaged: it would hold"));
    EXPECT_THAT(check.out, Not(HasSubstr("promises")));
    for (const std::vector<std::string>& args : {std::vector<std::string>{"dump"},
                                                 {"due", "--today", "2026-12-08"},
                                                 {"today", "--now", "2026-12-08 14:30"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, kExitProblem) << args[0];
        EXPECT_THAT(run.err, HasSubstr("is damaged")) << args[0];
    }
}

TEST_F(CliTest, DueListsTheWindowsRowsWithOffsetsAndStoreIndices) {
    PutStore({Rec(MODE_MONTHLY, {2000, 1, 12, 0, 0, 0}, "monthly +2"),
              Rec(MODE_ONCE, {2026, 5, 10, 12, 0, 0}, "once today"),
              Rec(MODE_YEARLY, {1980, 5, 10, 0, 0, 0}, "birthday"),
              Rec(MODE_NONE, {2026, 5, 11, 9, 0, 0}, "plain +1")});

    const CliRun json = Cli({"due", "--today", "2026-05-10", "--days", "2", "--json"});
    EXPECT_EQ(json.status, kExitOk);
    const std::string rows[] = {R"({"index":2,"mode":13,"state":0,"offset":0,)",
                                R"({"index":3,"mode":0,"state":1,"offset":1,)",
                                R"({"index":0,"mode":14,"state":2,"offset":2,)"};
    std::size_t at = 0;
    for (const std::string& row : rows) {
        const std::size_t found = json.out.find(row, at);
        ASSERT_NE(found, std::string::npos) << row;
        at = found;
    }
    EXPECT_THAT(json.out, Not(HasSubstr("once today")));

    const CliRun plain = Cli({"due", "--today=2026-05-10", "--days=2"});
    EXPECT_THAT(plain.out, HasSubstr("2026-05-10, today\n"));
    EXPECT_THAT(plain.out, HasSubstr("2026-05-12, in 2 days\n"));
}

TEST_F(CliTest, DueTakesItsWindowFromTheSettingsAsStartUpLoadsThem) {
    PutStore({Rec(MODE_NONE, {2026, 5, 11, 0, 0, 0}, "plus one"),
              Rec(MODE_NONE, {2026, 5, 13, 0, 0, 0}, "plus three")});
    const std::vector<std::string> due = {"due", "--today", "2026-05-10"};
    // No settings file: one day, and the file stays missing.
    EXPECT_THAT(Cli(due).out, Not(HasSubstr("plus three")));
    EXPECT_THAT(Cli(due).out, HasSubstr("plus one"));
    EXPECT_FALSE(fs::exists(kSettingsPath));
    PutSettings({0, 0, 0, 0, 0, 0, 0, 0}); // 0 loads as 1
    EXPECT_THAT(Cli(due).out, HasSubstr("plus one"));
    PutSettings({3});
    EXPECT_THAT(Cli(due).out, HasSubstr("plus three"));
    PutSettings({0, 1}); // a short file: 256 days
    EXPECT_THAT(Cli(due).out, HasSubstr("plus three"));
    EXPECT_THAT(Cli({"due", "--today", "2026-05-10", "--days", "0"}).out,
                Not(HasSubstr("plus one")));
}

TEST_F(CliTest, TodayShowsTheTimedListAndWhatFiresAtThatMinute) {
    PutStore({Rec(MODE_DAILY, {2019, 1, 1, 14, 30, 0}, "daily"),
              Rec(MODE_ONCE, {2026, 5, 10, 14, 31, 0}, "later"),
              Rec(MODE_ONCE, {2026, 5, 11, 14, 30, 0}, "tomorrow")});
    const CliRun json = Cli({"today", "--now", "2026-05-10 14:30:59", "--json"});
    EXPECT_EQ(json.status, kExitOk);
    EXPECT_THAT(json.out, HasSubstr(R"({"index":0,"mode":12,"state":1983,"when":{"year":2026,)"));
    EXPECT_THAT(json.out, HasSubstr(R"("text":"daily","fires":true})"));
    EXPECT_THAT(json.out, HasSubstr(R"({"index":1,"mode":57,"state":0,)"));
    EXPECT_THAT(json.out, HasSubstr(R"("text":"later","fires":false})"));
    EXPECT_THAT(json.out, Not(HasSubstr("tomorrow")));
    EXPECT_THAT(Cli({"today", "--now", "2026-05-10 14:31"}).out, HasSubstr("fires    later"));
}

TEST_F(CliTest, CheckPassesASoundBaseAndNamesEachProblem) {
    PutStore({Rec(MODE_YEARLY, {1980, 5, 10, 0, 0, 0}, "fine")});
    PutSettings({3, 0, 0, 0, 1, 0, 0, 0});
    PutLanguage();
    const CliRun sound = Cli({"check"});
    EXPECT_EQ(sound.status, kExitOk) << sound.out;
    EXPECT_THAT(sound.out, HasSubstr("All sound."));

    PutStore({Rec(MODE_NONE, {2026, 2, 30, 0, 0, 0}, "no such day")}, 2);
    PutSettings({3, 0, 0});
    PutLanguage("Notify 4", "[Long]\n1=" + std::string(300, 'x') + "\n");
    const CliRun bad = Cli({"check"});
    EXPECT_EQ(bad.status, kExitProblem);
    EXPECT_THAT(bad.out, HasSubstr("promises 2 reminders but holds only 1"));
    EXPECT_THAT(bad.out, HasSubstr("\"no such day\") is never shown: its date 2026-02-30"));
    EXPECT_THAT(bad.out, HasSubstr("holds only 3 bytes of 8"));
    EXPECT_THAT(bad.out, HasSubstr("section [Notify] lacks key(s) 4"));
    EXPECT_THAT(bad.out, HasSubstr("is longer than 255 characters"));
    EXPECT_THAT(bad.out, HasSubstr("5 problems found."));
}

// A long line is one problem however many pieces it takes, and many long lines are one finding
// with their count: a 5 MB one-line file once printed a line for every 255 characters.
TEST_F(CliTest, CheckReportsLongLinesOnceWithTheirCount) {
    PutStore({}, 0);
    PutSettings({3, 0, 0, 0, 1, 0, 0, 0});
    PutLanguage("", "[Long]\n1=" + std::string(5'000'000, 'x'));
    CliRun run = Cli({"check"});
    EXPECT_EQ(run.status, kExitProblem);
    EXPECT_THAT(run.out, HasSubstr("is longer than 255 characters; the program cuts it there"));
    EXPECT_THAT(run.out, HasSubstr("1 problem found."));
    EXPECT_LT(run.out.size(), 1000u) << run.out.substr(0, 1000);

    std::string many = "[Long]\n";
    for (int i = 0; i < 12; ++i) {
        many += std::to_string(i) + "=" + std::string(600, 'y') + "\r\n2=short\n";
    }
    PutLanguage("", many);
    run = Cli({"check"});
    EXPECT_THAT(run.out, HasSubstr("12 lines of Base/default.lng are longer than 255 characters"));
    EXPECT_THAT(run.out, HasSubstr(", ...); the program cuts them there"));
    EXPECT_THAT(run.out, HasSubstr("1 problem found."));
}

TEST_F(CliTest, CheckTreatsMissingFilesAsTheProgramDoes) {
    // The program creates a missing store and settings file itself, but cannot do without its
    // language file.
    const CliRun run = Cli({"check"});
    EXPECT_EQ(run.status, kExitProblem);
    EXPECT_THAT(run.out, HasSubstr("ztovrin.dat: missing; the program creates it empty."));
    EXPECT_THAT(run.out, HasSubstr("1 day of advance notice, deletions confirmed."));
    EXPECT_THAT(run.out, HasSubstr("default.lng: cannot be opened."));
    EXPECT_THAT(run.out, HasSubstr("1 problem found."));
}

TEST_F(CliTest, LangPrintsOneTextAsUtf8) {
    test::WriteText(kLangPath, "[Notify]\r\n1=\xD2\xE5\xEA\xF3\xF9\xE8\xE5 = x\r\n");
    const CliRun found = Cli({"lang", "Notify", "1"});
    EXPECT_EQ(found.status, kExitOk);
    EXPECT_EQ(found.out, "Текущие = x\n");
    const CliRun missing = Cli({"lang", "Notify", "2"});
    EXPECT_EQ(missing.status, kExitProblem);
    EXPECT_THAT(missing.err, HasSubstr("no key 2 in section [Notify]"));
    fs::remove(kLangPath);
    EXPECT_EQ(Cli({"lang", "Notify", "1"}).status, kExitProblem);
}

TEST_F(CliTest, BadArgumentsGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"dump", "extra"},
        {"dump", "--days", "3"},
        {"due", "--today", "2026-02-30"},
        {"due", "--today", "2026-5-10x"},
        {"due", "--today", "99-01-01"},
        {"due", "--days", "-1"},
        {"due", "--days", "4294967296"},
        {"due", "--days"},
        {"today"},
        {"today", "--now", "2026-05-10"},
        {"today", "--now", "2026-05-10 24:00"},
        {"today", "--now", "2026-05-10 12:00:60"},
        {"check", "--json"},
        {"lang", "Notify"},
        {"lang", "Notify", "one"},
        {"dump", "--json=yes"},
    };
    for (const auto& args : bad) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, kExitUsage) << ::testing::PrintToString(args);
        EXPECT_THAT(run.err, HasSubstr("usage: tovrin-cli")) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(Cli({"due", "--days", "4294967295", "--today", "9999-12-31"}).status, kExitOk);
    EXPECT_EQ(Cli({"--help"}).status, kExitOk);
}

// Path, size, modification time and bytes of everything under the working directory.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        std::string facts = std::to_string(entry.last_write_time().time_since_epoch().count());
        if (entry.is_regular_file()) {
            const std::vector<std::uint8_t> bytes = test::ReadBytes(entry.path());
            facts += " " + std::string(bytes.begin(), bytes.end());
        }
        files[entry.path().string()] = facts;
    }
    return files;
}

void RunEveryCommand() {
    const std::vector<std::vector<std::string>> commands = {{"dump"},
                                                            {"dump", "--json"},
                                                            {"due"},
                                                            {"due", "--json", "--days", "9"},
                                                            {"check"},
                                                            {"today", "--now", "2026-05-10 14:30"},
                                                            {"lang", "Notify", "1"}};
    for (const auto& args : commands) {
        Cli(args);
    }
}

TEST_F(CliTest, NoCommandCreatesOrChangesAFile) {
    RunEveryCommand(); // an empty Base/
    EXPECT_TRUE(fs::is_empty(base.Base()));

    PutStore({Rec(MODE_ONCE, {2026, 5, 10, 14, 30, 0}, "tea")}, 4);
    PutSettings({0});
    PutLanguage("Editor 22");
    const auto before = Snapshot(base.Dir());
    RunEveryCommand();
    EXPECT_EQ(Snapshot(base.Dir()), before);

    fs::remove_all(base.Base());
    RunEveryCommand();
    EXPECT_TRUE(fs::is_empty(base.Dir()));
}

// On Windows the built tool's exit status is checked from outside, by the cross-build's script.
#ifndef _WIN32
TEST(CliProgram, TheBuiltToolReportsThroughItsExitStatus) {
    test::TempBase base;
    const std::string cli = TOVRIN_CLI_PATH;
    auto status = [&](const std::string& args) {
        const int raw = std::system((cli + " " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(status(""), kExitUsage);
    EXPECT_EQ(status("due --json"), kExitOk);
    EXPECT_EQ(status("check"), kExitProblem);
    EXPECT_TRUE(fs::is_empty(base.Base()));

    // Output that cannot be written is a failure, and says so.
    const fs::path said = base.Dir() / "said.txt";
    const int raw = std::system((cli + " due --json >/dev/full 2>" + said.string()).c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, kExitProblem);
    std::ifstream in(said);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "tovrin-cli: could not write the output\n");
}
#endif

} // namespace
} // namespace tovrin
