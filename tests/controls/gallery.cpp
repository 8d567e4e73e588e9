// Every control of the kit on one window, to look at: run it under a display (Xvfb with a tray
// host for the tray icon) and take screenshots. Not a test and not shipped.
//   controls_gallery [--popup]    --popup: open the tray menu by itself after a moment

#include "controls/cool_pane.h"
#include "controls/hyper_link.h"
#include "controls/static_bar.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "controls/tray_icon.h"
#include "platform/dlg_item.h"
#include "platform/resources.h"
#include "res/resource.h"
#include "support/editor_pane_items.h"

#include <QApplication>
#include <QMap>
#include <QMenu>
#include <QTimer>

#include <array>
#include <cstdio>

namespace tovrin {
namespace {

EditorPaneItems items;
std::array<CoolPaneItem, 3>& records = items.records;
std::array<CoolPaneItem, 3>& program = items.program;
std::array<CoolPaneItem, 6> all{
    {records[0], records[1], records[2], program[0], program[1], program[2]}};

class Gallery : public QWidget, public TextSource, public TrayOwner {
public:
    Gallery() {
        setWindowTitle(QStringLiteral("Controls gallery"));
        setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
        setFixedSize(900, 330);
        BuildEditorSide();
        BuildPages();
    }

    QString OnGetText(int key) override { return kTexts.value(key); }
    void OnCommand(int id) override {
        std::printf("command %d\n", id);
        std::fflush(stdout);
        if (id == ID_EXIT) {
            tray.Remove();
            QApplication::quit();
        }
    }
    void OnTrayMenu(QMenu& menu) override {
        std::printf("tray menu with %d entries\n", static_cast<int>(menu.actions().size()));
        std::fflush(stdout);
    }

    CTrayIcon tray;

private:
    void BuildEditorSide() {
        top.SetIcon(IDI_BAR_TOP);
        top.Create(QStringLiteral("Напоминания"), QRect(0, 0, 518, 27), this);
        bottom.SetIcon(IDI_BAR_BOTTOM);
        bottom.Create(QStringLiteral("Напоминания"), QRect(0, height() - 27, 518, 27), this);
        pane.textFromParent = true;
        pane.Create(QRect(2, 31, 124, 261), this, IDC_PANE);
        pane.AddFolder({34, 3, records.data(), {}, 0, 0});
        pane.AddFolder({35, 3, program.data(), {}, 0, 0});
        // A short pane with one long folder, to show the scroll arrows.
        small.textFromParent = true;
        small.Create(QRect(134, 31, 124, 180), this, 101);
        small.AddFolder({34, 6, all.data(), {}, 0, 0});
    }

    void BuildPages() {
        newRecord.SetIcon(IDI_NEW_RECORD);
        newRecord.Create(QStringLiteral("Новое напоминание"), QRect(270, 40, 368, 26), this);
        change.SetIcon(IDI_CHANGE_RECORD);
        change.Create(QStringLiteral("Изменить напоминание"), QRect(270, 76, 368, 26), this);
        // Bound to a placeholder, as the settings page's bar is.
        placeholder.setGeometry(270, 112, 368, 26);
        SetDlgCtrlID(&placeholder, IDC_SETTINGS_BAR);
        settings.SetIcon(IDI_SETTINGS);
        settings.Create(QStringLiteral("Настройки"), QRect(0, 0, 10, 10), this);
        about.SetIcon(IDI_ABOUT);
        about.Create(QStringLiteral("О программе"), QRect(270, 148, 384, 26), this);
        link.Create(LoadStringResource(IDS_WEB_ADDRESS), QRect(QPoint(313, 190), QSize(155, 9)),
                    this);
        plain.Create(QStringLiteral("Без значка"), QRect(270, 220, 368, 26), this);
        notify.SetIcon(IDI_BAR_TOP);
        notify.Create(QStringLiteral("Очень длинный заголовок, который заходит под значок"),
                      QRect(660, 40, 230, 26), this);
    }

    const QMap<int, QString> kTexts = {
        {9, QStringLiteral("Добавить")},     {10, QStringLiteral("Изменить")},
        {11, QStringLiteral("Удалить")},     {12, QStringLiteral("Настройки")},
        {13, QStringLiteral("Справка")},     {14, QStringLiteral("О программе")},
        {34, QStringLiteral("Напоминания")}, {35, QStringLiteral("Программа")},
    };
    IXStatic top, bottom, newRecord, change, settings{IDC_SETTINGS_BAR}, about, plain, notify;
    QWidget placeholder{this};
    IXHyperLink link;
    IXCoolPane pane;
    IXCoolPane small;
};

} // namespace
} // namespace tovrin

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tovrin::InitSysColors();
    tovrin::Gallery gallery;
    gallery.show();
    gallery.tray.Create(&gallery, tovrin::IDR_TRAY_MENU, tovrin::LoadIconResource(tovrin::IDI_APP),
                        QStringLiteral("Tovrin: напоминания"));
    const std::array<int, 4> bitmaps{tovrin::IDB_MENU_JOURNAL, tovrin::IDB_MENU_EDITOR,
                                     tovrin::IDB_MENU_CURRENT, tovrin::IDB_MENU_EXIT};
    gallery.tray.SetBitmaps(bitmaps);
    gallery.tray.localiseMenu = true;
    if (app.arguments().contains(QStringLiteral("--popup"))) {
        QTimer::singleShot(1500, &gallery,
                           [&gallery] { gallery.tray.ShowPopupMenu(QPoint(560, 300)); });
    }
    return QApplication::exec();
}
