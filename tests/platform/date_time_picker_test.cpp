#include "platform/date_time_picker.h"

#include "core/schedule/clock.h"
#include "res/window_styles.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

// 8 December 2026, a Tuesday, 14:30:45.678.
constexpr SYSTEMTIME kWhen{2026, 12, 2, 8, 14, 30, 45, 678};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(PickerTest, StartsAtTheLocalTimeInTheLongDateFormat) {
    const FakeClock clock(kWhen);
    const ScopedClock scoped(clock);
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT);
    EXPECT_EQ(picker.GetSystemTime(), kWhen);
    EXPECT_EQ(picker.QtFormat(), QLocale::c().dateFormat(QLocale::LongFormat));
    EXPECT_EQ(picker.Text(), "Tuesday, 8 December 2026");
}

TEST_F(PickerTest, KeepsTheWholeValueThroughFormatChanges) {
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT);
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat(QString::fromUtf8("d MMMM yyy г."));
    EXPECT_EQ(picker.Text(), QString::fromUtf8("8 December 2026 г."));
    EXPECT_EQ(picker.GetSystemTime(), kWhen);
    picker.SetFormat("H:mm");
    EXPECT_EQ(picker.Text(), "14:30");
    EXPECT_EQ(picker.GetSystemTime(), kWhen);
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy"));
    EXPECT_EQ(picker.Text(), "14:30 8 December 2026");
    picker.SetFormat({});
    EXPECT_EQ(picker.Text(), "Tuesday, 8 December 2026");
    EXPECT_EQ(picker.GetSystemTime(), kWhen);
}

TEST_F(PickerTest, MonthNamesComeFromTheLocaleInTheFormAfterADay) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT);
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    EXPECT_EQ(picker.Text(), QString::fromUtf8("вторник, 8 декабря 2026 г."));
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy г."));
    EXPECT_EQ(picker.Text(), QString::fromUtf8("14:30 8 декабря 2026 г."));
}

TEST_F(PickerTest, WorksOutTheDayOfWeekItself) {
    DateTimePicker picker;
    SYSTEMTIME t = kWhen;
    t.wDayOfWeek = 5;
    ASSERT_TRUE(picker.SetSystemTime(t));
    EXPECT_EQ(picker.GetSystemTime().wDayOfWeek, 2);
}

TEST_F(PickerTest, RefusesValuesThatAreNoDateTime) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    const auto refused = [&picker](SYSTEMTIME t) {
        const bool taken = picker.SetSystemTime(t);
        return !taken && picker.GetSystemTime() == kWhen;
    };
    SYSTEMTIME t = kWhen;
    t.wMonth = 13;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wMonth = 4;
    t.wDay = 31;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wHour = 24;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wSecond = 60;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wMilliseconds = 1000;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wYear = 0;
    EXPECT_TRUE(refused(t));
    t = kWhen;
    t.wMonth = 2;
    t.wDay = 29;
    t.wYear = 2024;
    EXPECT_TRUE(picker.SetSystemTime(t)); // a real leap day
}

void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers chords = Qt::NoModifier) {
    QTest::keyClick(w, key, chords);
}

// Up changes only the chosen field on show; the rest of the value stays.
TEST_F(PickerTest, AnEditOfTheShownTimeKeepsTheHiddenDateAndSeconds) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat("H:mm");
    int changes = 0;
    QObject::connect(&picker, &DateTimePicker::changed, [&changes] { ++changes; });
    ASSERT_EQ(picker.CurrentField(), PickerField::Hour24);
    Key(&picker, Qt::Key_Up);
    SYSTEMTIME expected = kWhen;
    expected.wHour = 15;
    EXPECT_EQ(picker.GetSystemTime(), expected);
    EXPECT_EQ(changes, 1);
}

