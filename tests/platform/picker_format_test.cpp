#include "platform/picker_format.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

QString T(const char* format) {
    return TranslatePickerFormat(QString::fromUtf8(format));
}

// What a translated format shows, in the C locale, for 8 December 2026 14:05:09.
QString Shown(const char* format) {
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 5, 9), Qt::UTC);
    return QLocale::c().toString(when, T(format));
}

TEST(PickerFormat, TheWindowsFormatsGiveTheirQtEquivalents) {
    EXPECT_EQ(T("H:mm"), "H:mm");
    EXPECT_EQ(T("H:mm d MMMM yyy г."), QString::fromUtf8("H:mm d MMMM yyyy 'г'."));
    EXPECT_EQ(T("H:mm d MMMM yyy"), "H:mm d MMMM yyyy");
    EXPECT_EQ(T("d MMMM yyy г."), QString::fromUtf8("d MMMM yyyy 'г'."));
}

TEST(PickerFormat, TranslatedFormatsShowWhatTheClassicOnesShowed) {
    EXPECT_EQ(Shown("H:mm"), "14:05");
    EXPECT_EQ(Shown("H:mm d MMMM yyy"), "14:05 8 December 2026");
    EXPECT_EQ(Shown("d MMMM yyy г."), QString::fromUtf8("8 December 2026 г."));
    EXPECT_EQ(Shown("dd.MM.yy HH:mm:ss"), "08.12.26 14:05:09");
    EXPECT_EQ(Shown("h:mm tt"), "2:05 PM");
    EXPECT_EQ(Shown("dddd, d MMM"), "Tuesday, 8 Dec");
}

TEST(PickerFormat, YearLengths) {
    EXPECT_EQ(T("yyy"), "yyyy"); // Qt's own "yyy" would print "26y"
    EXPECT_EQ(T("yyyy"), "yyyy");
    EXPECT_EQ(T("yyyyy"), "yyyy"); // any longer run is still the full year
    EXPECT_EQ(T("yy"), "yy");
    EXPECT_EQ(T("y"), "yy"); // no one-digit year in Qt; the nearest
    EXPECT_EQ(Shown("yyy"), "2026");
}

TEST(PickerFormat, RunsLongerThanAFieldStartTheNextField) {
    EXPECT_EQ(T("ddddd"), "ddddd");
    EXPECT_EQ(Shown("ddddd"), "Tuesday8");
    EXPECT_EQ(Shown("HHH"), "1414");
    EXPECT_EQ(T("t"), "AP");
}

TEST(PickerFormat, LiteralTextStaysLiteral) {
    // Letters Qt reads as fields (z, a, p, h, d, s ...) must not become fields.
    EXPECT_EQ(T("zone d"), "'zone' d");
    EXPECT_EQ(Shown("zone d"), "zone 8");
    EXPECT_EQ(Shown("d 'at' H"), "8 at 14");
    // "t" is a field of its own, as it always was: "at" unquoted shows the AM/PM mark.
    EXPECT_EQ(Shown("d at H"), "8 aPM 14");
    EXPECT_EQ(Shown("H 'h' mm"), "14 h 05");
    EXPECT_EQ(Shown("'H:mm' H:mm"), "H:mm 14:05");
    // Punctuation and blanks are left bare.
    EXPECT_EQ(T("d/M - H:mm"), "d/M - H:mm");
    EXPECT_EQ(T(""), "");
    EXPECT_EQ(T("г."), QString::fromUtf8("'г'."));
}

TEST(PickerFormat, Quotes) {
    EXPECT_EQ(Shown("d''M"), "8'12");        // '' outside quotes is one quote
    EXPECT_EQ(Shown("'it''s' d"), "it's 8"); // and inside quotes too
    EXPECT_EQ(Shown("''"), "'");
    EXPECT_EQ(Shown("'d"), "d"); // an unclosed quote runs to the end
    EXPECT_EQ(Shown("d 'x'''"), "8 x'");
    EXPECT_EQ(Shown("d '''x'"), "8 'x");
    EXPECT_EQ(Shown("d ''''"), "8 ''");
}

TEST(PickerFormat, FieldsWithoutAQtCounterpartShowNothing) {
    EXPECT_EQ(Shown("gg yyyy"), " 2026");
    EXPECT_EQ(Shown("XX d"), " 8");
}

} // namespace
} // namespace tovrin
