#include "platform/dialog.h"

#include "platform/check_box.h"
#include "platform/date_time_picker.h"
#include "platform/dialog_units.h"
#include "platform/edit_control.h"
#include "platform/frame_centring.h"
#include "platform/list_view.h"
#include "platform/push_button.h"
#include "platform/static_control.h"
#include "res/resource.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace tovrin {
namespace {

// A window that records what reaches it and otherwise behaves as the base does.
class Probe : public Dialog {
public:
    using Dialog::Dialog;
    void OnCommand(int id) override {
        commands.push_back(id);
        Dialog::OnCommand(id);
    }
    void OnOK() override {
        ++oks;
        Dialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        Dialog::OnCancel();
    }
    bool OnInitDialog() override {
        ++inits;
        initSawControls = GetDlgItem(IDOK) != nullptr || GetDlgItem(IDC_EDITOR_LIST) != nullptr;
        return true;
    }
    void OnDestroy() override {
        ++destroys;
        stillThereInDestroy = IsWindow();
    }

    std::vector<int> commands;
    int oks = 0;
    int cancels = 0;
    int inits = 0;
    int destroys = 0;
    bool initSawControls = false;
    bool stillThereInDestroy = false;
};

QRect Geometry(const Dialog& d, int id) {
    const QWidget* w = d.GetDlgItem(id);
    return w != nullptr ? w->geometry() : QRect();
}

void Press(QWidget* target, Qt::Key key) {
    QTest::keyClick(target, key);
}

TEST(DialogUnits, ConvertWithTheTemplateFontsBaseUnits) {
    EXPECT_EQ(DluToPixelsX(346), 519);
    EXPECT_EQ(DluToPixelsY(199), 323);
    EXPECT_EQ(DluToPixelsX(257), 386); // 385.5 rounds half up, as MulDiv does
    EXPECT_EQ(DluToPixelsY(20), 33);   // 32.5
    EXPECT_EQ(DluToPixelsY(1), 2);
    EXPECT_EQ(DluToPixelsX(0), 0);
    EXPECT_EQ(MulDiv(-3, 6, 4), -5); // halves away from zero on the negative side too
}

TEST(Dialog, TheEditorIsBuiltToItsPixelLayout) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    EXPECT_TRUE(editor.isWindow());
    EXPECT_EQ(editor.size(), QSize(519, 323));
    EXPECT_EQ(editor.windowTitle(), "Tovrin");
    EXPECT_TRUE(editor.isVisible()); // visible at creation
    EXPECT_EQ(Geometry(editor, IDC_EDITOR_LIST), QRect(132, 33, 386, 260));
    EXPECT_EQ(Geometry(editor, IDC_EDITOR_PANE), QRect(2, 31, 125, 262));
    EXPECT_EQ(Geometry(editor, IDC_EDITOR_BOTTOMBAR), QRect(0, 296, 518, 28));
    // Placeholders are there to be measured, never seen or clicked.
    const QWidget* pane = editor.GetDlgItem(IDC_EDITOR_PANE);
    EXPECT_TRUE(pane->isHidden());
    EXPECT_FALSE(pane->isEnabled());
    EXPECT_NE(editor.GetDlgItemAs<ListView>(IDC_EDITOR_LIST), nullptr);
    EXPECT_EQ(editor.inits, 1);
    EXPECT_TRUE(editor.initSawControls);
}

TEST(Dialog, ACentredFrameKeepsItsTitleBarInTheWorkArea) {
    // The 1280x1000 left by a panel along the bottom, and a framed 614x318 window.
    EXPECT_EQ(CentredFramePosition(QRect(0, 0, 1280, 1000), QSize(616, 344)), QPoint(332, 328));
    // Larger than the area (a panel at the top), across or down: the corner stays inside, where
    // the title bar is.
    EXPECT_EQ(CentredFramePosition(QRect(0, 24, 800, 576), QSize(900, 300)), QPoint(0, 162));
    EXPECT_EQ(CentredFramePosition(QRect(0, 24, 800, 576), QSize(500, 700)), QPoint(150, 24));
}

