// The store's reader and writer next to their floors, in the same run: one bulk read of the same
// bytes, and one plain unsynced write of them. The write side also breaks the durable save into
// its parts, to show where the time goes.
#include "core/store/atomic_file.h"
#include "core/store/store_file.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace tovrin;
namespace fs = std::filesystem;

constexpr int kRecords = 100'000;

struct Scratch {
    fs::path dir;
    fs::path store;
    std::vector<ReminderRecord> records;
    std::vector<std::uint8_t> bytes;

    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "store-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        dir = pattern;
        store = dir / "ztovrin.dat";
        const int32_t modes[] = {MODE_NONE, MODE_DAILY, MODE_YEARLY, MODE_MONTHLY, MODE_ONCE};
        for (int i = 0; i < kRecords; ++i) {
            ReminderRecord r;
            r.mode = modes[i % 5];
            r.when = {static_cast<uint16_t>(2000 + i % 30),
                      static_cast<uint16_t>(1 + i % 12),
                      0,
                      static_cast<uint16_t>(1 + i % 28),
                      static_cast<uint16_t>(i % 24),
                      static_cast<uint16_t>(i % 60),
                      0,
                      0};
            SetText(r, "Reminder number " + std::to_string(i) + ", with a text of some length");
            records.push_back(r);
        }
        bytes = EncodeStore(records);
        if (!WriteStore(store, records)) {
            std::abort();
        }
    }
    ~Scratch() { fs::remove_all(dir); }
};

Scratch& Data() {
    static Scratch scratch;
    return scratch;
}

void PlainWrite(const fs::path& file, const std::vector<std::uint8_t>& bytes, int (*sync)(int)) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    if (sync != nullptr && sync(fd) != 0) {
        std::abort();
    }
    ::close(fd);
}

void BM_BulkReadFloor(benchmark::State& state) {
    const fs::path& store = Data().store;
    for (auto _ : state) {
        const int fd = ::open(store.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        ::fstat(fd, &info);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
        if (::read(fd, bytes.data(), bytes.size()) != info.st_size) {
            std::abort();
        }
        ::close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ReadStore(benchmark::State& state) {
    const fs::path& store = Data().store;
    for (auto _ : state) {
        std::vector<ReminderRecord> records;
        ReadStore(store, IfMissing::LeaveAlone, records);
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// What a reader that keeps few records pays: nothing is stored.
void BM_ForEachStoredRecord(benchmark::State& state) {
    const fs::path& store = Data().store;
    for (auto _ : state) {
        int timed = 0;
        ForEachStoredRecord(store, IfMissing::LeaveAlone, [&](const ReminderRecord& r) {
            timed += r.mode == MODE_ONCE || r.mode == MODE_DAILY;
        });
        benchmark::DoNotOptimize(timed);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_PlainWriteFloor(benchmark::State& state) {
    const fs::path file = Data().dir / "plain.dat";
    for (auto _ : state) {
        PlainWrite(file, Data().bytes, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_WriteStore(benchmark::State& state) {
    for (auto _ : state) {
        if (!WriteStore(Data().store, Data().records)) {
            std::abort();
        }
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

// The parts of a durable save, one at a time.
void BM_EncodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeStore(Data().records).data());
    }
}

void BM_PlainWriteFsync(benchmark::State& state) {
    const fs::path file = Data().dir / "plain.dat";
    for (auto _ : state) {
        PlainWrite(file, Data().bytes, ::fsync);
    }
}

void BM_PlainWriteFdatasync(benchmark::State& state) {
    const fs::path file = Data().dir / "plain.dat";
    for (auto _ : state) {
        PlainWrite(file, Data().bytes, ::fdatasync);
    }
}

// A file made anew each time, as the save does, synced with fdatasync instead of fsync.
void BM_AtomicWithFdatasync(benchmark::State& state) {
    FileSysCalls sys = FileSysCalls::Posix();
    sys.sync = [](int fd) { return ::fdatasync(fd); };
    for (auto _ : state) {
        if (!WriteFileAtomically(Data().store, EncodeStore(Data().records), sys)) {
            std::abort();
        }
    }
}

BENCHMARK(BM_BulkReadFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForEachStoredRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteStore)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteFsync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteFdatasync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AtomicWithFdatasync)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
