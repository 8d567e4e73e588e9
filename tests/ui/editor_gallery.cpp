// Opens the editor on a small store with a reminder of every mode, optionally with one of its
// pages, for looking at under Xvfb. Not a test.
//
//   editor_gallery [list|sorted|new|yearly|refused|edit-once|edit-daily|settings|settings-long|
//                   settings-fail|about|delete|savefail|readonly|help] [english]
//
// Qt's own texts follow the desktop's language (LANG), as in the program.
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "core/store/store_file.h"
#include "platform/edit_control.h"
#include "platform/list_view.h"
#include "platform/qt_translations.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/modify_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>

#include <filesystem>
#include <string>
#include <vector>

using namespace tovrin;

namespace {

ReminderRecord Make(int mode, SYSTEMTIME when, const std::string& text) {
    ReminderRecord record;
    record.mode = mode;
    record.when = when;
    SetText(record, text);
    return record;
}

void SeedBase(const std::filesystem::path& source, bool english) {
    namespace fs = std::filesystem;
    fs::create_directories("Base");
    fs::copy_file(source / "res/Base" / (english ? "english.lng" : "default.lng"), kLangPath,
                  fs::copy_options::overwrite_existing);
    const std::vector<ReminderRecord> records{
        Make(MODE_ONCE, {2031, 3, 0, 14, 14, 30, 0, 0}, "Dentist at half past two"),
        Make(MODE_DAILY, {2024, 1, 0, 1, 8, 0, 0, 0}, "Take the tablets"),
        Make(MODE_YEARLY, {1990, 5, 0, 5, 0, 0, 0, 0}, "Anna's birthday"),
        Make(MODE_MONTHLY, {2024, 1, 0, 28, 0, 0, 0, 0}, "Pay the rent"),
        Make(MODE_NONE, {2031, 12, 0, 31, 0, 0, 0, 0}, "New Year's Eve party"),
        Make(MODE_YEARLY, {1985, 11, 0, 7, 0, 0, 0, 0},
             "\xc4\xe5\xed\xfc \xf0\xee\xe6\xe4\xe5"
             "\xed\xe8\xff \xc8\xe2\xe0\xed\xe0"),
    };
    WriteStore(kStorePath, records);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallQtTranslations(app, QLocale());
    const std::string view = argc > 1 ? argv[1] : "list";
    const bool english = argc > 2 && std::string(argv[2]) == "english";
    SeedBase(TOVRIN_SOURCE_DIR, english);
    notifyDays = 3;
    confirmDelete = 1;

    CEditorDlg editor(nullptr, nullptr);
    editor.Create();
    if (view == "new") {
        editor.OnCommand(ID_PANE_ADD);
    } else if (view == "yearly") {
        editor.OnCommand(ID_PANE_ADD);
        auto* page = qobject_cast<CModifyPage*>(editor.HeldPage());
        page->GetDlgItemAs<QAbstractButton>(IDC_MODE_YEARLY)->click();
    } else if (view == "edit-once" || view == "edit-daily") {
        const int wanted = view == "edit-once" ? MODE_ONCE : MODE_DAILY;
        for (int row = 0; row < editor.State().RowCount(); ++row) {
            if (editor.State().RowRecord(row)->mode == wanted) {
                editor.List()->SelectRow(row);
            }
        }
        editor.OnCommand(ID_PANE_MODIFY);
    } else if (view == "settings") {
        editor.OnCommand(ID_PANE_SETTINGS);
    } else if (view == "settings-long") {
        // A count written into the file by other means, longer than the field's one digit.
        notifyDays = 4294967295u;
        editor.OnCommand(ID_PANE_SETTINGS);
    } else if (view == "settings-fail") {
        // A folder where the settings file goes: Apply cannot write it.
        std::filesystem::remove(kSettingsPath);
        std::filesystem::create_directory(kSettingsPath);
        editor.OnCommand(ID_PANE_SETTINGS);
        QTimer::singleShot(300, &editor, [&editor] {
            editor.HeldPage()->GetDlgItemAs<QAbstractButton>(IDOK)->click();
        });
    } else if (view == "help") {
        // With a help file in place; what the desktop's opener says decides whether a box shows.
        std::filesystem::copy_file(std::filesystem::path(TOVRIN_SOURCE_DIR) /
                                       "res/Base/default.lng",
                                   kHelpPath, std::filesystem::copy_options::overwrite_existing);
        QTimer::singleShot(200, &editor, [&editor] { editor.OnCommand(ID_PANE_HELP); });
    } else if (view == "about") {
        editor.OnCommand(ID_PANE_ABOUT);
    } else if (view == "refused") {
        editor.OnCommand(ID_PANE_ADD);
        auto* page = qobject_cast<CModifyPage*>(editor.HeldPage());
        QTimer::singleShot(300, page, [page] {
            page->MessageField()->clear();
            for (const QString& key : {QStringLiteral("T"), QStringLiteral("e"),
                                       QStringLiteral("a"), QString::fromUtf8("☕")}) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
                QApplication::sendEvent(page->MessageField(), &press);
            }
        });
    } else if (view == "sorted") {
        editor.SortByColumn(1);
        editor.List()->SelectRow(2);
    } else if (view == "delete") {
        editor.List()->SelectRow(1);
        QTimer::singleShot(200, &editor, [&editor] { editor.OnCommand(ID_PANE_DELETE); });
    } else if (view == "savefail" || view == "readonly") {
        // A record added, then the folder taken away or the store made read-only: the close
        // cannot save.
        editor.OnCommand(ID_PANE_ADD);
        auto* page = qobject_cast<CModifyPage*>(editor.HeldPage());
        page->MessageField()->setText("Call the bank");
        page->GetDlgItemAs<QAbstractButton>(IDOK)->click();
        if (view == "readonly") {
            std::filesystem::permissions(kStorePath, std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);
        } else {
            std::filesystem::rename("Base", "Base.away");
        }
        QTimer::singleShot(200, &editor, [&editor] { editor.close(); });
    }
    return app.exec();
}
