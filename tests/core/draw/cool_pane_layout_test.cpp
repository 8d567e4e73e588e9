#include "cool_pane_test_host.h"
#include "core/draw/cool_pane_layout.h"

#include <gtest/gtest.h>

#include <array>

namespace tovrin {
namespace {

using test::FakePaneHost;

std::array<CoolPaneItem, 3> ThreeItems() {
    return {{{129, 9, 0x1101, {}, {}}, {130, 10, 0x1102, {}, {}}, {148, 11, 0x1103, {}, {}}}};
}

TEST(CoolPaneLayout, WorkedExamplePlacesIconsAndCaptions) {
    auto items = ThreeItems();
    CoolPaneFolder folder{34, 3, items.data(), {0, 20, 124, 240}, 0, 0};
    FakePaneHost host;
    EXPECT_EQ(LayoutFolder(folder, {0, 0, 124, 240}, host), 3);
    EXPECT_EQ(items[0].iconCell, (RECT{46, 28, 78, 60}));
    EXPECT_EQ(items[1].iconCell, (RECT{46, 92, 78, 124}));
    EXPECT_EQ(items[2].iconCell, (RECT{46, 156, 78, 188}));
    // Captions 40 wide are centred on the client: (124 - 40) / 2 = 42.
    EXPECT_EQ(items[0].textBox, (RECT{42, 60, 82, 76}));
    EXPECT_EQ(items[1].textBox.top, 124);
    EXPECT_EQ(items[2].textBox.top, 188);
    EXPECT_EQ(host.measured, (std::vector<int32_t>{9, 10, 11}));
}

TEST(CoolPaneLayout, ItemEndingExactlyOnTheAreaBottomIsNotVisible) {
    auto items = ThreeItems();
    FakePaneHost host;
    // The third caption ends at 188 + 16 = 204.
    CoolPaneFolder folder{34, 3, items.data(), {0, 20, 124, 204}, 0, 0};
    EXPECT_EQ(LayoutFolder(folder, {0, 0, 124, 204}, host), 2);
    folder.area.bottom = 205;
    EXPECT_EQ(LayoutFolder(folder, {0, 0, 124, 205}, host), 3);
}

TEST(CoolPaneLayout, OddWidthsCentreWithIntegerDivision) {
    auto items = ThreeItems();
    FakePaneHost host;
    host.extent = {41, 13};
    CoolPaneFolder folder{34, 3, items.data(), {0, 20, 125, 240}, 0, 0};
    LayoutFolder(folder, {0, 0, 125, 240}, host);
    EXPECT_EQ(items[0].iconCell, (RECT{46, 28, 78, 60})); // centre 125 / 2 = 62
    EXPECT_EQ(items[0].textBox, (RECT{42, 60, 83, 73}));  // (125 - 41) / 2 = 42
    EXPECT_EQ(items[1].iconCell.top, 60 + 13 + 16);
}

TEST(CoolPaneLayout, BrokenItemTablesLayOutNothing) {
    FakePaneHost host;
    CoolPaneFolder noTable{34, 3, nullptr, {0, 20, 124, 240}, 0, 0};
    EXPECT_EQ(LayoutFolder(noTable, {0, 0, 124, 240}, host), 0);
    auto items = ThreeItems();
    CoolPaneFolder negative{34, -2, items.data(), {0, 20, 124, 240}, 0, 0};
    EXPECT_EQ(LayoutFolder(negative, {0, 0, 124, 240}, host), 0);
    EXPECT_TRUE(host.measured.empty());
}

TEST(CoolPaneLayout, HeadersStackAboveAndBelowTheOpenFolder) {
    const RECT client{0, 0, 124, 240};
    // Folder 0 open: folder 1's header sits at the bottom, one pixel higher when painted.
    EXPECT_EQ(HeaderRect(0, 2, 0, client, HeaderUse::Click), (RECT{0, 0, 124, 20}));
    EXPECT_EQ(HeaderRect(1, 2, 0, client, HeaderUse::Click), (RECT{0, 219, 124, 239}));
    EXPECT_EQ(HeaderRect(1, 2, 0, client, HeaderUse::Paint), (RECT{0, 218, 124, 238}));
    EXPECT_EQ(HeaderRect(1, 2, 0, client, HeaderUse::Hover), (RECT{1, 219, 123, 239}));
    // Folder 1 open: both headers on top.
    EXPECT_EQ(HeaderRect(1, 2, 1, client, HeaderUse::Paint), (RECT{0, 20, 124, 40}));
}

TEST(CoolPaneLayout, ArrowsSitInTheAreaCorners) {
    const RECT area{0, 20, 124, 220};
    EXPECT_EQ(DownArrowRect(area), (RECT{98, 194, 114, 210}));
    EXPECT_EQ(UpArrowRect(area), (RECT{98, 30, 114, 46}));
}

} // namespace
} // namespace tovrin
