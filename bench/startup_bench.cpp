// Tovrin's start-up and idle cost against a bare Qt tray program (bench/bare_tray.cpp), both run
// as real processes in the same run on the same display with a tray host: bench/run_startup.sh
// sets those up. Measured:
//  - time from starting the process to its event loop running (each program says so through
//    the file descriptor named by TOVRIN_READY_FD), and its peak resident memory a moment later,
//    with Tovrin reading a 10,000-reminder store;
//  - the processor time each uses over 60 idle seconds after start-up.
// Medians and the ratios Tovrin / bare are reported as counters; on a busy machine the processor
// time each spent before its loop ran (cpu_ratio) is the steadier figure.
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
    Child(const fs::path& program, const fs::path& workDir, const fs::path& runtimeDir) {
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
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
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

// Ten thousand reminders, none due or timed today unless `due` asks for a dozen dated ones due
// within the advance notice: then the current messages show at start-up.
std::vector<ReminderRecord> StoreRecords(bool due) {
    const SYSTEMTIME today = TodayOf(GetLocalTime());
    const std::int32_t modes[] = {MODE_ONCE, MODE_DAILY, MODE_NONE, MODE_YEARLY, MODE_MONTHLY};
    std::vector<ReminderRecord> records;
    for (int i = 0; i < kStoreSize; ++i) {
        const std::int32_t mode = modes[i % 5];
        SYSTEMTIME when = *AddDays(today, -400 - i % 300);
        if (mode == MODE_YEARLY || mode == MODE_MONTHLY) {
            when = *AddDays(today, 180);
            when.wDay = static_cast<std::uint16_t>(today.wDay <= 14 ? 25 : 10);
        }
        if (due && i < kDueInStore) {
            when = *AddDays(today, i % 2);
            records.push_back(Record(MODE_NONE, when, "Due reminder " + std::to_string(i)));
            continue;
        }
        records.push_back(Record(mode, when, "Stored reminder number " + std::to_string(i)));
    }
    return records;
}

struct Setup {
    fs::path dir;
    fs::path quietDir;
    fs::path dueDir;
    fs::path runtime;

    ~Setup() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

fs::path MakeWorkDir(const fs::path& dir, bool due) {
    fs::create_directories(dir / "Base");
    fs::copy_file(fs::path(TOVRIN_SOURCE_DIR) / "res/Base/default.lng", dir / "Base/default.lng",
                  fs::copy_options::overwrite_existing);
    WriteStore(dir / "Base/ztovrin.dat", StoreRecords(due));
    return dir;
}

const Setup& GetSetup() {
    static const Setup setup = [] {
        Setup s;
        std::string pattern = (fs::temp_directory_path() / "tovrin-bench-XXXXXX").string();
        s.dir = ::mkdtemp(pattern.data());
        s.quietDir = MakeWorkDir(s.dir / "quiet", false);
        s.dueDir = MakeWorkDir(s.dir / "due", true);
        s.runtime = s.dir / "runtime";
        fs::create_directory(s.runtime);
        ::chmod(s.runtime.c_str(), 0700);
        return s;
    }();
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

Launch LaunchOnce(const fs::path& program, const fs::path& workDir) {
    Child child(program, workDir, GetSetup().runtime);
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

// Arg 0: a store with nothing to show; 1: a dozen current messages shown at start-up.
void BM_StartupAgainstBare(benchmark::State& state) {
    if (!HaveDisplay(state)) {
        return;
    }
    const Setup& setup = GetSetup();
    const fs::path workDir = state.range(0) == 0 ? setup.quietDir : setup.dueDir;
    // Caches (fonts, shared libraries) are warm for both before anything counts.
    LaunchOnce(BARE_PROGRAM, workDir);
    LaunchOnce(TOVRIN_PROGRAM, workDir);
    std::vector<double> ours, bare, oursCpu, bareCpu, oursMb, bareMb;
    bool oursFirst = true;
    for (auto _ : state) {
        Launch o, b;
        if (oursFirst) {
            o = LaunchOnce(TOVRIN_PROGRAM, workDir);
            b = LaunchOnce(BARE_PROGRAM, workDir);
        } else {
            b = LaunchOnce(BARE_PROGRAM, workDir);
            o = LaunchOnce(TOVRIN_PROGRAM, workDir);
        }
        oursFirst = !oursFirst;
        if (o.readyMs < 0 || b.readyMs < 0) {
            state.SkipWithError("a program did not reach its event loop");
            return;
        }
        state.SetIterationTime(o.readyMs / 1000.0);
        ours.push_back(o.readyMs);
        bare.push_back(b.readyMs);
        oursCpu.push_back(o.cpuMs);
        bareCpu.push_back(b.cpuMs);
        oursMb.push_back(o.peakMb);
        bareMb.push_back(b.peakMb);
    }
    state.counters["tovrin_ms"] = Median(ours);
    state.counters["bare_ms"] = Median(bare);
    state.counters["time_ratio"] = Median(ours) / Median(bare);
    state.counters["tovrin_cpu_ms"] = Median(oursCpu);
    state.counters["bare_cpu_ms"] = Median(bareCpu);
    state.counters["cpu_ratio"] = Median(oursCpu) / Median(bareCpu);
    state.counters["tovrin_peak_MiB"] = Median(oursMb);
    state.counters["bare_peak_MiB"] = Median(bareMb);
    state.counters["rss_ratio"] = Median(oursMb) / Median(bareMb);
}
BENCHMARK(BM_StartupAgainstBare)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Both programs side by side, idle for a minute after start-up.
void BM_IdleCpu60s(benchmark::State& state) {
    if (!HaveDisplay(state)) {
        return;
    }
    const Setup& setup = GetSetup();
    for (auto _ : state) {
        Child ours(TOVRIN_PROGRAM, setup.quietDir, setup.runtime);
        Child bare(BARE_PROGRAM, setup.quietDir, setup.runtime);
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
