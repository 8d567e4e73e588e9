// The controls kit's paint costs: a whole navigation pane and a caption bar drawn off screen and
// copied once, the tray menu built afresh as on every click, and the colour blend.
#include "controls/cool_pane.h"
#include "controls/static_bar.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "controls/tray_icon.h"
#include "core/draw/blend_color.h"
#include "platform/command_target.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "support/editor_pane_items.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <benchmark/benchmark.h>

#include <array>

using namespace tovrin;

namespace {

class Owner : public QWidget, public TextSource, public TrayOwner {
public:
    QString OnGetText(int key) override { return QStringLiteral("Caption %1").arg(key); }
    void OnCommand(int) override {}
    void OnTrayMenu(QMenu& menu) override { SetMenuItemText(menu, 0, QStringLiteral("Journal")); }
};

EditorPaneItems items;

void BM_PanePaint(benchmark::State& state) {
    Owner owner;
    IXCoolPane pane;
    pane.textFromParent = true;
    pane.Create(QRect(0, 0, 124, 261), &owner, IDC_PANE);
    pane.AddFolder({34, 3, items.records.data(), {}, 0, 0});
    pane.AddFolder({35, 3, items.program.data(), {}, 0, 0});
    QImage target(124, 261, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        pane.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PanePaint)->Unit(benchmark::kMicrosecond);

void BM_CaptionBarPaint(benchmark::State& state) {
    Owner owner;
    IXStatic bar;
    bar.SetIcon(IDI_BAR_TOP);
    bar.Create(QStringLiteral("Напоминания"), QRect(0, 0, 518, 27), &owner);
    QImage target(518, 27, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        bar.render(&target);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CaptionBarPaint)->Unit(benchmark::kMicrosecond);

void BM_TrayMenuBuild(benchmark::State& state) {
    Owner owner;
    CTrayIcon tray;
    tray.Create(&owner, IDR_TRAY_MENU, LoadIconResource(IDI_APP), QStringLiteral("Tovrin"));
    const std::array<int, 4> ids{IDB_MENU_JOURNAL, IDB_MENU_EDITOR, IDB_MENU_CURRENT,
                                 IDB_MENU_EXIT};
    tray.SetBitmaps(ids);
    tray.localiseMenu = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tray.BuildPopupMenu());
    }
    tray.Remove();
}
BENCHMARK(BM_TrayMenuBuild)->Unit(benchmark::kMicrosecond);

void BM_BlendColor(benchmark::State& state) {
    COLORREF a = 0xFFFFFF;
    for (auto _ : state) {
        a = BlendColor(a, 0x800000, 80) | 0x0F0F0F;
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_BlendColor);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitSysColors();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