TEST(Dialog, PagesAreChildrenPlacedInTheirParent) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe page;
    EXPECT_FALSE(page.Create(IDD_MODIFY, nullptr)); // a page needs a parent
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    EXPECT_FALSE(page.isWindow());
    EXPECT_EQ(page.parentWidget(), &editor);
    EXPECT_EQ(page.size(), QSize(384, 254));
    EXPECT_TRUE(page.isHidden()); // not visible at creation
    EXPECT_EQ(Geometry(page, IDC_MODIFY_TEXT), QRect(143, 49, 218, 21));
    EXPECT_EQ(Geometry(page, IDOK), QRect(203, 228, 75, 23));
    EXPECT_NE(page.GetDlgItemAs<DateTimePicker>(IDC_MODIFY_DATE), nullptr);
    EXPECT_NE(page.GetDlgItemAs<CheckBox>(IDC_MODE_DAILY), nullptr);
    EXPECT_NE(page.GetDlgItemAs<EditControl>(IDC_MODIFY_TEXT), nullptr);
    // The page's controls are the page's: the editor does not find them by number.
    EXPECT_EQ(editor.GetDlgItem(IDOK), nullptr);
    EXPECT_FALSE(page.Create(IDD_MODIFY, &editor)); // once only
}

TEST(Dialog, TemplateTextsAndStyles) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe settings;
    ASSERT_TRUE(settings.Create(IDD_SETTINGS, &editor));
    EXPECT_EQ(settings.GetDlgItemText(IDC_SETTINGS_CONFIRM_LABEL),
              QString::fromUtf8("Потверждение удаления"));
    EXPECT_EQ(settings.GetDlgItemText(IDOK), QString::fromUtf8("Применить"));
    EXPECT_EQ(settings.GetDefID(), IDOK);
    const auto* confirm = settings.GetDlgItemAs<CheckBox>(IDC_SETTINGS_CONFIRM);
    ASSERT_NE(confirm, nullptr);
    EXPECT_TRUE(confirm->IsAutomatic());
    const auto* label = settings.GetDlgItemAs<StaticControl>(IDC_SETTINGS_NOTIFY_LABEL);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(label->frameShape(), QFrame::Panel);

    Probe modify;
    ASSERT_TRUE(modify.Create(IDD_MODIFY, &editor));
    EXPECT_FALSE(modify.GetDlgItemAs<CheckBox>(IDC_MODE_ONCE)->IsAutomatic());
    EXPECT_EQ(modify.GetDefID(), IDOK); // no default button: Enter would mean IDOK
}

TEST(Dialog, ButtonClicksArriveAsCommands) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe page;
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    page.show();
    QTest::mouseClick(page.GetDlgItem(IDC_MODE_YEARLY), Qt::LeftButton);
    QTest::mouseClick(page.GetDlgItem(IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(page.commands, (std::vector<int>{IDC_MODE_YEARLY, IDCANCEL}));
    EXPECT_EQ(page.cancels, 1);
    EXPECT_TRUE(page.isHidden()); // OnCancel ended it: hidden, still a window
    EXPECT_TRUE(page.IsWindow());
    EXPECT_EQ(page.Result(), IDCANCEL);
    // A non-automatic box does not check itself; its owner does.
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_MODE_YEARLY), BST_UNCHECKED);
    page.CheckRadioButton(IDC_MODE_DAILY, IDC_MODE_MONTHLY, IDC_MODE_ONCE);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_MODE_ONCE), BST_CHECKED);
    page.CheckRadioButton(IDC_MODE_DAILY, IDC_MODE_MONTHLY, IDC_MODE_DAILY);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_MODE_ONCE), BST_UNCHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(IDC_MODE_DAILY), BST_CHECKED);
}

TEST(Dialog, EnterAndEscapeCloseAPlainDialog) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe about;
    ASSERT_TRUE(about.Create(IDD_ABOUT, &editor));
    about.show();
    Press(&about, Qt::Key_Return);
    EXPECT_EQ(about.commands, std::vector<int>{IDOK}); // the default button
    EXPECT_EQ(about.oks, 1);
    about.show();
    Press(&about, Qt::Key_Escape);
    EXPECT_EQ(about.cancels, 1);
    EXPECT_TRUE(about.isHidden());
}

TEST(Dialog, EnterOnAFocusedButtonPressesThatButton) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe page;
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    page.show();
    QApplication::setActiveWindow(&editor);
    QWidget* cancel = page.GetDlgItem(IDCANCEL);
    cancel->setFocus();
    ASSERT_TRUE(cancel->hasFocus());
    Press(cancel, Qt::Key_Enter);
    EXPECT_EQ(page.commands, std::vector<int>{IDCANCEL});
}

