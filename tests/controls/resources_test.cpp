#include "platform/resources.h"
#include "res/resource.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include <vector>

namespace tovrin {
namespace {

struct IconCase {
    int id;
    int natural;
    std::vector<int> sizes;
};

const std::vector<IconCase> kIcons = {
    {IDI_APP, 32, {16, 22, 24, 32, 48, 64}},
    {IDI_NEW_RECORD, 16, {16, 32}},
    {IDI_CHANGE_RECORD, 16, {16, 32}},
    {IDI_BAR_TOP, 16, {16}},
    {IDI_BAR_BOTTOM, 16, {16}},
    {IDI_SETTINGS, 16, {16, 32}},
    {IDI_HELP, 32, {16, 32}},
    {IDI_ABOUT, 16, {16, 32}},
    {IDI_DELETE, 32, {16, 32}},
    {IDI_ARROW_DOWN, 16, {16}},
    {IDI_ARROW_UP, 16, {16}},
    {IDI_JOURNAL, 32, {16, 22, 24, 32, 48, 64}},
};

bool HasOpaquePixel(const QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixelColor(x, y).alpha() == 255) {
                return true;
            }
        }
    }
    return false;
}

TEST(Resources, EveryIconLoadsAtEachOfItsSizes) {
    for (const IconCase& c : kIcons) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(IconNaturalSize(c.id), c.natural);
        EXPECT_EQ(LoadIconPixmap(c.id).size(), QSize(c.natural, c.natural));
        const QIcon icon = LoadIconResource(c.id);
        for (int size : c.sizes) {
            const QPixmap pixmap = LoadIconPixmap(c.id, size);
            ASSERT_EQ(pixmap.size(), QSize(size, size));
            EXPECT_TRUE(HasOpaquePixel(pixmap.toImage()));
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        }
        // The pane asks for 32 x 32 whatever was drawn; a missing size is scaled.
        EXPECT_EQ(LoadIconPixmap(c.id, 32).size(), QSize(32, 32));
        EXPECT_EQ(LoadIconPixmap(c.id, 20).size(), QSize(20, 20));
    }
    EXPECT_EQ(LoadIconPixmap(IDI_JOURNAL, 32).toImage(), LoadIconPixmap(IDI_APP, 32).toImage());
}

TEST(Resources, EachIconIsDecodedOnceForTheWholeRun) {
    // Qt caches the drawings handed out of an icon under the icon's key: a fresh icon for every
    // window opened would fill that cache with copies. The same icon, drawn again, is the same
    // drawing.
    const QIcon first = LoadIconResource(IDI_APP);
    const QIcon again = LoadIconResource(IDI_APP);
    EXPECT_EQ(first.cacheKey(), again.cacheKey());
    EXPECT_EQ(first.pixmap(32).cacheKey(), again.pixmap(32).cacheKey());
    EXPECT_NE(LoadIconResource(IDI_JOURNAL).cacheKey(), first.cacheKey());
}

TEST(Resources, BitmapsHaveTheirSizesAndTheClocksAWhiteMask) {
    const QImage clocks = LoadBitmapResource(IDB_CLOCKS).toImage();
    ASSERT_EQ(clocks.size(), QSize(16, 8));
    for (QPoint corner : {QPoint(0, 0), QPoint(7, 7), QPoint(8, 0), QPoint(15, 7)}) {
        EXPECT_EQ(clocks.pixelColor(corner), QColor(Qt::white));
    }
    EXPECT_EQ(clocks.pixelColor(4, 2), QColor(255, 0, 0)); // the red hand of the first clock
    EXPECT_EQ(clocks.pixelColor(8, 2), QColor(0, 0, 255)); // the rim of the blue one
    for (int id : {IDB_MENU_JOURNAL, IDB_MENU_EDITOR, IDB_MENU_CURRENT, IDB_MENU_EXIT}) {
        const QPixmap bitmap = LoadBitmapResource(id);
        EXPECT_EQ(bitmap.size(), QSize(13, 13)) << id;
        EXPECT_TRUE(HasOpaquePixel(bitmap.toImage())) << id;
    }
}

