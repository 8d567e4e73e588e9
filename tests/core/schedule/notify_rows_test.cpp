#include "core/lang/codepage.h"
#include "core/lang/counting_feedback.h"
#include "core/lang/names.h"
#include "core/schedule/notify_rows.h"
#include "core/schedule/store_fixture.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace tovrin {
namespace {

using test::At;
using test::Rec;

class NotifyRowsTest : public ::testing::Test {
protected:
    NotifyRowsTest() {
        std::filesystem::copy_file(test::SourceDir() / "res/Base/default.lng",
                                   base_.Base() / "default.lng");
        names_ = NameTable("Base/default.lng", nullptr);
        prefixes_ = {Utf8ToCp1251("Сегодня, "), Utf8ToCp1251("Завтра, "), Utf8ToCp1251("Скоро: ")};
    }

    static ReminderRecord Due(std::int32_t mode, std::int32_t offset, const char* text) {
        ReminderRecord r = Rec(mode, At(2026, 12, 8), text);
        r.state = offset;
        return r;
    }

    std::vector<std::string> Shown(const std::vector<NotifyRow>& rows) const {
        std::vector<std::string> shown;
        for (const NotifyRow& row : rows) {
            shown.push_back((row.header ? "# " : "") + Cp1251ToUtf8(row.text));
        }
        return shown;
    }

    test::TempBase base_;
    NameTable names_;
    NotifyPrefixes prefixes_;
    // Tuesday.
    const SYSTEMTIME today_ = At(2026, 12, 8);
};

TEST_F(NotifyRowsTest, EachDayGetsOneHeaderAndKeepsStoreOrderBeneathIt) {
    const std::vector<ReminderRecord> due{Due(MODE_YEARLY, 0, "first today"),
                                          Due(MODE_NONE, 0, "second today"),
                                          Due(MODE_MONTHLY, 2, "thursday")};
    EXPECT_EQ(Shown(BuildNotifyRows(due, today_, 7, prefixes_, names_)),
              (std::vector<std::string>{"# Сегодня, вторник, 8 декабря 2026", "first today",
                                        "second today", "# Скоро: Четверг, 10 декабря 2026",
                                        "thursday"}));
}

TEST_F(NotifyRowsTest, WeekdayIsLowerCasedForTodayAndTomorrowOnly) {
    // Tomorrow is the 9th, across a month end it is still tomorrow; later days keep the capital.
    const SYSTEMTIME monthEnd = At(2026, 12, 31);
    const std::vector<ReminderRecord> due{Due(MODE_NONE, 1, "a"), Due(MODE_NONE, 3, "b")};
    EXPECT_EQ(Shown(BuildNotifyRows(due, monthEnd, 9, prefixes_, names_)),
              (std::vector<std::string>{"# Завтра, пятница, 1 января 2027", "a",
                                        "# Скоро: Воскресенье, 3 января 2027", "b"}));
}

TEST_F(NotifyRowsTest, DaysComeInOrderWhateverTheListOrderAndTheLastDayIsIncluded) {
    const std::vector<ReminderRecord> due{Due(MODE_NONE, 3, "last day"), Due(MODE_NONE, 0, "today"),
                                          Due(MODE_NONE, 3, "last day, second"),
                                          Due(MODE_NONE, 4, "beyond the window")};
    const std::vector<std::string> shown =
        Shown(BuildNotifyRows(due, today_, 3, prefixes_, names_));
    EXPECT_EQ(shown, (std::vector<std::string>{"# Сегодня, вторник, 8 декабря 2026", "today",
                                               "# Скоро: Пятница, 11 декабря 2026", "last day",
                                               "last day, second"}));
}

TEST_F(NotifyRowsTest, HugeAdvanceNoticeDoesNotWalkEveryDay) {
    const std::vector<ReminderRecord> due{Due(MODE_NONE, 0, "a"), Due(MODE_NONE, 40, "b")};
    const auto start = std::chrono::steady_clock::now();
    const std::vector<NotifyRow> rows =
        BuildNotifyRows(due, today_, 0xFFFFFFFFu, prefixes_, names_);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(Cp1251ToUtf8(rows[2].text), "Скоро: Воскресенье, 17 января 2027");
}

TEST_F(NotifyRowsTest, LanguageTextsAreNeverUsedAsFormats) {
    const NotifyPrefixes odd{"%s%n%i ", "%d", "%%"};
    EXPECT_EQ(Cp1251ToUtf8(NotifyHeaderText(0, today_, odd, names_)),
              "%s%n%i вторник, 8 декабря 2026");
}

TEST_F(NotifyRowsTest, MissingNamesLeaveGapsAndDaysPastTheCalendarHaveNoHeader) {
    const NameTable none;
    EXPECT_EQ(NotifyHeaderText(2, today_, prefixes_, none), Utf8ToCp1251("Скоро: , 10  2026"));
    EXPECT_EQ(NotifyHeaderText(1, At(9999, 12, 31), prefixes_, names_), "");
}

TEST_F(NotifyRowsTest, OnlyThePrefixesAndNamesOfTheDaysShownAreLookedUp) {
    // Key 5 (later days) and January are missing; today is in December.
    test::WriteText("Base/default.lng", "[Notify]\r\n3=T: \r\n4=M: \r\n[Editor]\r\n"
                                        "15=Su\r\n16=Mo\r\n17=Tu\r\n18=We\r\n33=Dec\r\n");
    test::CountingFeedback feedback;
    const NotifyPrefixes prefixes(
        LazyLangSection("Base/default.lng", "Notify", {3, 4, 5}, &feedback));
    const NameTable names("Base/default.lng", &feedback);
    const std::vector<ReminderRecord> due{Due(MODE_NONE, 0, "a"), Due(MODE_NONE, 1, "b")};
    EXPECT_EQ(Shown(BuildNotifyRows(due, today_, 7, prefixes, names)),
              (std::vector<std::string>{"# T: tu, 8 Dec 2026", "a", "# M: we, 9 Dec 2026", "b"}));
    EXPECT_EQ(feedback.lookups, 0);

    // Later days need key 5: one report however many are listed, and one per missing weekday.
    const std::vector<ReminderRecord> later{Due(MODE_NONE, 2, "c"), Due(MODE_NONE, 3, "d"),
                                            Due(MODE_NONE, 9, "e")};
    const std::vector<NotifyRow> rows = BuildNotifyRows(later, today_, 9, prefixes, names);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].text, ", 10 Dec 2026");
    EXPECT_EQ(rows[4].text, ", 17 Dec 2026");
    EXPECT_EQ(feedback.lookups, 3); // key 5, Thursday and Friday
}

} // namespace
} // namespace tovrin