TEST(Dialog, TheKeyFilterLetsEnterAndEscapeReachTheControl) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    editor.SetKeyFilter(true);
    Probe page;
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    page.SetKeyFilter(true);
    page.show();
    auto* edit = page.GetDlgItemAs<EditControl>(IDC_MODIFY_TEXT);
    int returns = 0;
    QObject::connect(edit, &QLineEdit::returnPressed, [&returns] { ++returns; });
    Press(edit, Qt::Key_Return);
    Press(edit, Qt::Key_Escape);
    Press(page.GetDlgItem(IDOK), Qt::Key_Return);
    Press(editor.GetDlgItem(IDC_EDITOR_LIST), Qt::Key_Escape);
    EXPECT_EQ(returns, 1); // the edit saw Enter as an ordinary key
    EXPECT_TRUE(page.commands.empty());
    EXPECT_TRUE(editor.commands.empty());
    EXPECT_FALSE(page.isHidden());
    EXPECT_TRUE(editor.isVisible());
    // Other keys still work as in any dialog.
    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(edit->text(), "abc");
}

TEST(Dialog, ADisabledDefaultButtonSwallowsEnter) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe settings;
    ASSERT_TRUE(settings.Create(IDD_SETTINGS, &editor));
    settings.show();
    settings.GetDlgItem(IDOK)->setEnabled(false);
    Press(settings.GetDlgItem(IDC_SETTINGS_DAYS), Qt::Key_Return);
    EXPECT_TRUE(settings.commands.empty());
}

TEST(Dialog, TabMovesTheFocusThroughTheTabStops) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe settings;
    ASSERT_TRUE(settings.Create(IDD_SETTINGS, &editor));
    settings.show();
    editor.GetDlgItem(IDC_EDITOR_LIST)->hide();
    editor.activateWindow();
    QApplication::setActiveWindow(&editor);
    QWidget* days = settings.GetDlgItem(IDC_SETTINGS_DAYS);
    days->setFocus();
    ASSERT_TRUE(days->hasFocus());
    Press(days, Qt::Key_Tab);
    EXPECT_TRUE(settings.GetDlgItem(IDC_SETTINGS_CONFIRM)->hasFocus());
    Press(settings.GetDlgItem(IDC_SETTINGS_CONFIRM), Qt::Key_Tab);
    EXPECT_TRUE(settings.GetDlgItem(IDOK)->hasFocus());
}

TEST(Dialog, ThroughTheKeyFilterEnterPressesNoButtonButSpaceDoes) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    editor.SetKeyFilter(true);
    Probe page;
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    page.SetKeyFilter(true);
    page.show();
    QApplication::setActiveWindow(&editor);
    for (int id : {IDOK, IDCANCEL, IDC_MODE_DAILY}) {
        QWidget* control = page.GetDlgItem(id);
        control->setFocus();
        ASSERT_TRUE(control->hasFocus());
        Press(control, Qt::Key_Return);
        Press(control, Qt::Key_Enter);
        EXPECT_TRUE(page.commands.empty()) << id;
        EXPECT_FALSE(page.isHidden()) << id;
    }
    QWidget* cancel = page.GetDlgItem(IDCANCEL);
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Space);
    EXPECT_EQ(page.commands, std::vector<int>{IDCANCEL});
}

TEST(Dialog, WithoutTheFilterAHeldEnterPressesOnce) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe about;
    ASSERT_TRUE(about.Create(IDD_ABOUT, &editor));
    about.show();
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(&about, &held);
    EXPECT_TRUE(about.commands.empty());
    Press(&about, Qt::Key_Return);
    EXPECT_EQ(about.commands, std::vector<int>{IDOK});
}

TEST(Dialog, ArrowsPassTheFocusRoundAGroupWithoutCheckingAnything) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    Probe page;
    ASSERT_TRUE(page.Create(IDD_MODIFY, &editor));
    page.SetArrowGroup({IDC_MODE_DAILY, IDC_MODE_YEARLY, IDC_MODE_ONCE, IDC_MODE_MONTHLY});
    page.show();
    editor.show();
    QApplication::setActiveWindow(&editor);
    const auto focused = [] { return GetDlgCtrlID(QApplication::focusWidget()); };
    page.GetDlgItem(IDC_MODE_DAILY)->setFocus();
    const std::vector<std::pair<Qt::Key, int>> walk{
        {Qt::Key_Down, IDC_MODE_YEARLY},  {Qt::Key_Right, IDC_MODE_ONCE},
        {Qt::Key_Down, IDC_MODE_MONTHLY}, {Qt::Key_Down, IDC_MODE_DAILY}, // round again
        {Qt::Key_Up, IDC_MODE_MONTHLY},   {Qt::Key_Left, IDC_MODE_ONCE}};
    for (const auto& [key, expected] : walk) {
        Press(QApplication::focusWidget(), key);
        EXPECT_EQ(focused(), expected) << key;
    }
    for (int box : {IDC_MODE_DAILY, IDC_MODE_YEARLY, IDC_MODE_ONCE, IDC_MODE_MONTHLY}) {
        EXPECT_EQ(page.IsDlgButtonChecked(box), BST_UNCHECKED);
    }
    EXPECT_TRUE(page.commands.empty());

    // A box that cannot take the focus is passed over; Space still presses the focused one.
    page.GetDlgItem(IDC_MODE_MONTHLY)->setEnabled(false);
    Press(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(focused(), IDC_MODE_DAILY);
    Press(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(page.commands, std::vector<int>{IDC_MODE_DAILY});
    // Outside the group the arrows are the control's own.
    auto* edit = page.GetDlgItemAs<EditControl>(IDC_MODIFY_TEXT);
    edit->setText("ab");
    edit->setFocus();
    Press(edit, Qt::Key_Left);
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->cursorPosition(), 1);
}

