#include "core/draw/popup_place.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

constexpr RECT kScreen{0, 0, 1280, 1024};

// A 150 x 120 menu, the pointer near each corner of the screen: a corner of the menu is always
// at the pointer, the menu turned away from the edges it would pass.
TEST(PlacePopupMenu, ACornerMeetsThePointerNearEveryEdge) {
    EXPECT_EQ(PlacePopupMenu({10, 10}, 150, 120, kScreen), (POINT{10, 10}));
    EXPECT_EQ(PlacePopupMenu({1270, 10}, 150, 120, kScreen), (POINT{1120, 10}));
    EXPECT_EQ(PlacePopupMenu({10, 1014}, 150, 120, kScreen), (POINT{10, 894}));
    EXPECT_EQ(PlacePopupMenu({1270, 1014}, 150, 120, kScreen), (POINT{1120, 894}));
    // Exactly fitting is no reason to turn.
    EXPECT_EQ(PlacePopupMenu({1130, 904}, 150, 120, kScreen), (POINT{1130, 904}));
    EXPECT_EQ(PlacePopupMenu({1131, 905}, 150, 120, kScreen), (POINT{981, 785}));
}

TEST(PlacePopupMenu, AMenuTooBigForEitherSideStaysOnTheScreen) {
    EXPECT_EQ(PlacePopupMenu({100, 500}, 150, 1100, kScreen), (POINT{100, 0}));
    EXPECT_EQ(PlacePopupMenu({640, 500}, 700, 120, kScreen), (POINT{580, 500}));
    // A second screen to the right: its own edges count.
    EXPECT_EQ(PlacePopupMenu({2550, 10}, 150, 120, {1280, 0, 2560, 1024}), (POINT{2400, 10}));
}

} // namespace
} // namespace tovrin
