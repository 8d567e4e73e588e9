#include "platform/check_box.h"
#include "platform/edit_control.h"
#include "platform/fonts.h"
#include "platform/keyboard_cues.h"
#include "platform/push_button.h"
#include "platform/static_control.h"
#include "platform/template_controls.h"
#include "platform/text.h"
#include "res/window_styles.h"

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(StaticControl, LineBreaksOfEveryKindBreakOnce) {
    StaticControl label(nullptr, SS_LEFT);
    // The about text turns each "\n" pair into LF CR.
    label.SetText(QString("Tovrin v3.3\n\rby us\r\nand\rmore\n\n"));
    EXPECT_EQ(label.text(), "Tovrin v3.3\nby us\nand\nmore\n\n");
    EXPECT_EQ(label.Text(), "Tovrin v3.3\n\rby us\r\nand\rmore\n\n"); // kept as given
    EXPECT_EQ(label.textFormat(), Qt::PlainText);                     // "<b>" is just text
}

TEST(StaticControl, MnemonicPrefixes) {
    StaticControl label(nullptr, SS_LEFT);
    label.SetText("&Save && go");
    EXPECT_EQ(label.text(), "Save & go");
    StaticControl plain(nullptr, SS_LEFT | SS_NOPREFIX);
    plain.SetText("&Save");
    EXPECT_EQ(plain.text(), "&Save");
}

TEST(StaticControl, TheEtchedLineShowsNoText) {
    StaticControl line(nullptr, SS_ETCHEDHORZ);
    line.SetText("ignored");
    EXPECT_EQ(line.text(), "");
    EXPECT_EQ(line.frameShape(), QFrame::HLine);
}

TEST(EditControl, DigitsOnlyAndOneCharacter) {
    EditControl days(nullptr, ES_NUMBER | ES_CENTER | WS_TABSTOP, WS_EX_STATICEDGE);
    days.LimitText(1);
    QTest::keyClicks(&days, "x7");
    EXPECT_EQ(days.text(), "7");
    QTest::keyClicks(&days, "3");
    EXPECT_EQ(days.text(), "7"); // a second digit is refused
    EXPECT_TRUE(days.alignment() & Qt::AlignHCenter);
    days.clear();
    // ARABIC-INDIC DIGIT THREE is a digit to Unicode, but no number to the settings file.
    QKeyEvent arabicThree(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x0663)));
    QApplication::sendEvent(&days, &arabicThree);
    EXPECT_EQ(days.text(), "");
}

// The limit is the typing's: a longer text the program puts in stays whole, and can be shortened
// but not lengthened.
TEST(EditControl, TheLimitHoldsForTypingNotForTheProgramsText) {
    EditControl edit;
    edit.LimitText(80);
    edit.SetText(QString(83, 'a'));
    EXPECT_EQ(edit.text().size(), 83);
    edit.end(false);
    QTest::keyClicks(&edit, "b");
    EXPECT_EQ(edit.text(), QString(83, 'a'));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, "b");
    EXPECT_EQ(edit.text(), QString(82, 'a'));
    edit.selectAll();
    QTest::keyClicks(&edit, QString(85, 'c'));
    EXPECT_EQ(edit.text(), QString(80, 'c'));
    EXPECT_EQ(edit.Limit(), 80);
}

TEST(EditControl, LimitAndSelection) {
    EditControl edit;
    edit.LimitText(80);
    edit.SetText(QString(80, 'a'));
    edit.SetSel(0, -1);
    EXPECT_EQ(edit.selectedText().size(), 80);
    edit.SetSel(2, 5);
    EXPECT_EQ(edit.selectionStart(), 2);
    EXPECT_EQ(edit.selectedText().size(), 3);
    edit.SetSel(-1, 0);
    EXPECT_FALSE(edit.hasSelectedText());
    edit.LimitText(0);
    EXPECT_EQ(edit.Limit(), 32767);
}

