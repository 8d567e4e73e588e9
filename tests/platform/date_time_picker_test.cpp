#include "platform/date_time_picker.h"

#include "core/schedule/clock.h"
#include "res/window_styles.h"

#include <QDateTimeEdit>
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

// Typing into the Qt editor changes only the fields on show; the rest of the value stays.
TEST_F(PickerTest, AnEditOfTheShownTimeKeepsTheHiddenDateAndSeconds) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat("H:mm");
    int changes = 0;
    QObject::connect(&picker, &DateTimePicker::changed, [&changes] { ++changes; });
    QDateTimeEdit* edit = picker.Editor();
    edit->setCurrentSection(QDateTimeEdit::HourSection);
    edit->stepUp();
    const SYSTEMTIME after = picker.GetSystemTime();
    EXPECT_EQ(after.wHour, 15);
    EXPECT_EQ(after.wMinute, 30);
    EXPECT_EQ(after.wSecond, 45);
    EXPECT_EQ(after.wMilliseconds, 678);
    EXPECT_EQ(after.wYear, 2026);
    EXPECT_EQ(after.wMonth, 12);
    EXPECT_EQ(after.wDay, 8);
    EXPECT_EQ(changes, 1);
}

TEST_F(PickerTest, AnEditOfTheShownDateKeepsTheHiddenTime) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat(QString::fromUtf8("d MMMM yyy г."));
    QDateTimeEdit* edit = picker.Editor();
    edit->setCurrentSection(QDateTimeEdit::DaySection);
    edit->stepUp();
    SYSTEMTIME expected = kWhen;
    expected.wDay = 9;
    expected.wDayOfWeek = 3;
    EXPECT_EQ(picker.GetSystemTime(), expected);
    // And back to a format with the time: the time is as it was.
    picker.SetFormat(QString::fromUtf8("H:mm d MMMM yyy"));
    EXPECT_EQ(picker.Text(), "14:30 9 December 2026");
}

TEST_F(PickerTest, TypedKeysReachTheValue) {
    DateTimePicker picker;
    ASSERT_TRUE(picker.SetSystemTime(kWhen));
    picker.SetFormat("H:mm");
    QLineEdit* line = picker.Editor()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    picker.Editor()->setSelectedSection(QDateTimeEdit::MinuteSection);
    QTest::keyClicks(picker.Editor(), "05");
    EXPECT_EQ(picker.GetSystemTime().wMinute, 5);
    EXPECT_EQ(picker.GetSystemTime().wSecond, 45);
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
