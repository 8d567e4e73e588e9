#include "cool_pane_test_host.h"
#include "core/draw/cool_pane_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace tovrin {
namespace {

using test::FakePaneHost;

constexpr POINT kOutside{300, 10};

// A pane 124 x 240 like the editor's: folder 0 with five items (three fit, two scroll), folder 1
// with three. Folder 0's area is (0, 20, 124, 220); its items' icons start at 28, every 64.
class CoolPaneModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.SetClient({0, 0, 124, 240});
        model.AddFolder({34, 5, first.data(), {}, 0, 0});
        model.AddFolder({35, 3, second.data(), {}, 0, 0});
        host.Clear();
    }
    static POINT IconOf(int j) { return {60, 28 + 64 * j + 10}; }
    static POINT CaptionOf(int j) { return {50, 60 + 64 * j + 5}; }
    // Folder 0's down arrow: (98, 194)-(114, 210).
    static POINT DownArrowCentre() { return {106, 202}; }
    bool Invalidated(const RECT& r) const {
        return std::find(host.invalidated.begin(), host.invalidated.end(), r) !=
               host.invalidated.end();
    }

    std::array<CoolPaneItem, 5> first{{{129, 9, 0x1101, {}, {}},
                                       {130, 10, 0x1102, {}, {}},
                                       {148, 11, 0x7FFF1103, {}, {}},
                                       {142, 12, 0x1104, {}, {}},
                                       {143, 13, 0x1105, {}, {}}}};
    std::array<CoolPaneItem, 3> second{
        {{142, 12, 0x1104, {}, {}}, {143, 13, 0x1105, {}, {}}, {144, 14, 0x1106, {}, {}}}};
    FakePaneHost host;
    CoolPaneModel model{host};
};

TEST_F(CoolPaneModelTest, AddingFoldersSharesTheHeightAmongThem) {
    EXPECT_EQ(model.Folder(0).area, (RECT{0, 20, 124, 220}));
    EXPECT_EQ(model.Folder(1).area, (RECT{0, 40, 124, 240}));
    EXPECT_EQ(model.Folder(0).visibleCount, 3);
    EXPECT_EQ(model.Folder(0).hiddenCount, 2);
    EXPECT_EQ(model.Folder(1).hiddenCount, 0);

    // A second folder takes 20 pixels from the first, which is laid out again.
    std::array<CoolPaneItem, 3> items{};
    FakePaneHost h;
    CoolPaneModel m{h};
    m.SetClient({0, 0, 124, 220});
    m.AddFolder({1, 3, items.data(), {}, 0, 0});
    EXPECT_EQ(m.Folder(0).hiddenCount, 0);
    m.AddFolder({2, 0, nullptr, {}, 0, 0});
    EXPECT_EQ(m.Folder(0).area, (RECT{0, 20, 124, 200}));
    EXPECT_EQ(m.Folder(0).hiddenCount, 1);
}

TEST_F(CoolPaneModelTest, HoveringAnItemHighlightsItsIconCell) {
    model.MouseMove(IconOf(0), false);
    EXPECT_EQ(model.hotItem(), 0);
    EXPECT_EQ(model.hotRect(), first[0].iconCell);
    EXPECT_EQ(host.timers[CoolPaneModel::kHoverTimer], 100);
    EXPECT_TRUE(Invalidated(first[0].iconCell));

    // The caption counts as the item too; the old cell is repainted.
    host.Clear();
    model.MouseMove(CaptionOf(1), false);
    EXPECT_EQ(model.hotItem(), 1);
    EXPECT_TRUE(Invalidated(first[0].iconCell));
    EXPECT_TRUE(Invalidated(first[1].iconCell));

    // Empty space between items: nothing hot.
    model.MouseMove({5, 100}, false);
    EXPECT_EQ(model.hotItem(), -1);
}

