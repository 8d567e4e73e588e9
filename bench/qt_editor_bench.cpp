// The editor on a large store: opening it (read, rows, first sort) against reading the same file
// alone, and sorting by text and by date.
#include "core/editor/editor_state.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "platform/message_box.h"
#include "ui/collated_text_order.h"
#include "ui/editor_dlg.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdlib>
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

std::vector<ReminderRecord> MakeRecords() {
    std::mt19937 random(1983);
    const int modes[] = {MODE_ONCE, MODE_DAILY, MODE_YEARLY, MODE_MONTHLY, MODE_NONE};
    std::vector<ReminderRecord> records(kRecords);
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

// A working directory of its own with Base/ holding the language file and a large store.
class BenchBase {
public:
    BenchBase() {
        std::string pattern = (fs::temp_directory_path() / "editor-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
        fs::create_directory(dir_ / "Base");
        fs::current_path(dir_);
        const fs::path source = fs::path(__FILE__).parent_path().parent_path();
        fs::copy_file(source / "res/Base/default.lng", kLangPath);
        const std::vector<ReminderRecord> records = MakeRecords();
        if (!WriteStore(kStorePath, records)) {
            throw std::runtime_error("cannot write the store");
        }
    }
    ~BenchBase() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

private:
    fs::path dir_;
};

BenchBase* base = nullptr;

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

void BM_SortByText(benchmark::State& state) {
    SortBench(state, kTextColumn);
}
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);

void BM_SortByDate(benchmark::State& state) {
    SortBench(state, kDateColumn);
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);

// The text order alone, without the list, and how often it had to ask the collator.
void BM_CollatedOrderOnly(benchmark::State& state) {
    EditorState editor;
    editor.Load(kStorePath, SYSTEMTIME{2029, 1, 1, 1, 0, 0, 0, 0});
    CollatedTextOrder order;
    FoldedByteOrder dates;
    for (auto _ : state) {
        state.PauseTiming();
        editor.SortRows(kDateColumn, dates);
        state.ResumeTiming();
        editor.SortRows(kTextColumn, order);
    }
    state.counters["collator_calls"] = static_cast<double>(order.CollatorCalls());
    state.counters["fell_back"] = order.FellBack() ? 1 : 0;
}
BENCHMARK(BM_CollatedOrderOnly)->Unit(benchmark::kMillisecond);

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
