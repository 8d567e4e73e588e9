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

    // The control each Tab goes to, from where the focus is until it comes back there: a
    // control that kept the focus through a Tab shows up twice in a row.
    static std::vector<QWidget*> Round(Qt::KeyboardModifiers chords = Qt::NoModifier) {
        QWidget* start = Focused();
        std::vector<QWidget*> seen;
        for (int i = 0; i < 40; ++i) {
            Key(Qt::Key_Tab, chords);
            seen.push_back(Focused());
            if (seen.back() == start) {
                break;
            }
        }
        return seen;
    }

    test::OwnerSpy owner_;
    std::vector<QString> opened_;
};

using Controls = std::vector<QWidget*>;

// The keys a user might strike out of habit: none of them adds, changes, deletes or opens
// anything, in the list or in the pane, even with deletions unconfirmed.
TEST_F(EditorKeys, NoKeyIsBoundToAPaneCommand) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one"), Rec(MODE_YEARLY, At(1990, 2, 1), "two")});
    test::WriteText("Base/Help.chm", "ITSF");
    confirmDelete = 0;
    auto editor = Open();
    ListView* list = editor->List();
    ASSERT_TRUE(list->hasFocus()); // the editor opens ready for the keys
    list->SelectRow(0);
    const auto strike = [this] {
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter,
                            Qt::Key_Delete, Qt::Key_F1}) {
            Key(key);
        }
    };
    strike();
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(editor->Pane()->hasFocus());
    strike();
    EXPECT_EQ(editor->HeldPage(), nullptr);
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_TRUE(opened_.empty());
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(editor->State().modified);

    // Space presses the pane's focused item, as it presses a focused button.
    Key(Qt::Key_Space);
    EXPECT_NE(qobject_cast<CModifyPage*>(editor->HeldPage()), nullptr);
}

// A stray Enter must not store a half-typed reminder, nor Escape throw the typing away: the page
// closes only on OK or Cancel, by a click or by Space on the focused button.
TEST_F(EditorKeys, TheRecordPageTakesNoEnterOrEscapeAndSpacePressesItsButtons) {
    auto editor = Open();
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    Key(Qt::Key_Space); // the pane's Add
    auto* page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->MessageField()->hasFocus());
    QTest::keyClicks(page->MessageField(), "three");
    for (int id : {IDC_MODIFY_TEXT, IDC_MODIFY_DATE, IDC_MODE_ONCE, IDOK, IDCANCEL}) {
        page->GetDlgItem(id)->setFocus();
        Key(Qt::Key_Return);
        Key(Qt::Key_Enter);
        Key(Qt::Key_Escape);
        EXPECT_TRUE(page->isVisible()) << id;
    }
    EXPECT_EQ(editor->List()->GetItemCount(), 0);
    EXPECT_EQ(page->MessageField()->text(), "three");
    EXPECT_FALSE(page->IsDlgButtonChecked(IDC_MODE_ONCE)); // Enter is no click on a box either

    page->GetDlgItem(IDOK)->setFocus();
    Key(Qt::Key_Space);
    EXPECT_FALSE(page->isVisible());
    ASSERT_EQ(editor->List()->GetItemCount(), 1);
    EXPECT_EQ(editor->List()->GetItemText(0, 1), "three");
    EXPECT_TRUE(editor->List()->hasFocus());
}

TEST_F(EditorKeys, ThePaneReachesSettingsHelpAndAbout) {
    test::WriteText("Base/Help.chm", "ITSF");
    auto editor = Open();
    IXCoolPane* pane = editor->Pane();
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(pane->hasFocus());
    Key(Qt::Key_PageDown);
    Key(Qt::Key_Space);
    auto* settings = qobject_cast<CSettingsPage*>(editor->HeldPage());
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->GetDlgItem(IDC_SETTINGS_DAYS)->hasFocus());

    pane->setFocus();
    Key(Qt::Key_Down);
    Key(Qt::Key_Space);
    EXPECT_EQ(opened_.size(), 1u);
    Key(Qt::Key_End);
    Key(Qt::Key_Space);
    auto* about = qobject_cast<CAboutPage*>(editor->HeldPage());
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(about->GetDlgItem(IDOK)->hasFocus());
    Key(Qt::Key_Return); // the about page has no filter: Enter is its OK
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(editor->List()->isVisible());
    EXPECT_EQ(editor->State().pageCommand, -1);
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