TEST(Dialog, DestroyWindowEndsTheWindowButNotTheObject) {
    Probe editor;
    ASSERT_TRUE(editor.Create(IDD_EDITOR, nullptr));
    auto* page = new Probe;
    ASSERT_TRUE(page->Create(IDD_ABOUT, &editor));
    page->show();
    editor.DestroyWindow();
    EXPECT_FALSE(editor.IsWindow());
    EXPECT_FALSE(IsWindow(&editor));
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.destroys, 1);
    EXPECT_TRUE(editor.stillThereInDestroy);
    EXPECT_FALSE(page->IsWindow()); // children go with their parent
    EXPECT_EQ(page->destroys, 1);
    editor.DestroyWindow(); // a second time does nothing
    EXPECT_EQ(editor.destroys, 1);
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST(Dialog, ClosingFromTheTitleBarIsCancelByDefault) {
    Probe journal;
    ASSERT_TRUE(journal.Create(IDD_MANAGER, nullptr));
    journal.show();
    journal.close();
    EXPECT_EQ(journal.cancels, 1);
    EXPECT_TRUE(journal.isHidden());
    EXPECT_TRUE(journal.IsWindow()); // a modeless dialog only hides
}

TEST(Dialog, TheJournalHasItsMenuBarAboveTheClientArea) {
    Probe journal;
    ASSERT_TRUE(journal.Create(IDD_MANAGER, nullptr));
    EXPECT_TRUE(journal.isHidden()); // not visible at creation
    EXPECT_EQ(journal.windowTitle(), QString::fromUtf8("Журнал"));
    QMenuBar* menu = journal.MenuBar();
    ASSERT_NE(menu, nullptr);
    const int menuHeight = menu->height();
    EXPECT_GT(menuHeight, 0);
    EXPECT_EQ(journal.size(), QSize(411, 154 + menuHeight));
    QWidget* list = journal.GetDlgItem(IDC_JOURNAL_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(0, 0, 411, 154)); // client coordinates
    EXPECT_EQ(list->mapTo(&journal, QPoint(0, 0)), QPoint(0, menuHeight));

    ASSERT_FALSE(menu->actions().isEmpty());
    QAction* clear = menu->actions().at(0);
    EXPECT_EQ(clear->text(), QString::fromUtf8("Очистить все"));
    EXPECT_TRUE(journal.SetMenuItemText(0, "Clear all"));
    EXPECT_EQ(clear->text(), "Clear all");
    EXPECT_FALSE(journal.SetMenuItemText(7, "none"));
    clear->trigger();
    EXPECT_EQ(journal.commands, std::vector<int>{ID_CLEAR_ALL});
}

TEST(Dialog, TopmostSurvivesAndKeepsVisibility) {
    Probe journal;
    ASSERT_TRUE(journal.Create(IDD_MANAGER, nullptr));
    journal.SetTopmost(true);
    EXPECT_TRUE(journal.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(journal.isHidden());
    journal.show();
    journal.SetTopmost(true);
    EXPECT_TRUE(journal.isVisible());
}

TEST(Dialog, IconsBigAndSmall) {
    Probe journal;
    ASSERT_TRUE(journal.Create(IDD_MANAGER, nullptr));
    QPixmap small(16, 16);
    small.fill(Qt::red);
    QPixmap big(32, 32);
    big.fill(Qt::blue);
    journal.SetIcon(QIcon(small), false);
    journal.SetIcon(QIcon(big), true);
    EXPECT_FALSE(journal.GetIcon(false).isNull());
    const QList<QSize> sizes = journal.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST(Dialog, UnknownTemplate) {
    Probe d;
    EXPECT_FALSE(d.Create(4242, nullptr));
    EXPECT_FALSE(d.IsWindow());
}

} // namespace
} // namespace tovrin
