// The editor on a large store: opening it (read, rows, first sort) against reading the same file
// alone, and sorting by text and by date. Sorting by text is timed at 100,000 and 1,000,000 rows,
// in the C locale and in Russian, against a plain byte-order sort of the same rows in the same
// run, with the heap it takes beyond what the editor held before (counted by heap_counter.h).
#include "bench/heap_counter.h"
#include "core/editor/editor_state.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "platform/message_box.h"
#include "ui/collated_text_order.h"
#include "ui/editor_dlg.h"

#include <QApplication>
#include <QLocale>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace tovrin;

namespace {

constexpr int kRecords = 100000;
constexpr int kManyRecords = 1000000;

// Words of the kind reminders are written in, Russian (windows-1251) and English.
const char* const kWords[] = {"\xcf\xee\xe7\xe2\xee\xed\xe8\xf2\xfc", // Позвонить
                              "\xec\xe0\xec\xe5",                     // маме
                              "\xe2\xf0\xe0\xf7\xf3",                 // врачу
                              "\xee\xf2\xf7\xb8\xf2",                 // отчёт
                              "\xd1\xe4\xe0\xf2\xfc",                 // Сдать
                              "\xea\xf3\xef\xe8\xf2\xfc",             // купить
                              "\xe4\xe5\xed\xfc",                     // день
                              "\xf0\xee\xe6\xe4\xe5\xed\xe8\xff",     // рождения
                              "\xa8\xeb\xea\xe0",                     // Ёлка
                              "\xe2",
                              "\xe8",
                              "Call",
                              "the",
                              "bank",
                              "Meeting",
                              "pay",
                              "rent",
                              "birthday",
                              "Anna",
                              "dentist",
                              "at",
                              "milk",
                              "Buy",
                              "(office)",
                              "-",
                              "report,",
                              "done!"};

std::vector<ReminderRecord> MakeRecords(int count) {
    std::mt19937 random(1983);
    const int modes[] = {MODE_ONCE, MODE_DAILY, MODE_YEARLY, MODE_MONTHLY, MODE_NONE};
    std::vector<ReminderRecord> records(static_cast<std::size_t>(count));
    for (ReminderRecord& record : records) {
        record.mode = modes[random() % 5];
        record.when = SYSTEMTIME{static_cast<uint16_t>(2030 + random() % 5),
                                 static_cast<uint16_t>(1 + random() % 12),
                                 0,
                                 static_cast<uint16_t>(1 + random() % 28),
                                 static_cast<uint16_t>(random() % 24),
                                 static_cast<uint16_t>(random() % 60),
                                 0,
                                 0};
        std::string text;
        const int words = 2 + static_cast<int>(random() % 6);
        for (int w = 0; w < words && text.size() < 60; ++w) {
            text += (w > 0 ? " " : "");
            text += kWords[random() % std::size(kWords)];
        }
        text += " " + std::to_string(random() % 1000);
        SetText(record, text);
    }
    return records;
}

// A working directory of its own with Base/ holding the language file and a large store, and a
// second one beside it with a store ten times larger. The 100,000-record one is current unless a
// benchmark asks for the other.
class BenchBase {
public:
    BenchBase() {
        std::string pattern = (fs::temp_directory_path() / "editor-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
        Make(dir_ / "100k", kRecords);
        Make(dir_ / "1M", kManyRecords);
        Use(kRecords);
    }
    ~BenchBase() {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(dir_, ec);
    }
    void Use(int records) const { fs::current_path(dir_ / (records == kRecords ? "100k" : "1M")); }

private:
    static void Make(const fs::path& dir, int records) {
        fs::create_directories(dir / "Base");
        fs::copy_file(fs::path(TOVRIN_SOURCE_DIR) / "res/Base/default.lng", dir / kLangPath);
        if (!WriteStore(dir / kStorePath, MakeRecords(records))) {
            throw std::runtime_error("cannot write the store");
        }
    }

    fs::path dir_;
};

BenchBase* base = nullptr;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Processor time of the whole process (every thread), in milliseconds: on a busy machine the
// steadier figure.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void BM_ReadStore(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<ReminderRecord> records;
        ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        benchmark::DoNotOptimize(records.data());
    }
}
BENCHMARK(BM_ReadStore)->Unit(benchmark::kMillisecond);

