// Whole-process comparison: `tovrin-cli due` against the Unix `remind` program, both listing the
// same 100,000 reminders (a third yearly, a third monthly, a third dated) with three days of
// advance notice, timed alternately in the same run. Target: tovrin-cli in at most half of
// remind's time.
//
// And their peak memory listing 30 days of 100,000 and 1,000,000 such reminders: tovrin-cli's
// growth over its own peak reading the same store with nothing to list, per listed row (target:
// at most 16 bytes), with remind's peak and both times beside it.
//
//   cli_bench [--cli=PATH] [benchmark flags]
//
// PATH defaults to ../cli/tovrin-cli beside this program's build directory; build both targets.
// remind comes from Debian's `remind` package (scripts/setup bench).
#include "core/store/settings.h"
#include "core/store/store_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
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

// Writes the same reminders twice, into `in.dir`: as Tovrin's store (with `days` of advance
// notice in its settings) and as a remind script. Days stop at 28 so both programs agree on every
// month; the text has nothing remind would expand.
void WriteReminders(Inputs& in, int count, int days) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> day(1, 28);
    std::uniform_int_distribution<int> month(1, 12);
    std::uniform_int_distribution<int> year(2026, 2027);
    std::vector<ReminderRecord> records(static_cast<std::size_t>(count));
    std::ofstream rem(in.remindFile);
    for (int i = 0; i < count; ++i) {
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
        rem << " +" << days << " MSG " << text << '\n';
    }
    fs::create_directories(in.dir / "Base");
    if (!WriteStore(in.dir / "Base/ztovrin.dat", records) ||
        !SaveSettings(in.dir / "Base/tovrin.ini", Settings{static_cast<std::uint32_t>(days), 1})) {
        in.error = "could not write the store or the settings";
    }
}

struct Run {
    int status = -1;
    double seconds = 0;
    double peakMiB = 0; // the most resident memory the process had
};

// Runs a program in `dir` with its output going to `output`. With `measurePeak`, through GNU time
// (scripts/setup bench), which starts it from a process of its own: a child this large program
// spawned directly would report this program's peak as its own.
Run RunProcess(const std::vector<std::string>& command, const char* output,
               const fs::path& dir = fs::current_path(), bool measurePeak = false) {
    const fs::path peakFile =
        fs::temp_directory_path() / ("cli-bench-peak-" + std::to_string(::getpid()));
    std::vector<std::string> argv;
    if (measurePeak) {
        argv = {"/usr/bin/time", "-f", "%M", "-o", peakFile.string()};
    }
    argv.insert(argv.end(), command.begin(), command.end());
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const fs::path was = fs::current_path();
    fs::current_path(dir);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        waitpid(pid, &status, 0);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    fs::current_path(was);
    posix_spawn_file_actions_destroy(&actions);
    Run run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, took.count(), 0};
    if (measurePeak) {
        std::ifstream in(peakFile);
        double kib = 0;
        run.status = in >> kib ? run.status : -1;
        run.peakMiB = kib / 1024.0;
        fs::remove(peakFile);
    }
    return run;
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
    if (RunProcess(json, tovrinOut.c_str(), in.dir).status != 0) {
        in.error = "tovrin-cli failed; build it and pass --cli=PATH";
    } else if (RunProcess(RemindArgs(in), remindOut.c_str(), in.dir).status != 0) {
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
        fs::current_path(made.dir);
        WriteReminders(made, kRecords, 3);
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
        const double ours = RunProcess(TovrinArgs(), "/dev/null").seconds;
        remind += RunProcess(RemindArgs(in), "/dev/null").seconds;
        tovrin += ours;
        state.SetIterationTime(ours);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["tovrin_ms"] = tovrin / n * 1e3;
    state.counters["remind_ms"] = remind / n * 1e3;
    state.counters["ratio"] = tovrin / remind;
}
BENCHMARK(BM_CliDueAgainstRemind)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

constexpr int kMemoryDays = 30;

// A store of `count` reminders beside the main inputs, with its remind script.
Inputs& MemoryInputs(int count) {
    static std::map<int, Inputs> made;
    auto [at, fresh] = made.try_emplace(count);
    Inputs& in = at->second;
    if (fresh) {
        const Inputs& main = TheInputs();
        in.error = main.error;
        in.dir = main.dir / ("memory-" + std::to_string(count));
        in.remindFile = (in.dir / "reminders.rem").string();
        if (in.error.empty()) {
            fs::create_directories(in.dir);
            WriteReminders(in, count, kMemoryDays);
        }
    }
    return in;
}

// The same store read through with nothing to list: every reminder falls on days 1 to 28, so a
// window of the 30th alone holds none. What tovrin-cli needs whatever it lists.
std::vector<std::string> NothingListedArgs() {
    return {cliPath, "due", "--today", "2026-12-30", "--days", "0"};
}

std::size_t ListedRows(const Inputs& in) {
    std::vector<std::string> json = TovrinArgs();
    json.push_back("--json");
    const fs::path out = in.dir / "tovrin.out";
    RunProcess(json, out.c_str(), in.dir);
    return CountLines(out, '{');
}

// Arg: reminders in the store. The rows are listed from the settings' 30 days; the figure per row
// is the peak's growth over the same store's read with nothing listed.
void BM_CliDueMemory(benchmark::State& state) {
    Inputs& in = MemoryInputs(static_cast<int>(state.range(0)));
    if (!in.error.empty()) {
        state.SkipWithError(in.error.c_str());
        return;
    }
    const std::size_t rows = ListedRows(in);
    std::vector<double> ours, base, remind, oursMs, remindMs;
    for (auto _ : state) {
        const Run o = RunProcess(TovrinArgs(), "/dev/null", in.dir, true);
        const Run e = RunProcess(NothingListedArgs(), "/dev/null", in.dir, true);
        const Run r = RunProcess(RemindArgs(in), "/dev/null", in.dir, true);
        if (o.status != 0 || e.status != 0 || r.status != 0) {
            state.SkipWithError("a program failed");
            return;
        }
        ours.push_back(o.peakMiB);
        base.push_back(e.peakMiB);
        remind.push_back(r.peakMiB);
        oursMs.push_back(o.seconds * 1e3);
        remindMs.push_back(r.seconds * 1e3);
        state.SetIterationTime(o.seconds);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["listed_rows"] = static_cast<double>(rows);
    state.counters["tovrin_peak_MiB"] = median(ours);
    state.counters["nothing_listed_peak_MiB"] = median(base);
    state.counters["bytes_per_row"] =
        (median(ours) - median(base)) * 1024 * 1024 / static_cast<double>(rows);
    state.counters["remind_peak_MiB"] = median(remind);
    state.counters["tovrin_ms"] = median(oursMs);
    state.counters["remind_ms"] = median(remindMs);
    state.counters["time_ratio"] = median(oursMs) / median(remindMs);
}
BENCHMARK(BM_CliDueMemory)
    ->ArgName("records")
    ->Arg(kRecords)
    ->Arg(10 * kRecords)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
