// What a program that runs for months keeps from the windows the user opens and closes: the
// editor and the current messages opened from the tray and closed again, and the journal filled
// and cleared. Each benchmark runs 200 cycles and reports how much the resident memory grew from
// the end of cycle 10 (Qt's one-time caches are warm by then) to the end of cycle 200.
#include "core/schedule/clock.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "ui/notify_dlg.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace tovrin;

namespace {

constexpr int kCycles = 200;
constexpr int kWarmCycles = 10;
constexpr int kJournalRows = 20;

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Let the event loop finish what a closed window left behind, deferred deletes included.
void Settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// A working directory of its own: the shipped texts, and a store with one yearly reminder due
// today, so the current messages have something to show.
class BenchBase {
public:
    BenchBase() {
        const fs::path source = TOVRIN_SOURCE_DIR;
        std::string pattern = (fs::temp_directory_path() / "memory-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        dir_ = pattern;
        fs::create_directory(dir_ / "Base");
        fs::current_path(dir_);
        fs::copy_file(source / "res/Base/default.lng", kLangPath);
    }
    ~BenchBase() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    static void WriteDueToday() {
        ReminderRecord record;
        record.mode = MODE_YEARLY;
        record.when = GetLocalTime();
        SetText(record, "Birthday");
        if (!WriteStore(kStorePath, std::vector<ReminderRecord>{record})) {
            throw std::runtime_error("cannot write the store");
        }
    }
    static void WriteEmpty() {
        if (!WriteStore(kStorePath, std::vector<ReminderRecord>{})) {
            throw std::runtime_error("cannot write the store");
        }
    }

private:
    fs::path dir_;
};

// Runs `cycle` 200 times on one main window and reports the growth between cycle 10 and 200.
template <typename Cycle> void MeasureCycles(benchmark::State& state, Cycle cycle) {
    MessageBoxRecorder boxes;
    QuitRecorder quits;
    long warm = 0;
    long end = 0;
    for (auto _ : state) {
        CManagerDlg manager;
        manager.Create();
        Settle();
        for (int i = 1; i <= kCycles; ++i) {
            cycle(manager);
            Settle();
            if (i == kWarmCycles) {
                warm = ResidentKiB();
            }
        }
        end = ResidentKiB();
    }
    state.counters["growth_KiB"] = static_cast<double>(end - warm);
    state.counters["per_cycle_KiB"] =
        static_cast<double>(end - warm) / static_cast<double>(kCycles - kWarmCycles);
    state.counters["rss_KiB"] = static_cast<double>(end);
}

void BM_EditorOpenClose(benchmark::State& state) {
    BenchBase::WriteEmpty();
    MeasureCycles(state, [](CManagerDlg& manager) {
        manager.OnCommand(ID_EDITOR);
        Settle();
        if (manager.Editor() != nullptr) {
            manager.Editor()->close();
        }
    });
}
BENCHMARK(BM_EditorOpenClose)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CurrentMessagesOpenClose(benchmark::State& state) {
    BenchBase::WriteDueToday();
    MeasureCycles(state, [](CManagerDlg& manager) {
        manager.OnCommand(ID_CURRENT_MESSAGES);
        Settle();
        if (manager.Notify() != nullptr) {
            manager.Notify()->close();
        }
    });
}
BENCHMARK(BM_CurrentMessagesOpenClose)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_JournalClearAll(benchmark::State& state) {
    BenchBase::WriteEmpty();
    MeasureCycles(state, [](CManagerDlg& manager) {
        ListView* journal = manager.Journal();
        if (journal == nullptr) {
            return;
        }
        for (int row = 0; row < kJournalRows; ++row) {
            journal->InsertItem(0, QStringLiteral("Call the bank about the rent %1").arg(row));
        }
        manager.ShowJournal();
        Settle();
        manager.OnCommand(ID_CLEAR_ALL);
    });
}
BENCHMARK(BM_JournalClearAll)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    BenchBase base;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