TEST_F(PickerTest, AnEditOfTheShownDateKeepsTheHiddenTime) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat(QString::fromUtf8("d MMMM yyy г."));
    Key(&picker, Qt::Key_Up);
    SYSTEMTIME expected = kWhen;
    expected.wDay = 9;
    expected.wDayOfWeek = 3;
    EXPECT_EQ(picker.GetSystemTime(), expected);
    // And back to a format with the time: the time is as it was.
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy"));
    EXPECT_EQ(picker.Text(), "14:30 9 December 2026");
}

// Left and Right go from field to field, round from the last to the first; the weekday is
// never one of them. Up and Down wrap inside the field without touching the others.
TEST_F(PickerTest, LeftAndRightChooseTheFieldsUpAndDownWrapInsideOne) {
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT); // "dddd, d MMMM yyyy"
    ASSERT_TRUE(picker.SetSystemTime({2026, 12, 4, 31, 23, 59, 0, 0}));
    EXPECT_EQ(picker.CurrentField(), PickerField::Day);
    std::vector<PickerField> seen;
    for (int i = 0; i < 4; ++i) {
        Key(&picker, Qt::Key_Right);
        seen.push_back(picker.CurrentField());
    }
    EXPECT_EQ(seen, (std::vector<PickerField>{PickerField::MonthName, PickerField::Year4,
                                              PickerField::Day, PickerField::MonthName}));
    Key(&picker, Qt::Key_Left);
    Key(&picker, Qt::Key_Left);
    EXPECT_EQ(picker.CurrentField(), PickerField::Year4);
    Key(&picker, Qt::Key_Right);
    Key(&picker, Qt::Key_Up); // 31 December: the day goes round to 1, the month stays
    EXPECT_EQ(picker.Text(), "Tuesday, 1 December 2026");
    Key(&picker, Qt::Key_Down);
    Key(&picker, Qt::Key_Right);
    Key(&picker, Qt::Key_Up); // December goes round to January of the same year
    EXPECT_EQ(picker.Text(), "Saturday, 31 January 2026");

    picker.SetFormat("H:mm");
    Key(&picker, Qt::Key_Right);
    ASSERT_EQ(picker.CurrentField(), PickerField::Minute);
    Key(&picker, Qt::Key_Up);
    EXPECT_EQ(picker.Text(), "23:00");
    EXPECT_EQ(picker.GetSystemTime().wDay, 31); // no carry into the hour or the date
}

// Digits set the chosen field: a year by its four digits, shown as they come; a day by one or
// two, a digit that cannot follow starting it again; a value no field can hold is dropped.
TEST_F(PickerTest, TypedDigitsSetTheChosenField) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy г."));
    for (int i = 0; i < 4; ++i) {
        Key(&picker, Qt::Key_Right);
    }
    ASSERT_EQ(picker.CurrentField(), PickerField::Year4);
    QTest::keyClicks(&picker, "202");
    EXPECT_EQ(picker.Text(), QString::fromUtf8("14:30 8 December 202 г."));
    EXPECT_EQ(picker.GetSystemTime().wYear, 2026); // not yet a year
    QTest::keyClicks(&picker, "8");
    EXPECT_EQ(picker.GetSystemTime().wYear, 2028);
    EXPECT_EQ(picker.GetSystemTime().wDayOfWeek, 5); // 8 December 2028 is a Friday
    QTest::keyClicks(&picker, "0000");
    EXPECT_EQ(picker.GetSystemTime().wYear, 2028);
    EXPECT_EQ(picker.Text(), QString::fromUtf8("14:30 8 December 2028 г."));

    Key(&picker, Qt::Key_Left);
    Key(&picker, Qt::Key_Left);
    ASSERT_EQ(picker.CurrentField(), PickerField::Day);
    QTest::keyClicks(&picker, "12");
    EXPECT_EQ(picker.GetSystemTime().wDay, 12);
    QTest::keyClicks(&picker, "4");
    EXPECT_EQ(picker.GetSystemTime().wDay, 4);
    QTest::keyClicks(&picker, "5");
    EXPECT_EQ(picker.GetSystemTime().wDay, 5); // 45 is no day: the 5 starts again
    QTest::keyClicks(&picker, "39");
    EXPECT_EQ(picker.GetSystemTime().wDay, 9);

    Key(&picker, Qt::Key_Left);
    ASSERT_EQ(picker.CurrentField(), PickerField::Minute);
    QTest::keyClicks(&picker, "7");
    EXPECT_EQ(picker.GetSystemTime().wMinute, 7);
    QTest::keyClicks(&picker, "05");
    EXPECT_EQ(picker.GetSystemTime().wMinute, 5);
    EXPECT_EQ(picker.GetSystemTime().wSecond, 45);
    EXPECT_EQ(picker.GetSystemTime().wMilliseconds, 678);
}

