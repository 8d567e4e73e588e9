#include "core/draw/menu_bitmaps.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

// The tray menu: command, separator, command, command, separator, command.
const std::vector<bool> kTray{false, true, false, false, true, false};

TEST(PlaceMenuBitmaps, SeparatorsNeverUseABitmap) {
    EXPECT_EQ(PlaceMenuBitmaps(kTray, 4), (std::vector<int>{0, -1, 1, 2, -1, 3}));
    EXPECT_EQ(PlaceMenuBitmaps({true, true, false}, 1), (std::vector<int>{-1, -1, 0}));
}

TEST(PlaceMenuBitmaps, ShortOrSurplusBitmapsAndNone) {
    EXPECT_EQ(PlaceMenuBitmaps(kTray, 2), (std::vector<int>{0, -1, 1, -1, -1, -1}));
    EXPECT_EQ(PlaceMenuBitmaps(kTray, 9), (std::vector<int>{0, -1, 1, 2, -1, 3}));
    EXPECT_EQ(PlaceMenuBitmaps(kTray, -1), std::vector<int>(6, -1));
    EXPECT_EQ(PlaceMenuBitmaps(kTray, 0), std::vector<int>(6, -1));
    EXPECT_TRUE(PlaceMenuBitmaps({}, 4).empty());
}

} // namespace
} // namespace tovrin
