#include "controls/cool_pane.h"
#include "controls/hyper_link.h"
#include "editor_fixture.h"
#include "platform/date_time_picker.h"
#include "platform/dlg_item.h"
#include "platform/edit_control.h"
#include "platform/list_view.h"
#include "res/resource.h"
#include "ui/about_page.h"
#include "ui/editor_dlg.h"
#include "ui/modify_page.h"
#include "ui/settings_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTest>

#include <memory>
#include <vector>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;

// The editor driven from the keyboard alone, as a user without a mouse drives it.
class EditorKeys : public test::EditorFixture {
protected:
    std::unique_ptr<CEditorDlg> Open() {
        auto editor = std::make_unique<CEditorDlg>(nullptr, &owner_);
        EXPECT_TRUE(editor->Create());
        editor->SetShellOpener(
            [this](const QString& target, const ShellOpenDone& done, const OpenerTexts&) {
                opened_.push_back(target);
                done(QString());
            });
        editor->activateWindow();
        QApplication::setActiveWindow(editor.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        return editor;
    }

    static void Key(Qt::Key key, Qt::KeyboardModifiers chords = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, chords);
    }

    static void HeldKey(Qt::Key key) {
        QKeyEvent held(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(QApplication::focusWidget(), &held);
    }

    // The control that has the focus: the widget itself, or the control it is part of (the
    // picker's inner editor belongs to the picker).
    static QWidget* Focused() {
        QWidget* w = QApplication::focusWidget();
        while (w != nullptr && w->parentWidget() != nullptr &&
               qobject_cast<Dialog*>(w->parentWidget()) == nullptr) {
            w = w->parentWidget();
        }
        return w;
    }

    // The controls the focus visits from where it is until it comes back there. Tab walks the
    // picker's fields (hour, minutes, day...) before it leaves: one control, counted once.
    static std::vector<QWidget*> Round(Qt::KeyboardModifiers chords = Qt::NoModifier) {
        QWidget* start = Focused();
        std::vector<QWidget*> seen;
        for (int i = 0; i < 40; ++i) {
            Key(Qt::Key_Tab, chords);
            if (seen.empty() || seen.back() != Focused()) {
                seen.push_back(Focused());
            }
            if (seen.back() == start && seen.size() > 1) {
                break;
            }
        }
        return seen;
    }

    test::OwnerSpy owner_;
    std::vector<QString> opened_;
};

using Controls = std::vector<QWidget*>;

TEST_F(EditorKeys, EveryCommandOfThePaneHasAKeyInTheList) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one"), Rec(MODE_YEARLY, At(1990, 2, 1), "two")});
    test::WriteText("Base/Help.chm", "ITSF");
    auto editor = Open();
    ListView* list = editor->List();
    ASSERT_TRUE(list->hasFocus()); // the editor opens ready for the keys

    Key(Qt::Key_F1);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QDir::toNativeSeparators(
                              QFileInfo(QStringLiteral("Base/Help.chm")).absoluteFilePath()));

    // Insert: a new record, typed and confirmed without leaving the keyboard.
    Key(Qt::Key_Insert);
    auto* page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->LoadedRecord().mode, -1);
    ASSERT_TRUE(page->MessageField()->hasFocus());
    QTest::keyClicks(page->MessageField(), "three");
    Key(Qt::Key_Escape); // never throws the typing away
    Key(Qt::Key_F1);     // the help leaves the page alone
    EXPECT_EQ(opened_.size(), 2u);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->MessageField()->text(), "three");
    Key(Qt::Key_Return);
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(list->GetItemText(2, 1), "three");
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->hasFocus());

    // F2 opens the selected row; Enter on the focused Cancel button leaves it as it was.
    Key(Qt::Key_F2);
    page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(TextOf(page->LoadedRecord()), "three");
    page->GetDlgItem(IDCANCEL)->setFocus();
    Key(Qt::Key_Return);
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(list->hasFocus());

    // Delete asks first, as the settings say; a held key deletes one row only.
    boxes_.SetAnswer(IDCANCEL);
    Key(Qt::Key_Delete);
    EXPECT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(list->GetItemCount(), 3);
    boxes_.SetAnswer(IDOK);
    Key(Qt::Key_Delete);
    HeldKey(Qt::Key_Delete);
    HeldKey(Qt::Key_Delete);
    EXPECT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(list->GetItemCount(), 2);
}

TEST_F(EditorKeys, ThePaneReachesSettingsHelpAndAboutAndTakesTheListsKeys) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one")});
    test::WriteText("Base/Help.chm", "ITSF");
    confirmDelete = 0;
    auto editor = Open();
    IXCoolPane* pane = editor->Pane();
    editor->List()->SelectRow(0);
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(pane->hasFocus());

    Key(Qt::Key_Delete); // acts on the list's selected row
    EXPECT_EQ(editor->List()->GetItemCount(), 0);
    pane->setFocus();
    Key(Qt::Key_PageDown);
    Key(Qt::Key_Return);
    auto* settings = qobject_cast<CSettingsPage*>(editor->HeldPage());
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->GetDlgItem(IDC_SETTINGS_DAYS)->hasFocus());

    pane->setFocus();
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    EXPECT_EQ(opened_.size(), 1u);
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    auto* about = qobject_cast<CAboutPage*>(editor->HeldPage());
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->GetDlgItem(IDOK)->hasFocus());
    Key(Qt::Key_Return);
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(editor->List()->isVisible());
    EXPECT_EQ(editor->State().pageCommand, -1);
    Key(Qt::Key_Insert);
    EXPECT_NE(qobject_cast<CModifyPage*>(editor->HeldPage()), nullptr);
}

TEST_F(EditorKeys, TabVisitsEveryControlOfTheEditorAndOfEachPageAndShiftTabGoesBack) {
    auto editor = Open();
    QWidget* pane = editor->Pane();
    QWidget* list = editor->List();
    ASSERT_EQ(Focused(), list);
    EXPECT_EQ(Round(), (Controls{pane, list}));
    EXPECT_EQ(Round(Qt::ShiftModifier), (Controls{pane, list}));

    editor->OnCommand(ID_PANE_ADD);
    Dialog* page = editor->HeldPage();
    const auto control = [&page](int id) { return page->GetDlgItem(id); };
    ASSERT_EQ(Focused(), control(IDC_MODIFY_TEXT));
    const Controls record{control(IDC_MODIFY_DATE),  control(IDC_MODE_DAILY),
                          control(IDC_MODE_YEARLY),  control(IDC_MODE_ONCE),
                          control(IDC_MODE_MONTHLY), control(IDOK),
                          control(IDCANCEL),         pane,
                          control(IDC_MODIFY_TEXT)};
    EXPECT_EQ(Round(), record);
    Controls back(record.rbegin() + 1, record.rend());
    back.push_back(control(IDC_MODIFY_TEXT));
    EXPECT_EQ(Round(Qt::ShiftModifier), back);

    editor->OnCommand(ID_PANE_SETTINGS);
    page = editor->HeldPage();
    ASSERT_EQ(Focused(), control(IDC_SETTINGS_DAYS));
    EXPECT_EQ(Round(), (Controls{control(IDC_SETTINGS_CONFIRM), control(IDOK), pane,
                                 control(IDC_SETTINGS_DAYS)}));

    editor->OnCommand(ID_PANE_ABOUT);
    page = editor->HeldPage();
    ASSERT_EQ(Focused(), control(IDOK));
    const Controls about = Round();
    QWidget* link = qobject_cast<CAboutPage*>(page)->Link();
    EXPECT_EQ(about, (Controls{link, pane, control(IDOK)}));
}

} // namespace
} // namespace tovrin
