#include "platform/announcer.h"
#include "platform/check_box.h"
#include "platform/date_time_picker.h"
#include "platform/edit_control.h"
#include "platform/list_view.h"
#include "platform/reader_news.h"
#include "res/window_styles.h"

#include <QAccessible>
#include <QApplication>
#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace tovrin {
namespace {

// What a screen reader would be told, caught on its way out: the event, and what it carries as
// text ("4:0>1" for "0" replaced by "1" at 4, "3-5" for a selection, "31" for a value, the
// focused child's index).
struct Heard {
    QAccessible::Event type;
    QObject* object;
    QString what;
};
std::vector<Heard>& Events() {
    static std::vector<Heard> events;
    return events;
}
void Catch(const QAccessibleEvent& e) {
    const QAccessibleEvent* event = &e;
    QString what;
    if (event->type() == QAccessible::TextUpdated) {
        const auto* update = static_cast<const QAccessibleTextUpdateEvent*>(event);
        what = QStringLiteral("%1:%2>%3")
                   .arg(update->changePosition())
                   .arg(update->textRemoved(), update->textInserted());
    } else if (event->type() == QAccessible::TextInserted) {
        what = static_cast<const QAccessibleTextInsertEvent*>(event)->textInserted();
    } else if (event->type() == QAccessible::TextSelectionChanged) {
        const auto* selection = static_cast<const QAccessibleTextSelectionEvent*>(event);
        what =
            QStringLiteral("%1-%2").arg(selection->selectionStart()).arg(selection->selectionEnd());
    } else if (event->type() == QAccessible::Focus) {
        what = QString::number(event->child());
    } else if (event->type() == QAccessible::ValueChanged) {
        what = static_cast<const QAccessibleValueChangeEvent*>(event)->value().toString();
    }
    Events().push_back({event->type(), event->object(), what});
}

class AccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        SetReaderWatchForTests(&Catch);
        Events().clear();
    }
    void TearDown() override {
        SetReaderWatchForTests({});
        QLocale::setDefault(QLocale::system());
    }
    // What the events of one type about object carried, in order.
    static QStringList Of(QObject* object, QAccessible::Event type) {
        QStringList found;
        for (const Heard& heard : Events()) {
            if (heard.object == object && heard.type == type) {
                found << heard.what;
            }
        }
        return found;
    }
};

constexpr SYSTEMTIME kWhen{2026, 12, 2, 8, 14, 30, 45, 678};

TEST_F(AccessibleTest, ThePickerIsANamedSpinBoxWithItsTextAndChosenField) {
    DateTimePicker picker;
    picker.setAccessibleName("Date");
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy г."));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&picker);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::SpinBox);
    EXPECT_EQ(face->text(QAccessible::Name), "Date");
    EXPECT_EQ(face->text(QAccessible::Value), QString::fromUtf8("14:30 8 December 2026 г."));
    QAccessibleTextInterface* text = face->textInterface();
    QAccessibleValueInterface* value = face->valueInterface();
    ASSERT_TRUE(text != nullptr && value != nullptr);
    // The hour is chosen first: the selection and the value are its.
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 2));
    EXPECT_EQ(value->currentValue().toInt(), 14);
    EXPECT_EQ(value->maximumValue().toInt(), 23);

    // The caret moved into the month chooses it; a value set there sets the month.
    text->setCursorPosition(9);
    EXPECT_EQ(picker.CurrentField(), PickerField::MonthName);
    EXPECT_EQ(value->minimumValue().toInt(), 1);
    value->setCurrentValue(2);
    EXPECT_EQ(picker.Text(), QString::fromUtf8("14:30 8 February 2026 г."));
    value->setCurrentValue(13); // no month: nothing changes
    EXPECT_EQ(picker.GetSystemTime().wMonth, 2);
    // A character between fields chooses the nearer one, and the actions step it.
    text->setCursorPosition(7);
    EXPECT_EQ(picker.CurrentField(), PickerField::Day);
    face->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
    EXPECT_EQ(picker.GetSystemTime().wDay, 7);
    EXPECT_EQ(picker.GetSystemTime().wSecond, 45);
}

TEST_F(AccessibleTest, EveryStepDigitAndFormatOfThePickerIsTold) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat("H:mm");
    picker.show();
    using A = QAccessible;
    // Choosing the minutes moves the selection and tells their value.
    Events().clear();
    QTest::keyClick(&picker, Qt::Key_Right);
    EXPECT_EQ(Of(&picker, A::TextSelectionChanged), QStringList{"3-5"});
    EXPECT_EQ(Of(&picker, A::ValueChanged), QStringList{"30"});
    // A step replaces only the digit that changed.
    Events().clear();
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(Of(&picker, A::TextUpdated), QStringList{"4:0>1"});
    EXPECT_EQ(Of(&picker, A::ValueChanged), QStringList{"31"});
    // A first digit shows alone, already the value; the second completes it.
    Events().clear();
    QTest::keyClicks(&picker, "45");
    EXPECT_EQ(Of(&picker, A::TextUpdated), (QStringList{"3:31>4", "4:>5"}));
    EXPECT_EQ(Of(&picker, A::ValueChanged), (QStringList{"4", "45"}));
    // Another format is a new text, with the first field chosen.
    Events().clear();
    picker.SetFormat(QString::fromUtf8("d MMMM yyy г."));
    EXPECT_EQ(Of(&picker, A::TextUpdated),
              QStringList{QString::fromUtf8("0:14:45>8 December 2026 г.")});
    EXPECT_EQ(Of(&picker, A::TextSelectionChanged), QStringList{"0-1"});
    EXPECT_EQ(Of(&picker, A::ValueChanged), QStringList{"8"});
    // Nothing is told when nothing changed.
    Events().clear();
    picker.SetFormat(QString::fromUtf8("d MMMM yyy г."));
    EXPECT_TRUE(Events().empty());
}

