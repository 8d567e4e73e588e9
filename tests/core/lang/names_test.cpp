#include "core/lang/names.h"

#include "core/lang/counting_feedback.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

using test::CountingFeedback;
using test::TempBase;
using test::WriteText;

// Editor keys 14 to 34 named after what they hold, key 26 (May) left out.
std::string EditorSection(const std::string& between = "") {
    std::string text = "[Editor]\r\n14=about\r\n";
    for (int w = 1; w <= 7; ++w) {
        text += std::to_string(14 + w) + "=W" + std::to_string(w) + "\r\n";
    }
    text += between;
    for (int m = 1; m <= 12; ++m) {
        if (m != 5) {
            text += std::to_string(21 + m) + "=M" + std::to_string(m) + "\r\n";
        }
    }
    return text + "34=folder\r\n65556=wrapped\r\n22=second January\r\n";
}

TEST(Names, KeyArithmeticIsUncheckedAndUnsigned) {
    TempBase base;
    WriteText("Base/default.lng", EditorSection());
    CountingFeedback feedback;
    EXPECT_EQ(MonthName(1, &feedback), "M1");
    EXPECT_EQ(MonthName(12, &feedback), "M12");
    EXPECT_EQ(MonthName(0, &feedback), "W7");
    EXPECT_EQ(MonthName(13, &feedback), "folder");
    EXPECT_EQ(MonthName(static_cast<std::uint16_t>(-1), &feedback), "wrapped");
    EXPECT_EQ(WeekdayName(1, &feedback), "W1");
    EXPECT_EQ(WeekdayName(0, &feedback), "about");
    EXPECT_EQ(feedback.lookups, 0);
    EXPECT_EQ(MonthName(5, &feedback), "");
    EXPECT_EQ(MonthName(5, &feedback), "");
    EXPECT_EQ(feedback.lookups, 2);
}

TEST(Names, TableGivesTheSameNamesWithOneReportPerMissingName) {
    // The second file ends the section in the middle of the months.
    for (std::string between : {"", "15=not the first\r\n", "[x]\r\n"}) {
        TempBase base;
        WriteText("Base/default.lng", EditorSection(between));
        CountingFeedback feedback;
        const NameTable table("Base/default.lng", &feedback);
        int missing = 0;
        for (int m = 1; m <= 12; ++m) {
            std::string name = MonthName(static_cast<std::uint16_t>(m), nullptr);
            EXPECT_EQ(table.Month(m), name) << m;
            missing += name.empty();
        }
        for (int w = 1; w <= 7; ++w) {
            EXPECT_EQ(table.Weekday(w), WeekdayName(static_cast<std::uint16_t>(w), nullptr));
        }
        EXPECT_EQ(feedback.lookups, missing);
        for (int out : {-1, 0}) {
            EXPECT_EQ(table.Month(out) + table.Month(out + 14) + table.Weekday(out), "");
            EXPECT_EQ(table.Weekday(out + 9), "");
        }
    }
}

TEST(Names, AMissingFileIsReportedOnceThenEachText) {
    TempBase base;
    CountingFeedback feedback;
    EXPECT_EQ(MonthName(1, &feedback), "");
    EXPECT_EQ(feedback.opens, 1);
    EXPECT_EQ(feedback.lookups, 1);

    // The table says nothing until a name is shown, then once per name shown.
    CountingFeedback tableFeedback;
    const NameTable table("Base/default.lng", &tableFeedback);
    EXPECT_EQ(tableFeedback.opens + tableFeedback.lookups, 0);
    EXPECT_EQ(table.Month(1), "");
    EXPECT_EQ(table.Month(1), "");
    EXPECT_EQ(table.Weekday(3), "");
    EXPECT_EQ(tableFeedback.opens, 1);
    EXPECT_EQ(tableFeedback.lookups, 2);
}

TEST(Names, ANameNeverShownMayBeMissing) {
    TempBase base;
    WriteText("Base/default.lng", EditorSection()); // no May
    CountingFeedback feedback;
    const NameTable table("Base/default.lng", &feedback);
    for (int m = 1; m <= 12; ++m) {
        if (m != 5) {
            EXPECT_EQ(table.Month(m), "M" + std::to_string(m));
        }
    }
    EXPECT_EQ(table.PeekMonth(5), nullptr);
    EXPECT_EQ(*table.PeekMonth(12), "M12");
    EXPECT_EQ(feedback.lookups, 0);
    EXPECT_EQ(table.Month(5), "");
    EXPECT_EQ(feedback.lookups, 1);
    // A copy made before the name was shown reports it on its own first use; one made after
    // keeps the report already made.
    const NameTable later = table;
    EXPECT_EQ(later.Month(5), "");
    EXPECT_EQ(feedback.lookups, 1);
}

TEST(Names, LazySectionLooksUpKeysOutsideItsSetAndStaysWithinItsSection) {
    TempBase base;
    WriteText("Base/default.lng", "[Notify]\r\n3=today\r\n9=odd\r\n[Editor]\r\n5=other\r\n");
    CountingFeedback feedback;
    const LazyLangSection texts("Base/default.lng", "Notify", {3, 4, 5}, &feedback);
    EXPECT_EQ(texts.Text(3), "today");
    EXPECT_EQ(texts.Text(9), "odd");
    EXPECT_EQ(feedback.lookups, 0);
    EXPECT_EQ(texts.Text(5), "");
    EXPECT_EQ(texts.Text(5), "");
    EXPECT_EQ(feedback.lookups, 1);
    EXPECT_EQ(feedback.opens, 0);

    const LazyLangSection none;
    EXPECT_EQ(none.Text(1), "");
    EXPECT_EQ(none.Peek(1), nullptr);
}

TEST(Names, LoadLangTextsKeepsTheOrderAskedFor) {
    TempBase base;
    WriteText("Base/default.lng", EditorSection());
    CountingFeedback feedback;
    const long keys[] = {33, 26, 22, 22};
    auto texts = LoadLangTexts("Base/default.lng", "Editor", keys, &feedback);
    EXPECT_EQ(texts, (std::vector<std::string>{"M12", "", "M1", "M1"}));
    EXPECT_EQ(feedback.lookups, 1);
}

} // namespace
} // namespace tovrin