// Opening the editor: the window, the store read with the load rule, the rows and the first
// sort by date; with `paint`, also the first picture of the window.
void OpenEditor(benchmark::State& state, bool paint) {
    MessageBoxRecorder boxes;
    for (auto _ : state) {
        auto editor = std::make_unique<CEditorDlg>(nullptr, nullptr);
        editor->Create();
        if (paint) {
            QApplication::processEvents();
        }
        state.PauseTiming();
        editor->CloseAndSave();
        editor.reset();
        state.ResumeTiming();
    }
}
void BM_OpenEditor(benchmark::State& state) {
    OpenEditor(state, false);
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

void BM_OpenEditorAndPaint(benchmark::State& state) {
    OpenEditor(state, true);
}
BENCHMARK(BM_OpenEditorAndPaint)->Unit(benchmark::kMillisecond);

void BM_EditorLoadOnly(benchmark::State& state) {
    for (auto _ : state) {
        EditorState editor;
        editor.Load(kStorePath, SYSTEMTIME{2029, 1, 1, 1, 0, 0, 0, 0});
        benchmark::DoNotOptimize(editor.RowCount());
    }
}
BENCHMARK(BM_EditorLoadOnly)->Unit(benchmark::kMillisecond);

// Each sort starts from the other column's order, as the user's alternating clicks do.
void SortBench(benchmark::State& state, int column) {
    MessageBoxRecorder boxes;
    CEditorDlg editor(nullptr, nullptr);
    editor.Create();
    for (auto _ : state) {
        state.PauseTiming();
        editor.SortByColumn(1 - column);
        state.ResumeTiming();
        editor.SortByColumn(column);
    }
    state.counters["rows"] = editor.State().RowCount();
    editor.CloseAndSave();
}

// Args: rows (100,000 or 1,000,000) and locale (0 the C locale, 1 Russian). Each sort by text is
// timed from the date order, as a click on the heading after opening; so is the yardstick, a
// stable sort of the same rows by their bytes (strcmp), as a program that knows no locale sorts
// them. Counters: medians in milliseconds, their ratio, the same for processor time (the sort may
// use two threads), and the most heap any sort took beyond what the editor held before it, per
// row.
void BM_SortByTextAt(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    base->Use(rows);
    QLocale::setDefault(state.range(1) == 0 ? QLocale::c() : QLocale(QStringLiteral("ru_RU")));
    MessageBoxRecorder boxes;
    auto editor = std::make_unique<CEditorDlg>(nullptr, nullptr);
    editor->Create();
    std::vector<double> ours, yardstick, oursCpu, yardstickCpu;
    std::int64_t mostExtra = 0;
    for (auto _ : state) {
        editor->SortByColumn(kDateColumn);
        const std::int64_t before = heap_counter::Live();
        heap_counter::ResetPeak();
        double cpu = CpuMs();
        auto start = std::chrono::steady_clock::now();
        editor->SortByColumn(kTextColumn);
        ours.push_back(MsSince(start));
        oursCpu.push_back(CpuMs() - cpu);
        mostExtra = std::max(mostExtra, heap_counter::Peak() - before);
        state.SetIterationTime(ours.back() / 1000.0);

        editor->SortByColumn(kDateColumn);
        std::vector<const ReminderRecord*> plain;
        for (int row = 0; row < editor->State().RowCount(); ++row) {
            plain.push_back(editor->State().RowRecord(row));
        }
        cpu = CpuMs();
        start = std::chrono::steady_clock::now();
        std::stable_sort(plain.begin(), plain.end(), [](const auto* a, const auto* b) {
            return std::strcmp(a->text, b->text) < 0;
        });
        yardstick.push_back(MsSince(start));
        yardstickCpu.push_back(CpuMs() - cpu);
        benchmark::DoNotOptimize(plain.data());
    }
    state.counters["rows"] = editor->State().RowCount();
    state.counters["tovrin_ms"] = Median(ours);
    state.counters["bytesort_ms"] = Median(yardstick);
    state.counters["ratio"] = Median(ours) / Median(yardstick);
    state.counters["tovrin_cpu_ms"] = Median(oursCpu);
    state.counters["cpu_ratio"] = Median(oursCpu) / Median(yardstickCpu);
    state.counters["extra_bytes_per_row"] =
        static_cast<double>(mostExtra) / editor->State().RowCount();
    editor->CloseAndSave();
    editor.reset();
    QLocale::setDefault(QLocale::system());
    base->Use(kRecords);
}
BENCHMARK(BM_SortByTextAt)
    ->ArgNames({"rows", "ru"})
    ->Args({kRecords, 0})
    ->Args({kRecords, 1})
    ->Args({kManyRecords, 0})
    ->Args({kManyRecords, 1})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_SortByText(benchmark::State& state) {
    SortBench(state, kTextColumn);
}
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);

void BM_SortByDate(benchmark::State& state) {
    SortBench(state, kDateColumn);
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);

// The text order alone, without the list, and how often it had to ask the collator. Args as
// BM_SortByTextAt's.
void BM_CollatedOrderOnly(benchmark::State& state) {
    base->Use(static_cast<int>(state.range(0)));
    const QLocale locale = state.range(1) == 0 ? QLocale::c() : QLocale(QStringLiteral("ru_RU"));
    EditorState editor;
    editor.Load(kStorePath, SYSTEMTIME{2029, 1, 1, 1, 0, 0, 0, 0});
    CollatedTextOrder order(locale);
    FoldedByteOrder dates;
    for (auto _ : state) {
        state.PauseTiming();
        editor.SortRows(kDateColumn, dates);
        state.ResumeTiming();
        editor.SortRows(kTextColumn, order);
    }
    state.counters["collator_calls"] = static_cast<double>(order.CollatorCalls());
    state.counters["fell_back"] = order.FellBack() ? 1 : 0;
    base->Use(kRecords);
}
BENCHMARK(BM_CollatedOrderOnly)
    ->ArgNames({"rows", "ru"})
    ->Args({kRecords, 1})
    ->Args({kManyRecords, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchBase bench;
    base = &bench;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
