// Whole-process comparison: `tovrin-cli due` against the Unix `remind` program, both listing the
// same 100,000 reminders (a third yearly, a third monthly, a third dated) with three days of
// advance notice, timed alternately in the same run. Target: tovrin-cli in at most half of
// remind's time.
//
//   cli_bench [--cli=PATH] [benchmark flags]
//
// PATH defaults to ../cli/tovrin-cli beside this program's build directory; build both targets.
// remind comes from Debian's `remind` package (scripts/setup bench).
#include "core/store/settings.h"
#include "core/store/store_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tovrin {
namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 100'000;
constexpr const char* kToday = "2026-12-08";
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string cliPath;
fs::path madeDir; // removed at the end

struct Inputs {
    fs::path dir;
    std::string remindFile;
    std::string error; // why the comparison cannot run
};

// Writes the same reminders twice: as Tovrin's store and as a remind script. Days stop at 28 so
// both programs agree on every month; the text has nothing remind would expand.
void WriteReminders(Inputs& in) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> day(1, 28);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_int_distribution<int> year(2026, 2027);
    std::vector<ReminderRecord> records(kRecords);
    std::ofstream rem(in.remindFile);
    for (int i = 0; i < kRecords; ++i) {
        ReminderRecord& r = records[static_cast<std::size_t>(i)];
        r.mode = i % 3 == 0 ? MODE_YEARLY : i % 3 == 1 ? MODE_MONTHLY : MODE_NONE;
        r.when.wDay = static_cast<std::uint16_t>(day(random));
        r.when.wMonth = static_cast<std::uint16_t>(month(random));
        r.when.wYear = static_cast<std::uint16_t>(year(random));
        const std::string text = "Reminder number " + std::to_string(i);
        SetText(r, text);
        rem << "REM " << r.when.wDay;
        if (r.mode != MODE_MONTHLY) {
            rem << ' ' << kMonths[r.when.wMonth - 1];
        }
        if (r.mode == MODE_NONE) {
            rem << ' ' << r.when.wYear;
        }
        rem << " +3 MSG " << text << '\n';
    }
    if (!WriteStore(in.dir / "Base/ztovrin.dat", records) ||
        !SaveSettings(in.dir / "Base/tovrin.ini", Settings{3, 1})) {
        in.error = "could not write the store or the settings";
    }
}

// Runs a program with its output going to `output`; returns its exit status and wall time.
std::pair<int, double> RunProcess(const std::vector<std::string>& argv, const char* output) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        waitpid(pid, &status, 0);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, took.count()};
}

std::vector<std::string> TovrinArgs() {
    return {cliPath, "due", "--today", kToday};
}

std::vector<std::string> RemindArgs(const Inputs& in) {
    return {"remind", "-q", in.remindFile, kToday};
}

std::size_t CountLines(const fs::path& file, char first) {
    std::ifstream in(file);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        n += !line.empty() && line[0] == first ? 1 : 0;
    }
    return n;
}

// Both programs must list the same reminders, or the comparison means nothing.
void CheckTheyAgree(Inputs& in) {
    const fs::path tovrinOut = in.dir / "tovrin.out";
    const fs::path remindOut = in.dir / "remind.out";
    std::vector<std::string> json = TovrinArgs();
    json.push_back("--json");
    if (RunProcess(json, tovrinOut.c_str()).first != 0) {
        in.error = "tovrin-cli failed; build it and pass --cli=PATH";
    } else if (RunProcess(RemindArgs(in), remindOut.c_str()).first != 0) {
        in.error = "remind failed or is missing; run scripts/setup bench";
    } else if (CountLines(tovrinOut, '{') != CountLines(remindOut, 'R') - 1) {
        in.error = "the two programs list different numbers of reminders";
    }
}

// Built once, in a fresh directory that becomes the working directory, as tovrin-cli expects.
Inputs& TheInputs() {
    static Inputs in = [] {
        Inputs made;
        std::string pattern = (fs::temp_directory_path() / "tovrin-cli-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            made.error = "mkdtemp failed";
            return made;
        }
        made.dir = pattern;
        madeDir = made.dir;
        made.remindFile = (made.dir / "reminders.rem").string();
        fs::create_directory(made.dir / "Base");
        fs::current_path(made.dir);
        WriteReminders(made);
        if (made.error.empty()) {
            CheckTheyAgree(made);
        }
        return made;
    }();
    return in;
}

void BM_CliDueAgainstRemind(benchmark::State& state) {
    Inputs& in = TheInputs();
    if (!in.error.empty()) {
        state.SkipWithError(in.error.c_str());
        return;
    }
    double tovrin = 0;
    double remind = 0;
    for (auto _ : state) {
        const double ours = RunProcess(TovrinArgs(), "/dev/null").second;
        remind += RunProcess(RemindArgs(in), "/dev/null").second;
        tovrin += ours;
        state.SetIterationTime(ours);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["tovrin_ms"] = tovrin / n * 1e3;
    state.counters["remind_ms"] = remind / n * 1e3;
    state.counters["ratio"] = tovrin / remind;
}
BENCHMARK(BM_CliDueAgainstRemind)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void RemoveInputs() {
    if (!madeDir.empty()) {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(madeDir, ec);
    }
}

} // namespace
} // namespace tovrin

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    namespace fs = std::filesystem;
    tovrin::cliPath =
        (fs::canonical("/proc/self/exe").parent_path() / "../cli/tovrin-cli").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--cli=", 0) == 0) {
            tovrin::cliPath = fs::absolute(arg.substr(6)).string();
        } else {
            std::fprintf(stderr, "cli_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tovrin::RemoveInputs();
    return 0;
}
