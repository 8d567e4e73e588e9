// Tovrin's start-up and idle cost against bare Qt programs (bench/bare_tray.cpp), both run as
// real processes in the same run on the same display with a tray host: bench/run_startup.sh sets
// those up. Measured:
//  - time from starting the process to its event loop running (each program says so through
//    the file descriptor named by TOVRIN_READY_FD), and its peak resident memory a moment later:
//    with a 10,000-reminder store and nothing due, against the bare tray program; with a dozen
//    dated reminders due (the current messages show) among 0, 10,000 and 100,000 others, against
//    the bare program showing a 12-row list beside its tray icon;
//  - the processor time each uses over 60 idle seconds after start-up.
// Medians and the ratios Tovrin / bare are reported as counters; on a busy machine the processor
// time each spent before its loop ran (cpu_ratio) is the steadier figure. TOVRIN_COMPARE may name
// another build of Tovrin (the one a change started from, say), timed in the same interleaved
// runs: its figures carry the compare_ prefix.
#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "core/store/store_file.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace tovrin {
namespace {

constexpr int kStoreSize = 10000;
constexpr int kDueInStore = 12;

// A process started with a pipe on descriptor 3 for its "ready" line.
class Child {
public:
    Child(const fs::path& program, const fs::path& workDir, const fs::path& runtimeDir,
          const std::vector<std::string>& args = {}) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0) {
            return;
        }
        start_ = std::chrono::steady_clock::now();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(ready[1], 3); // dup2 clears close-on-exec on the copy
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            if (::chdir(workDir.c_str()) != 0) {
                ::_exit(126);
            }
            ::setenv("TOVRIN_READY_FD", "3", 1);
            ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(ready[1]);
        readyFd_ = ready[0];
    }
    ~Child() {
        Stop();
        if (readyFd_ >= 0) {
            ::close(readyFd_);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Milliseconds from the start to the "ready" line; negative when it never came.
    double WaitReady() {
        pollfd fd{readyFd_, POLLIN, 0};
        char buffer[16];
        if (pid_ <= 0 || ::poll(&fd, 1, 20000) <= 0 ||
            ::read(readyFd_, buffer, sizeof buffer) <= 0) {
            return -1;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start_;
        return std::chrono::duration<double, std::milli>(elapsed).count();
    }

    // Processor time used so far by all its threads, in milliseconds.
    double CpuMs() const {
        double ns = 0;
        const fs::path tasks = "/proc/" + std::to_string(pid_) + "/task";
        std::error_code ec;
        for (const auto& task : fs::directory_iterator(tasks, ec)) {
            std::ifstream in(task.path() / "schedstat");
            double onCpu = 0;
            if (in >> onCpu) {
                ns += onCpu;
            }
        }
        return ns / 1e6;
    }

    // Its peak resident memory so far, in MiB, as the kernel keeps it.
    double PeakMiB() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("VmHWM:", 0) == 0) {
                return std::stod(line.substr(6)) / 1024.0;
            }
        }
        return 0;
    }

    // Ends it as a logout would.
    void Stop() {
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGTERM);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int readyFd_ = -1;
    std::chrono::steady_clock::time_point start_;
};

ReminderRecord Record(std::int32_t mode, const SYSTEMTIME& when, const std::string& text) {
    ReminderRecord r;
    r.mode = mode;
    r.when = when;
    SetText(r, text);
    return r;
}

// `others` reminders, none due or timed today, and, when `due` asks for them, a dozen dated ones
// due within the advance notice in front of them: then the current messages show at start-up.
std::vector<ReminderRecord> StoreRecords(int others, bool due) {
    const SYSTEMTIME today = TodayOf(GetLocalTime());
    const std::int32_t modes[] = {MODE_ONCE, MODE_DAILY, MODE_NONE, MODE_YEARLY, MODE_MONTHLY};
    std::vector<ReminderRecord> records;
    for (int i = 0; due && i < kDueInStore; ++i) {
        records.push_back(
            Record(MODE_NONE, *AddDays(today, i % 2), "Due reminder " + std::to_string(i)));
    }
    for (int i = 0; i < others; ++i) {
        const std::int32_t mode = modes[i % 5];
        SYSTEMTIME when = *AddDays(today, -400 - i % 300);
        if (mode == MODE_YEARLY || mode == MODE_MONTHLY) {
            when = *AddDays(today, 180);
            when.wDay = static_cast<std::uint16_t>(today.wDay <= 14 ? 25 : 10);
        }
        records.push_back(Record(mode, when, "Stored reminder number " + std::to_string(i)));
    }
    return records;
}

// One working directory per store, made when first asked for and removed at the end.
class Setup {
public:
    Setup() {
        std::string pattern = (fs::temp_directory_path() / "tovrin-bench-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        runtime_ = dir_ / "runtime";
        fs::create_directory(runtime_);
        ::chmod(runtime_.c_str(), 0700);
    }
    ~Setup() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Setup(const Setup&) = delete;
    Setup& operator=(const Setup&) = delete;

    const fs::path& WorkDir(int others, bool due) {
        const std::string name = std::to_string(others) + (due ? "-due" : "-quiet");
        auto [at, made] = dirs_.try_emplace(name, dir_ / name);
        if (made) {
            fs::create_directories(at->second / "Base");
            fs::copy_file(fs::path(TOVRIN_SOURCE_DIR) / "res/Base/default.lng",
                          at->second / "Base/default.lng", fs::copy_options::overwrite_existing);
            WriteStore(at->second / "Base/ztovrin.dat", StoreRecords(others, due));
        }
        return at->second;
    }
    const fs::path& Runtime() const { return runtime_; }

private:
    fs::path dir_;
    fs::path runtime_;
    std::map<std::string, fs::path> dirs_;
};

Setup& GetSetup() {
    static Setup setup;
    return setup;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

bool HaveDisplay(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs a display with a tray host: run bench/run_startup.sh");
        return false;
    }
    return true;
}

struct Launch {
    double readyMs = -1;
    double cpuMs = 0; // processor time spent up to the running loop: what a busy machine stretches
    double peakMb = 0;
};

Launch LaunchOnce(const fs::path& program, const fs::path& workDir,
                  const std::vector<std::string>& args = {}) {
    Child child(program, workDir, GetSetup().Runtime(), args);
    Launch launch;
    launch.readyMs = child.WaitReady();
    launch.cpuMs = child.CpuMs();
    // A moment in the loop, as the user would see it, before it is asked to end.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Measured while it runs: how a program tidies up when asked to end is not its running cost.
    launch.peakMb = child.PeakMiB();
    child.Stop();
    return launch;
}

// The medians of one program's launches.
struct Figures {
    std::vector<double> ms, cpuMs, peakMb;

