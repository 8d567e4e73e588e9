#include "controls/sys_colors.h"
#include "platform/sys_colors.h"
#include "support/scoped_palette.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

using test::ScopedPalette;

QPalette Distinct() {
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Active, QPalette::Window, QColor(10, 20, 30));
    // A lighter button than the window, as many styles have it (252 against 239).
    p.setColor(QPalette::Active, QPalette::Button, QColor(252, 252, 252));
    p.setColor(QPalette::Active, QPalette::Dark, QColor(40, 50, 60));
    p.setColor(QPalette::Active, QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::Active, QPalette::Base, QColor(255, 255, 255));
    p.setColor(QPalette::Active, QPalette::PlaceholderText, QColor(0, 0, 0, 128));
    return p;
}

TEST(GetSysColor, ReadsThePalettesNearestRoles) {
    ScopedPalette palette(Distinct());
    // The face is the windows' background, not the style's button.
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), MakeColorRef(10, 20, 30));
    EXPECT_EQ(ToQColor(GetSysColor(COLOR_BTNFACE)),
              QApplication::palette().color(QPalette::Window));
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), MakeColorRef(10, 20, 30));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), MakeColorRef(40, 50, 60));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), MakeColorRef(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), MakeColorRef(255, 255, 255));
    // Half-transparent black placeholder text over white: the classic mid grey.
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), MakeColorRef(127, 127, 127));
}

TEST(GetSysColor, UnknownIndexesAreBlack) {
    for (int index : {-1, 25, 31, 1000}) {
        EXPECT_EQ(GetSysColor(index), 0u) << index;
    }
}

TEST(GetSysColor, ConvertsToAndFromQColor) {
    const COLORREF c = MakeColorRef(1, 2, 3);
    EXPECT_EQ(ToQColor(c), QColor(1, 2, 3));
    EXPECT_EQ(ToColorRef(QColor(1, 2, 3)), c);
    EXPECT_EQ(ToColorRef(QColor(0, 0, 0, 0)), MakeColorRef(255, 255, 255));
}

TEST(CSysColors, ReadsNowAndDerivesTheHotFill) {
    ScopedPalette palette(Distinct());
    const CSysColors colors;
    EXPECT_EQ(colors.face, MakeColorRef(10, 20, 30));
    EXPECT_EQ(colors.shadow, MakeColorRef(40, 50, 60));
    EXPECT_EQ(colors.grayText, GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(colors.hotFill, MakeColorRef(204, 204, 229));
}

TEST(CSysColors, TheProgramsTableFollowsThePaletteAndKnowsADarkOne) {
    const COLORREF face = InitSysColors().face;
    ASSERT_EQ(face, GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(sysColors.contrast);
    {
        // Dark window, black text: still a light scheme's text.
        ScopedPalette palette(Distinct());
        EXPECT_EQ(InitSysColors().face, MakeColorRef(10, 20, 30));
        EXPECT_FALSE(sysColors.contrast);
        QPalette dark = Distinct();
        dark.setColor(QPalette::Active, QPalette::WindowText, QColor(230, 230, 230));
        ScopedPalette darker(dark);
        EXPECT_TRUE(sysColors.contrast);
        EXPECT_TRUE(ContrastWanted());
    }
    EXPECT_EQ(sysColors.face, face);
    EXPECT_FALSE(sysColors.contrast);
}

} // namespace
} // namespace tovrin