TEST_F(CoolPaneModelTest, HeaderTakesOverAndTheItemGoesAfterTheDelay) {
    model.MouseMove(IconOf(0), false);
    model.MouseMove({60, 10}, false);
    EXPECT_EQ(model.hotHeader(), 0);
    EXPECT_EQ(model.hotRect(), (RECT{1, 0, 123, 21}));
    EXPECT_EQ(model.hotItem(), 0); // survives until timer 2
    EXPECT_EQ(host.timers[CoolPaneModel::kHeaderTimer], 150);

    model.Timer(CoolPaneModel::kHeaderTimer, {60, 10});
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_FALSE(host.TimerRunning(CoolPaneModel::kHeaderTimer));
    EXPECT_TRUE(Invalidated(first[0].iconCell));
}

TEST_F(CoolPaneModelTest, HandCursorOverHeadersOnly) {
    EXPECT_TRUE(model.WantsHandCursor({60, 10}, false));
    EXPECT_TRUE(model.WantsHandCursor({60, 225}, false)); // folder 1's header at the bottom
    EXPECT_FALSE(model.WantsHandCursor({0, 10}, false));  // hover keeps a pixel off the sides
    EXPECT_FALSE(model.WantsHandCursor(IconOf(0), false));
    EXPECT_FALSE(model.WantsHandCursor({60, 10}, true)); // a child of the pane has the focus
}

TEST_F(CoolPaneModelTest, LeavingThePaneClearsTheHighlightAndStopsWatching) {
    model.MouseMove(IconOf(1), false);
    model.Timer(CoolPaneModel::kHoverTimer, IconOf(1));
    EXPECT_EQ(model.hotItem(), 1);
    EXPECT_TRUE(host.TimerRunning(CoolPaneModel::kHoverTimer));

    host.Clear();
    model.Timer(CoolPaneModel::kHoverTimer, kOutside);
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_TRUE(IsRectEmpty(model.hotRect()));
    EXPECT_TRUE(Invalidated(first[1].iconCell));
    EXPECT_FALSE(host.TimerRunning(CoolPaneModel::kHoverTimer));

    model.MouseMove({60, 10}, false);
    model.Timer(CoolPaneModel::kHoverTimer, kOutside);
    EXPECT_EQ(model.hotHeader(), -1);
    EXPECT_FALSE(host.TimerRunning(CoolPaneModel::kHoverTimer));
}

TEST_F(CoolPaneModelTest, ItemClickSendsItsCommandOnce) {
    model.MouseMove(IconOf(2), false);
    model.ButtonUp(IconOf(2));
    EXPECT_EQ(host.commands, (std::vector<int>{0x1103})); // low 16 bits of the id
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_EQ(host.hoverRefreshes, 1);

    model.ButtonUp(IconOf(2));
    EXPECT_EQ(host.commands.size(), 1u);
}

TEST_F(CoolPaneModelTest, ButtonUpWithNothingHotSendsNothing) {
    for (POINT p : {IconOf(0), CaptionOf(1), POINT{60, 10}, POINT{5, 150}, kOutside}) {
        model.ButtonUp(p);
    }
    EXPECT_TRUE(host.commands.empty());
    // The item that hover made hot is clicked, wherever the button comes up.
    model.MouseMove(IconOf(1), false);
    model.ButtonUp({5, 150});
    EXPECT_EQ(host.commands, (std::vector<int>{0x1102}));
}

TEST_F(CoolPaneModelTest, ClickingTheOpenFoldersHeaderChangesNothing) {
    model.ButtonUp(DownArrowCentre());
    model.MouseMove(IconOf(0), false); // item 1, scrolled up into the first place
    host.Clear();
    model.ButtonUp({60, 10});
    EXPECT_EQ(model.openFolder(), 0);
    EXPECT_EQ(model.scrollPos(), 1);
    EXPECT_EQ(host.wholeRepaints, 0);
    // ... and the click goes on to the hot item.
    EXPECT_EQ(host.commands, (std::vector<int>{0x1102}));
}

