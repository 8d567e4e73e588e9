// The editor's list with 100,000 reminders: filling, showing, sorting and deleting, with the rows
// kept by the owner and, for comparison, stored in the view.
#include "platform/list_view.h"
#include "res/window_styles.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

using namespace tovrin;

namespace {

constexpr int kRows = 100000;

struct Rows {
    std::vector<int> keys;  // what the owner sorts by (a day of the year)
    std::vector<int> order; // display order: indexes into keys
    Rows() : keys(kRows), order(kRows) {
        std::mt19937 random(42);
        std::uniform_int_distribution<int> day(1, 365);
        for (int& k : keys) {
            k = day(random);
        }
        std::iota(order.begin(), order.end(), 0);
    }
};

ListView::OwnerData SourceOf(const Rows& rows) {
    return {[&rows](int row, int column) {
                if (row < 0 || row >= static_cast<int>(rows.order.size())) {
                    return QString();
                }
                const int i = rows.order[row];
                return column == 0 ? QString::number(rows.keys[i]) : QString("message %1").arg(i);
            },
            [&rows](int row) {
                return row < static_cast<int>(rows.order.size()) ? rows.order[row] % 2
                                                                 : ListView::kNoImage;
            }};
}

void Columns(ListView& list) {
    list.InsertColumn(0, "Date");
    list.InsertColumn(1, "Message");
    list.SetColumnWidth(0, 80);
    list.SetColumnWidth(1, 305);
    list.resize(386, 260);
}

constexpr uint32_t kStyle = WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

// Owner rows: set the count, show the list and paint it once.
void BM_OwnerRowsFillAndShow(benchmark::State& state) {
    const Rows rows;
    for (auto _ : state) {
        ListView list(nullptr, kStyle);
        Columns(list);
        list.SetOwnerData(SourceOf(rows), kRows);
        list.show();
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_OwnerRowsFillAndShow)->Unit(benchmark::kMillisecond);

// The owner sorts its row order (stable, by key) and tells the view, which repaints; the
// selection follows its item.
void BM_OwnerRowsSort(benchmark::State& state) {
    Rows rows;
    ListView list(nullptr, kStyle);
    Columns(list);
    list.SetOwnerData(SourceOf(rows), kRows);
    list.show();
    list.SelectRow(500);
    for (auto _ : state) {
        state.PauseTiming();
        std::shuffle(rows.order.begin(), rows.order.end(), std::mt19937(7));
        list.OwnerRowsReordered();
        state.ResumeTiming();
        std::vector<int> oldOfNew(rows.order.size());
        std::iota(oldOfNew.begin(), oldOfNew.end(), 0);
        std::stable_sort(oldOfNew.begin(), oldOfNew.end(), [&rows](int a, int b) {
            return rows.keys[rows.order[a]] < rows.keys[rows.order[b]];
        });
        std::vector<int> sorted(rows.order.size());
        for (size_t n = 0; n < sorted.size(); ++n) {
            sorted[n] = rows.order[oldOfNew[n]];
        }
        rows.order.swap(sorted);
        list.OwnerRowsReordered(oldOfNew);
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_OwnerRowsSort)->Unit(benchmark::kMillisecond);

// Deleting the selected row from the middle and selecting the next.
void BM_OwnerRowsDelete(benchmark::State& state) {
    Rows rows;
    ListView list(nullptr, kStyle);
    Columns(list);
    list.SetOwnerData(SourceOf(rows), kRows);
    list.show();
    for (auto _ : state) {
        const int row = static_cast<int>(rows.order.size()) / 2;
        list.SelectRow(row);
        rows.order.erase(rows.order.begin() + row);
        list.OwnerRowsRemoved(row, 1);
        list.SelectRow(row);
        if (rows.order.size() < kRows / 2) {
            state.PauseTiming();
            rows.order.resize(kRows);
            std::iota(rows.order.begin(), rows.order.end(), 0);
            list.OwnerRowsReset(kRows);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_OwnerRowsDelete)->Unit(benchmark::kMicrosecond);

// The same list stored in the view, one item per row, for comparison.
void BM_StoredRowsFillAndShow(benchmark::State& state) {
    const Rows rows;
    for (auto _ : state) {
        ListView list(nullptr, kStyle);
        Columns(list);
        list.ReserveItems(kRows);
        for (int i = 0; i < kRows; ++i) {
            const int row = list.InsertItem(i, QString::number(rows.keys[i]), i % 2,
                                            static_cast<quintptr>(rows.keys[i]));
            list.SetItemText(row, 1, QString("message %1").arg(i));
        }
        list.show();
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_StoredRowsFillAndShow)->Unit(benchmark::kMillisecond);

void BM_StoredRowsSortItems(benchmark::State& state) {
    const Rows rows;
    ListView list(nullptr, kStyle);
    Columns(list);
    for (int i = 0; i < kRows; ++i) {
        list.InsertItem(i, QString::number(rows.keys[i]), i % 2,
                        static_cast<quintptr>(rows.keys[i] * kRows + i));
    }
    list.show();
    bool ascending = true;
    for (auto _ : state) {
        // Alternate the direction so every run really moves rows.
        list.SortItems([ascending](quintptr a, quintptr b) {
            const int c = a < b ? -1 : (a > b ? 1 : 0);
            return ascending ? c : -c;
        });
        ascending = !ascending;
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_StoredRowsSortItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