// Qt puts the whole text back with each new limit: the caret went to the end, the undo steps were
// lost and a screen reader heard the text deleted and retyped, after every key.
TEST_F(AccessibleTest, TypingInALimitedFieldKeepsTheCaretAndTheUndo) {
    EditControl field;
    field.LimitText(80);
    field.SetText("Cal");
    field.show();
    field.setFocus();
    field.setCursorPosition(2);
    QTest::keyClicks(&field, "X");
    EXPECT_EQ(field.text(), "CaXl");
    EXPECT_EQ(field.cursorPosition(), 3);
    EXPECT_TRUE(field.isUndoAvailable());
}

// What the announcer says reaches a reader as a notification shown with that name, without
// taking the keyboard from where it is.
TEST_F(AccessibleTest, TheAnnouncerShowsANotificationNamedWithItsText) {
    QWidget window;
    auto* typing = new EditControl(&window);
    auto* announcer = new Announcer(&window);
    window.show();
    typing->setFocus();
    QWidget* const focused = QApplication::focusWidget();
    EXPECT_FALSE(announcer->isVisible());
    announcer->Announce("Call Anna");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(announcer);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Notification);
    EXPECT_EQ(face->text(QAccessible::Name), "Call Anna");
    EXPECT_TRUE(announcer->isVisible()); // which Qt tells a reader itself
    Events().clear();
    announcer->Announce("Call Boris");
    ASSERT_EQ(Events().size(), 2u);
    EXPECT_EQ(Events()[0].type, QAccessible::NameChanged); // the name first: readers keep it
    EXPECT_EQ(Events()[1].type, QAccessible::ObjectShow);
    EXPECT_EQ(face->text(QAccessible::Name), "Call Boris");
    EXPECT_EQ(QApplication::focusWidget(), focused);
}

// A reader's Toggle is a click: a box whose owner sets the state on the click hears it, as the
// record edit page's modes must.
TEST_F(AccessibleTest, ACheckBoxsToggleClicksIt) {
    CheckBox box(nullptr, BS_CHECKBOX | WS_TABSTOP);
    box.setText(QStringLiteral("&Once"));
    int clicks = 0;
    QObject::connect(&box, &CheckBox::clicked, [&] {
        ++clicks;
        box.SetCheck(BST_CHECKED);
    });
    QAccessibleInterface* reading = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(reading, nullptr);
    EXPECT_EQ(reading->role(), QAccessible::CheckBox);
    EXPECT_EQ(reading->text(QAccessible::Name), QStringLiteral("Once"));
    ASSERT_NE(reading->actionInterface(), nullptr);
    reading->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(reading->state().checked);
}

// Coming back to a list, a reader is told the row the keys are on, not only the list: in a list
// of cells and in an owner-drawn one read row by row.
TEST_F(AccessibleTest, AListTakingTheKeysTellsTheRowTheyAreOn) {
    for (const uint32_t drawn : {0u, static_cast<uint32_t>(LVS_OWNERDRAWFIXED)}) {
        QWidget window;
        auto* list = new ListView(&window, WS_VISIBLE | WS_TABSTOP | LVS_REPORT | drawn);
        auto* other = new EditControl(&window);
        other->move(0, 200);
        list->InsertColumn(0, QStringLiteral("Date"));
        list->InsertItem(0, QStringLiteral("01 December"));
        list->InsertItem(1, QStringLiteral("08 December"));
        if (drawn != 0) {
            list->SetOwnerDraw(20, [](QPainter&, const QRect&, int, quintptr) {});
        }
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        list->SelectRow(1);
        other->setFocus();
        Events().clear();

        list->setFocus();
        QCoreApplication::processEvents();
        const QStringList told = Of(list, QAccessible::Focus);
        ASSERT_FALSE(told.isEmpty()) << drawn;
        QAccessibleInterface* row =
            QAccessible::queryAccessibleInterface(list)->child(told.last().toInt());
        ASSERT_NE(row, nullptr) << drawn;
        EXPECT_EQ(row->text(QAccessible::Name), QStringLiteral("08 December")) << drawn;
    }
}

} // namespace
} // namespace tovrin
