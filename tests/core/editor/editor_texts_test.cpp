#include "core/editor/about_text.h"
#include "core/editor/date_column.h"
#include "core/lang/names.h"
#include "core/schedule/schedule_test_util.h"
#include "core/store/paths.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>

#include <string>

namespace tovrin {
namespace {

using test::At;
using test::Rec;

TEST(DateColumn, DayHasTwoDigitsAndTheMonthItsNameFromTheEditorSection) {
    test::TempBase base;
    std::string lang = "[Editor]\n";
    for (int month = 1; month <= 12; ++month) {
        // May as key 26 of the shipped file has it, in windows-1251.
        const std::string name = month == 5 ? "\xec\xe0\xff" : "m" + std::to_string(month);
        lang += std::to_string(21 + month) + "=" + name + "\n";
    }
    test::WriteText(kLangPath, lang);
    const NameTable names(kLangPath, nullptr);

    EXPECT_EQ(DateColumnText(Rec(MODE_YEARLY, At(1990, 5, 5)), names), "05 \xec\xe0\xff");
    EXPECT_EQ(DateColumnText(Rec(MODE_YEARLY, At(1990, 12, 31)), names), "31 m12");
    EXPECT_EQ(DateColumnText(Rec(MODE_YEARLY, At(1990, 1, 10)), names), "10 m1");
    // Values no picker gives still make a harmless text.
    EXPECT_EQ(DateColumnText(Rec(MODE_NONE, At(1990, 13, 0)), names), "00 ");
    EXPECT_EQ(DateColumnText(Rec(MODE_NONE, At(1990, 0, 65535)), names), "65535 ");
}

TEST(AboutText, BackslashNBecomesLineFeedThenCarriageReturn) {
    EXPECT_EQ(PrepareAboutText("Tovrin\\nReminders"), "Tovrin\n\rReminders");
    EXPECT_EQ(PrepareAboutText("a\\n\\nb"), "a\n\r\n\rb");
    EXPECT_EQ(PrepareAboutText("\\n"), "\n\r");
    EXPECT_EQ(PrepareAboutText("\\\\n"), "\\\n\r");
    EXPECT_EQ(PrepareAboutText("ends with a backslash\\"), "ends with a backslash\\");
    EXPECT_EQ(PrepareAboutText("\\t and \\N stay"), "\\t and \\N stay");
}

TEST(AboutText, OnlyDoubledPercentSignsFoldEverythingElseStaysAsTyped) {
    EXPECT_EQ(PrepareAboutText("100%% sure"), "100% sure");
    EXPECT_EQ(PrepareAboutText("%%%%"), "%%");
    EXPECT_EQ(PrepareAboutText("%%%"), "%%");
    // What a format string would turn into reads of memory stays plain text here.
    EXPECT_EQ(PrepareAboutText("%s%n%d %x %"), "%s%n%d %x %");
    EXPECT_EQ(PrepareAboutText("%%n"), "%n");
    EXPECT_EQ(PrepareAboutText(""), "");
    EXPECT_EQ(PrepareAboutText(std::string("a\0b", 3)), std::string("a\0b", 3));
}

} // namespace
} // namespace tovrin