TEST(Resources, HandCursorPointsWithItsFingerTip) {
    const QCursor hand = LoadCursorResource(IDC_HAND);
    ASSERT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32));
    const QImage img = hand.pixmap().toImage();
    EXPECT_EQ(img.pixelColor(hand.hotSpot()).alpha(), 255);
    // Nothing of the hand lies above the tip.
    for (int x = 0; x < 32; ++x) {
        for (int y = 0; y < hand.hotSpot().y(); ++y) {
            EXPECT_EQ(img.pixelColor(x, y).alpha(), 0);
        }
    }
}

TEST(Resources, UnknownIdsGiveNothing) {
    EXPECT_TRUE(LoadIconResource(1).isNull());
    EXPECT_TRUE(LoadIconPixmap(IDB_CLOCKS).isNull());
    EXPECT_TRUE(LoadIconPixmap(IDI_APP, -5).isNull());
    EXPECT_EQ(IconNaturalSize(1), 0);
    EXPECT_TRUE(LoadBitmapResource(IDI_APP).isNull());
    EXPECT_EQ(LoadCursorResource(1).shape(), Qt::ArrowCursor);
    EXPECT_TRUE(LoadStringResource(10).isEmpty());
    EXPECT_EQ(LoadMenuResource(IDD_EDITOR), nullptr);
}

TEST(Resources, WebAddressString) {
    EXPECT_EQ(LoadStringResource(IDS_WEB_ADDRESS), QStringLiteral("https://tovrin.org/"));
}

TEST(Resources, MenusHoldTheirCommandsInOrder) {
    const MenuTemplate* journal = LoadMenuResource(IDR_JOURNAL_MENU);
    ASSERT_NE(journal, nullptr);
    ASSERT_EQ(journal->items.size(), 1u);
    EXPECT_EQ(journal->items[0].id, ID_CLEAR_ALL);
    EXPECT_EQ(journal->items[0].text, QStringLiteral("Очистить все"));

    const MenuTemplate* tray = LoadMenuResource(IDR_TRAY_MENU);
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(tray->items.size(), 1u);
    const auto& popup = tray->items[0].popup;
    ASSERT_EQ(popup.size(), 6u);
    const std::vector<int> ids{ID_JOURNAL, 0, ID_EDITOR, ID_CURRENT_MESSAGES, 0, ID_EXIT};
    const QStringList texts{"Журнал", "", "Редактор", "Текущие сообщения", "", "Выход"};
    for (std::size_t i = 0; i < popup.size(); ++i) {
        EXPECT_EQ(popup[i].id, ids[i]) << i;
        EXPECT_EQ(popup[i].separator, ids[i] == 0) << i;
        EXPECT_EQ(popup[i].text, texts[static_cast<int>(i)]) << i;
    }
}

TEST(Resources, MenusBuildIntoBarsAndPopupsKeepingIdsWhenRetexted) {
    QMenuBar bar;
    AppendMenuItems(bar, LoadMenuResource(IDR_JOURNAL_MENU)->items);
    ASSERT_EQ(bar.actions().size(), 1);
    EXPECT_EQ(MenuCommandId(bar.actions()[0]), ID_CLEAR_ALL);
    EXPECT_TRUE(SetMenuItemText(bar, 0, QStringLiteral("Clear all")));
    EXPECT_EQ(bar.actions()[0]->text(), QStringLiteral("Clear all"));
    EXPECT_EQ(MenuCommandId(bar.actions()[0]), ID_CLEAR_ALL);
    EXPECT_FALSE(SetMenuItemText(bar, 1, QStringLiteral("x")));
    EXPECT_FALSE(SetMenuItemText(bar, -1, QStringLiteral("x")));

    QMenu menu;
    AppendMenuItems(menu, LoadMenuResource(IDR_TRAY_MENU)->items);
    ASSERT_EQ(menu.actions().size(), 1);
    const QMenu* sub = menu.actions()[0]->menu();
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(sub->actions().size(), 6);
    EXPECT_TRUE(sub->actions()[4]->isSeparator());
    EXPECT_EQ(MenuCommandId(sub->actions()[4]), 0);
    EXPECT_EQ(MenuCommandId(sub->actions()[5]), ID_EXIT);
    EXPECT_EQ(MenuCommandId(nullptr), 0);
}

} // namespace
} // namespace tovrin
