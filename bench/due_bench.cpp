// The due rules at the scale of a large store: the date window over 100,000 mixed records, and
// one timer tick's check over a 10,000-record list of today's timed reminders.
#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/today_list.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace tovrin {
namespace {

constexpr std::uint16_t U16(int v) {
    return static_cast<std::uint16_t>(v);
}

SYSTEMTIME Today() {
    return DateFromDayNumber(DayNumber(SYSTEMTIME{2026, 12, 0, 8, 0, 0, 0, 0}));
}

// Every mode in roughly equal shares, dates spread over three years around today so that a
// realistic few per cent are due.
std::vector<ReminderRecord> MixedRecords(std::size_t count) {
    const std::int32_t modes[] = {MODE_YEARLY, MODE_MONTHLY, MODE_NONE, MODE_ONCE, MODE_DAILY};
    std::mt19937 random(42);
    std::uniform_int_distribution<std::int64_t> day(-365, 2 * 365);
    std::uniform_int_distribution<int> hour(0, 23);
    std::uniform_int_distribution<int> minute(0, 59);
    const std::int64_t today = DayNumber(Today());
    std::vector<ReminderRecord> records(count);
    for (std::size_t i = 0; i < count; ++i) {
        records[i].mode = modes[i % 5];
        records[i].when = DateFromDayNumber(today + day(random));
        records[i].when.wHour = U16(hour(random));
        records[i].when.wMinute = U16(minute(random));
    }
    return records;
}

void PerRecord(benchmark::State& state, std::size_t records) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
    state.counters["per_record"] = benchmark::Counter(
        static_cast<double>(records),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Target: under 100 ns a record.
void BM_DateWindowOffset(benchmark::State& state) {
    const std::vector<ReminderRecord> records = MixedRecords(100'000);
    const SYSTEMTIME today = Today();
    for (auto _ : state) {
        std::uint32_t due = 0;
        for (const ReminderRecord& record : records) {
            due += DateWindowOffset(record, today, 9).has_value() ? 1 : 0;
        }
        benchmark::DoNotOptimize(due);
    }
    PerRecord(state, records.size());
}
BENCHMARK(BM_DateWindowOffset)->Unit(benchmark::kMicrosecond);

// The same records with the largest window a hand-edited settings file can hold: no per-day walk.
void BM_DateWindowOffsetLargestWindow(benchmark::State& state) {
    const std::vector<ReminderRecord> records = MixedRecords(100'000);
    const SYSTEMTIME today = Today();
    for (auto _ : state) {
        std::uint32_t due = 0;
        for (const ReminderRecord& record : records) {
            due += DateWindowOffset(record, today, 4294967295u).has_value() ? 1 : 0;
        }
        benchmark::DoNotOptimize(due);
    }
    PerRecord(state, records.size());
}
BENCHMARK(BM_DateWindowOffsetLargestWindow)->Unit(benchmark::kMicrosecond);

// The window worked out once for the whole store, as the readers of a store use it, with the
// usual advance notice (Arg 9) and the largest (Arg 4294967295): each record's cost must not
// depend on the window's length.
void BM_DateWindow(benchmark::State& state) {
    const std::vector<ReminderRecord> records = MixedRecords(100'000);
    const SYSTEMTIME today = Today();
    const auto days = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        const DateWindow window(today, days);
        std::uint32_t due = 0;
        for (const ReminderRecord& record : records) {
            due += window.Offset(record).has_value() ? 1 : 0;
        }
        benchmark::DoNotOptimize(due);
    }
    PerRecord(state, records.size());
}
BENCHMARK(BM_DateWindow)->Arg(9)->Arg(4294967295)->Unit(benchmark::kMicrosecond);

// A tick in a minute where nothing fires, the case of almost every tick. Target: under 20 ns a
// record.
void BM_CheckTimedDue(benchmark::State& state) {
    std::vector<ReminderRecord> list(10'000);
    const SYSTEMTIME today = Today();
    for (std::size_t i = 0; i < list.size(); ++i) {
        list[i].mode = i % 2 == 0 ? MODE_ONCE : MODE_DAILY;
        list[i].when = today;
        list[i].when.wHour = U16(i / 60 % 24);
        list[i].when.wMinute = U16(i % 60);
        // Half of today's list has fired already.
        list[i].state = i % 4 < 2 ? FIRED_MARK : 0;
    }
    SYSTEMTIME now = today;
    now.wHour = 23;
    now.wMinute = 59;
    now.wSecond = 30;
    std::vector<ReminderRecord> fired;
    for (auto _ : state) {
        fired.clear();
        benchmark::DoNotOptimize(CheckTimedDue(list, now, fired));
        benchmark::ClobberMemory();
    }
    PerRecord(state, list.size());
}
BENCHMARK(BM_CheckTimedDue)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tovrin

BENCHMARK_MAIN();