TEST(CheckBox, OnlyAutomaticBoxesCheckThemselves) {
    CheckBox owned(nullptr, BS_CHECKBOX | BS_FLAT);
    CheckBox automatic(nullptr, BS_AUTOCHECKBOX);
    int clicks = 0;
    QObject::connect(&owned, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    owned.click();
    automatic.click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(owned.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(automatic.GetCheck(), BST_CHECKED);
    owned.SetCheck(BST_CHECKED);
    EXPECT_EQ(owned.GetCheck(), BST_CHECKED);
}

TEST(CheckBox, ABoxWithoutTextTakesTheClickAnywhere) {
    CheckBox confirm(nullptr, BS_AUTOCHECKBOX | WS_TABSTOP);
    confirm.setGeometry(0, 0, 12, 13);
    confirm.show();
    QTest::mouseClick(&confirm, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(confirm.GetCheck(), BST_CHECKED);
    QTest::mouseClick(&confirm, Qt::LeftButton, {}, QPoint(11, 12));
    EXPECT_EQ(confirm.GetCheck(), BST_UNCHECKED);
}

// A focus given by a click or by the program leaves no mark; once a key has moved about in the
// window, the focused control shows it, whoever gave it the focus.
TEST(FocusFrame, ButtonsAndBoxesShowTheFocusOnlyOnceTheKeyboardWasUsed) {
    WatchKeyboardCues();
    QWidget window;
    window.resize(240, 100);
    auto* button = new PushButton(&window, WS_TABSTOP);
    button->setText("OK");
    button->setGeometry(10, 10, 75, 23);
    auto* box = new CheckBox(&window, WS_TABSTOP | BS_CHECKBOX);
    box->setText("Daily");
    box->setGeometry(10, 40, 100, 16);
    auto* bare = new CheckBox(&window, WS_TABSTOP | BS_AUTOCHECKBOX);
    bare->setGeometry(10, 64, 12, 13);
    auto* elsewhere = new PushButton(&window, WS_TABSTOP);
    elsewhere->setGeometry(120, 10, 75, 23);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::initializer_list<QWidget*> controls{button, box, bare};
    std::vector<QImage> unfocused;
    for (QWidget* control : controls) {
        elsewhere->setFocus(Qt::OtherFocusReason);
        unfocused.push_back(control->grab().toImage());
        control->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(control->hasFocus());
        EXPECT_EQ(control->grab().toImage(), unfocused.back())
            << control->metaObject()->className();
    }
    EXPECT_FALSE(KeyboardCuesShown(&window));
    QTest::keyClick(elsewhere, Qt::Key_Left); // an arrow: no move here, but the keyboard is in use
    EXPECT_TRUE(KeyboardCuesShown(button));
    std::size_t i = 0;
    for (QWidget* control : controls) {
        control->setFocus(Qt::MouseFocusReason);
        EXPECT_NE(control->grab().toImage(), unfocused[i++]) << control->metaObject()->className();
    }
}

TEST(WindowText, ReadsAndWritesEveryKind) {
    EditControl edit;
    CheckBox box;
    QWidget window;
    SetWindowText(&edit, "e");
    SetWindowText(&box, "b");
    SetWindowText(&window, "w");
    EXPECT_EQ(GetWindowText(&edit), "e");
    EXPECT_EQ(GetWindowText(&box), "b");
    EXPECT_EQ(GetWindowText(&window), "w");
    SetWindowText(nullptr, "x"); // no window, no harm
    EXPECT_EQ(GetWindowText(nullptr), "");
}

TEST(Fonts, ClassicFacesMapToTheirMetricTwins) {
#ifdef _WIN32
    const QString sans = "Arial", serif = "Times New Roman", sansTwin = "Liberation Sans";
#else
    const QString sans = "Liberation Sans", serif = "Liberation Serif", sansTwin = "Arial";
#endif
    EXPECT_EQ(MapFontFace("MS Sans Serif"), sans);
    EXPECT_EQ(MapFontFace("times new roman"), serif);
    EXPECT_EQ(MapFontFace("Liberation Sans"), sans);
    EXPECT_EQ(MapFontFace("Some Face"), "Some Face");
    const QFont header = CreateFont(-23, 100, "Times New Roman");
    EXPECT_EQ(header.pixelSize(), 23);
    EXPECT_EQ(header.weight(), QFont::Thin);
    EXPECT_EQ(header.families().value(0), serif);
    // Where the system's face is missing (Wine with the Liberation faces, Linux without them),
    // its twin of the same widths comes next.
    EXPECT_EQ(DialogFont().families().mid(0, 2), QStringList({sans, sansTwin}));
    const QFont message = CreateFont(-14, 700, "Times New Roman");
    EXPECT_EQ(message.weight(), QFont::Bold);
    EXPECT_EQ(CreateFont(-14, 0, "Arial").weight(), QFont::Normal);
    EXPECT_EQ(DialogFont().pixelSize(), 11);
}

TEST(Fonts, APositiveHeightIsTheCellHeight) {
    const QFont cell = CreateFont(20, FW_NORMAL, "Times New Roman");
    EXPECT_NEAR(QFontMetrics(cell).height(), 20, 1);
    EXPECT_LT(cell.pixelSize(), 20);
}

TEST(Text, Cp1251RoundTripAndLowerCase) {
    const std::string weekday = "\xC2\xF2\xEE\xF0\xED\xE8\xEA"; // "Вторник"
    EXPECT_EQ(FromCp1251(weekday), QString::fromUtf8("Вторник"));
    EXPECT_EQ(ToCp1251(QString::fromUtf8("Вторник")), weekday);
    bool lossy = false;
    EXPECT_EQ(ToCp1251(QString::fromUtf8("a€✓"), &lossy), "a\x88?");
    EXPECT_TRUE(lossy);
    std::string lower = weekday + " ABC \xA8"; // and Ё
    CharLowerA(lower);
    EXPECT_EQ(FromCp1251(lower), QString::fromUtf8("вторник abc ё"));
}

} // namespace
} // namespace tovrin