// A click chooses the field under it; on the weekday, which is never typed, the field beside it.
TEST_F(PickerTest, AClickChoosesAFieldAndDigitsAfterTheWeekdayGoToTheDay) {
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT);
    picker.resize(260, 24);
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.show();
    const QRect year = picker.PieceRect(PickerField::Year4);
    ASSERT_FALSE(year.isEmpty());
    QTest::mouseClick(&picker, Qt::LeftButton, {}, year.center());
    EXPECT_EQ(picker.CurrentField(), PickerField::Year4);
    QTest::keyClicks(&picker, "2028");
    EXPECT_EQ(picker.GetSystemTime().wYear, 2028);
    QTest::mouseClick(&picker, Qt::LeftButton, {}, picker.PieceRect(PickerField::Weekday).center());
    EXPECT_EQ(picker.CurrentField(), PickerField::Day);
    QTest::keyClicks(&picker, "15");
    EXPECT_EQ(picker.Text(), "Friday, 15 December 2028");
}

// The picker is one stop for Tab, however many fields it shows.
TEST_F(PickerTest, TabEntersAndLeavesAtOnce) {
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* picker = new DateTimePicker(&window, DTS_LONGDATEFORMAT);
    auto* after = new QLineEdit(&window);
    picker->SetFormat(QString::fromUtf8("H:mm d MMMM yyy г."));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    Key(before, Qt::Key_Tab);
    ASSERT_TRUE(picker->hasFocus());
    Key(picker, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    Key(after, Qt::Key_Tab, Qt::ShiftModifier);
    Key(picker, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(before->hasFocus());
}

// Every format keeps the drop-down button, the time alone included: the calendar it opens sets
// the date and leaves the time.
TEST_F(PickerTest, TheTimeAloneKeepsTheCalendarButton) {
    DateTimePicker picker(nullptr, DTS_LONGDATEFORMAT | DTS_RIGHTALIGN);
    picker.resize(198, 24);
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat("H:mm");
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(picker.width() - 6, 12));
    QCalendarWidget* calendar = picker.OpenCalendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 8));
    emit calendar->clicked(QDate(2027, 1, 20));
    EXPECT_EQ(picker.OpenCalendar(), nullptr);
    EXPECT_EQ(picker.GetSystemTime(), (SYSTEMTIME{2027, 1, 3, 20, 14, 30, 45, 678}));
    EXPECT_EQ(picker.Text(), "14:30");
    Key(&picker, Qt::Key_F4);
    EXPECT_NE(picker.OpenCalendar(), nullptr);
}

TEST_F(PickerTest, AClockChangeHourIsStillAValue) {
    // 02:30 on the last Sunday of March does not exist on a European wall clock; a picker holds
    // wall-clock readings, so it must keep it anyway.
    DateTimePicker picker;
    const SYSTEMTIME gap{2026, 3, 0, 29, 2, 30, 0, 0};
    ASSERT_TRUE(picker.SetSystemTime(gap));
    picker.SetFormat("H:mm");
    EXPECT_EQ(picker.Text(), "2:30");
    EXPECT_EQ(picker.GetSystemTime(), gap);
}

} // namespace
} // namespace tovrin