    void Add(const Launch& launch) {
        ms.push_back(launch.readyMs);
        cpuMs.push_back(launch.cpuMs);
        peakMb.push_back(launch.peakMb);
    }
    void Report(benchmark::State& state, const std::string& name, const Figures& bare) const {
        state.counters[name + "_ms"] = Median(ms);
        state.counters[name + "_cpu_ms"] = Median(cpuMs);
        state.counters[name + "_peak_MiB"] = Median(peakMb);
        const std::string prefix = name == "tovrin" ? "" : name + "_";
        state.counters[prefix + "time_ratio"] = Median(ms) / Median(bare.ms);
        state.counters[prefix + "cpu_ratio"] = Median(cpuMs) / Median(bare.cpuMs);
        state.counters[prefix + "rss_ratio"] = Median(peakMb) / Median(bare.peakMb);
    }
};

// Args: the number of other reminders in the store, and whether a dozen are due (the current
// messages show, and the yardstick shows its 12-row list).
void BM_Startup(benchmark::State& state) {
    if (!HaveDisplay(state)) {
        return;
    }
    const int others = static_cast<int>(state.range(0));
    const bool due = state.range(1) != 0;
    const fs::path& workDir = GetSetup().WorkDir(others, due);
    const std::vector<std::string> bareArgs =
        due ? std::vector<std::string>{"--rows", std::to_string(kDueInStore)}
            : std::vector<std::string>{};
    struct Contender {
        fs::path program;
        std::vector<std::string> args;
        Figures figures;
    };
    std::vector<Contender> contenders{{TOVRIN_PROGRAM, {}, {}}, {BARE_PROGRAM, bareArgs, {}}};
    if (const char* other = std::getenv("TOVRIN_COMPARE"); other != nullptr && *other != '\0') {
        contenders.push_back({other, {}, {}});
    }
    // Caches (fonts, shared libraries, the store's pages) are warm for all before anything counts.
    for (const Contender& c : contenders) {
        LaunchOnce(c.program, workDir, c.args);
    }
    std::size_t first = 0;
    for (auto _ : state) {
        // Each takes its turn at going first, so none always meets the others' aftermath.
        double oursMs = 0;
        for (std::size_t k = 0; k < contenders.size(); ++k) {
            const std::size_t at = (first + k) % contenders.size();
            const Launch launch = LaunchOnce(contenders[at].program, workDir, contenders[at].args);
            if (launch.readyMs < 0) {
                state.SkipWithError("a program did not reach its event loop");
                return;
            }
            contenders[at].figures.Add(launch);
            oursMs = at == 0 ? launch.readyMs : oursMs;
        }
        first = (first + 1) % contenders.size();
        state.SetIterationTime(oursMs / 1000.0);
    }
    const Figures& bare = contenders[1].figures;
    contenders[0].figures.Report(state, "tovrin", bare);
    state.counters["bare_ms"] = Median(bare.ms);
    state.counters["bare_cpu_ms"] = Median(bare.cpuMs);
    state.counters["bare_peak_MiB"] = Median(bare.peakMb);
    if (contenders.size() > 2) {
        contenders[2].figures.Report(state, "compare", bare);
    }
}
BENCHMARK(BM_Startup)
    ->ArgNames({"others", "due"})
    ->Args({kStoreSize, 0})
    ->Args({0, 1})
    ->Args({kStoreSize, 1})
    ->Args({10 * kStoreSize, 1})
    ->Iterations(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Both programs side by side, idle for a minute after start-up.
void BM_IdleCpu60s(benchmark::State& state) {
    if (!HaveDisplay(state)) {
        return;
    }
    Setup& setup = GetSetup();
    const fs::path& workDir = setup.WorkDir(kStoreSize, false);
    for (auto _ : state) {
        Child ours(TOVRIN_PROGRAM, workDir, setup.Runtime());
        Child bare(BARE_PROGRAM, workDir, setup.Runtime());
        if (ours.WaitReady() < 0 || bare.WaitReady() < 0) {
            state.SkipWithError("a program did not reach its event loop");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double ours0 = ours.CpuMs();
        const double bare0 = bare.CpuMs();
        std::this_thread::sleep_for(std::chrono::seconds(60));
        const double oursMs = ours.CpuMs() - ours0;
        const double bareMs = bare.CpuMs() - bare0;
        state.counters["tovrin_cpu_ms"] = oursMs;
        state.counters["bare_cpu_ms"] = bareMs;
        state.counters["cpu_ratio"] = oursMs / bareMs;
    }
}
// A few milliseconds a minute are at the mercy of the scheduler: three rounds, and their median.
BENCHMARK(BM_IdleCpu60s)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace tovrin

BENCHMARK_MAIN();