TEST_F(CoolPaneModelTest, OpeningAnotherFolderStartsAtTheTop) {
    model.ButtonUp(DownArrowCentre());
    ASSERT_EQ(model.scrollOffset(), -64);
    model.MouseMove(IconOf(0), false);
    host.Clear();

    model.ButtonUp({60, 225}); // folder 1's header
    EXPECT_EQ(model.openFolder(), 1);
    EXPECT_EQ(model.scrollPos(), 0);
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_EQ(host.wholeRepaints, 1);
    EXPECT_EQ(host.hoverRefreshes, 1);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(model.HeaderRectOf(1, HeaderUse::Click), (RECT{0, 20, 124, 40}));

    model.ButtonUp({60, 10});
    EXPECT_EQ(model.openFolder(), 0);
    EXPECT_EQ(model.scrollPos(), 0);
    EXPECT_FALSE(model.UpArrowShown());
}

TEST_F(CoolPaneModelTest, ArrowsScrollOnlyWhileShownAndScrollBackExactly) {
    const POINT down = DownArrowCentre();
    const POINT up{106, 38};
    EXPECT_TRUE(model.DownArrowShown());
    EXPECT_FALSE(model.UpArrowShown());
    model.ButtonUp(up); // where the hidden up arrow would be
    EXPECT_EQ(model.scrollPos(), 0);

    std::vector<int> offsets;
    for (int i = 0; i < 3; ++i) {
        model.ButtonUp(down);
        offsets.push_back(model.scrollOffset());
    }
    EXPECT_EQ(offsets, (std::vector<int>{-64, -128, -128})); // the third click is past the end
    EXPECT_FALSE(model.DownArrowShown());
    EXPECT_TRUE(model.UpArrowShown());
    EXPECT_TRUE(Invalidated(model.Folder(0).area));

    model.ButtonUp(up);
    model.ButtonUp(up);
    EXPECT_EQ(model.scrollPos(), 0);
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_EQ(first[0].iconCell, (RECT{46, 28, 78, 60})); // layout untouched by scrolling
}

TEST_F(CoolPaneModelTest, ScrolledItemsAreHitWhereTheyAreDrawn) {
    model.ButtonUp(DownArrowCentre());
    model.MouseMove(IconOf(0), false);
    EXPECT_EQ(model.hotItem(), 1);
    EXPECT_EQ(model.hotRect(), OffsetRect(first[1].iconCell, 0, -64));
}

TEST_F(CoolPaneModelTest, FocusInAChildWindowSuppressesHighlight) {
    model.MouseMove(IconOf(0), true);
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_FALSE(host.TimerRunning(CoolPaneModel::kHoverTimer));
}

TEST_F(CoolPaneModelTest, ResizingLaysOutAgainAndKeepsScrollInRange) {
    model.ButtonUp(DownArrowCentre());
    model.ButtonUp(DownArrowCentre());
    model.SetClient({0, 0, 124, 400});
    model.Relayout();
    EXPECT_EQ(model.Folder(0).area, (RECT{0, 20, 124, 380}));
    EXPECT_EQ(model.Folder(0).hiddenCount, 0);
    EXPECT_EQ(model.scrollPos(), 0);
    EXPECT_EQ(model.scrollOffset(), 0);
}

TEST(CoolPaneModelEmpty, NoFoldersMeansNoHitsAndNoCrash) {
    FakePaneHost host;
    CoolPaneModel model{host};
    model.SetClient({0, 0, 124, 240});
    model.MouseMove({60, 10}, false);
    model.ButtonUp({60, 10});
    model.Timer(CoolPaneModel::kHoverTimer, kOutside);
    EXPECT_EQ(model.hotHeader(), -1);
    EXPECT_EQ(model.hotItem(), -1);
    EXPECT_FALSE(model.DownArrowShown());
    EXPECT_TRUE(host.commands.empty());
}

} // namespace
} // namespace tovrin
