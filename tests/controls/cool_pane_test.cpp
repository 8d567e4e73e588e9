#include "controls/cool_pane.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "platform/command_target.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"
#include "res/resource.h"
#include "support/editor_pane_items.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMap>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <array>

namespace tovrin {
namespace {

// The editor's side of the pane: texts by key, commands by number.
class PaneOwner : public QWidget, public TextSource, public CommandTarget {
public:
    QString OnGetText(int key) override {
        ++asked[key];
        return texts.value(key, QStringLiteral("Text %1").arg(key));
    }
    void OnCommand(int id) override { commands.push_back(id); }

    QMap<int, QString> texts;
    QMap<int, int> asked;
    std::vector<int> commands;
};

// The editor's two folders, over a pane of 124 x 240: folder 0 is (0, 20)-(124, 220) and its
// icons lie at (46, 28), (46, 92), (46, 156); folder 1's header is painted at y = 218.
class IXCoolPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitSysColors();
        owner.resize(300, 300);
        pane.textFromParent = true;
        ASSERT_TRUE(pane.Create(QRect(0, 0, 124, 240), &owner, IDC_PANE));
        pane.AddFolder({34, 3, records.data(), {}, 0, 0});
        pane.AddFolder({35, 3, program.data(), {}, 0, 0});
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    QImage Grab() { return pane.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QColor C(COLORREF c) { return ToQColor(c); }

    EditorPaneItems items;
    std::array<CoolPaneItem, 3>& records = items.records;
    std::array<CoolPaneItem, 3>& program = items.program;
    PaneOwner owner;
    IXCoolPane pane;
};

TEST_F(IXCoolPaneTest, PaintsASunkenPaneWithRaisedHeadersAndIcons) {
    const QImage img = Grab();
    EXPECT_EQ(img.pixelColor(0, 100), C(sysColors.shadow));            // left edge
    EXPECT_EQ(img.pixelColor(60, 0), C(sysColors.shadow));             // top edge
    EXPECT_EQ(img.pixelColor(60, 239), C(sysColors.window));           // bottom edge
    EXPECT_EQ(img.pixelColor(123, 100), C(sysColors.window));          // right edge
    EXPECT_EQ(img.pixelColor(10, 100), C(GetSysColor(COLOR_BTNFACE))); // the surface's own fill
    // Header 0: light top line at y = 1, dark bottom and right lines at y = 20 and x = 122.
    EXPECT_EQ(img.pixelColor(10, 1), C(sysColors.window));
    EXPECT_EQ(img.pixelColor(10, 20), C(sysColors.shadow));
    EXPECT_EQ(img.pixelColor(122, 10), C(sysColors.shadow));
    EXPECT_EQ(img.pixelColor(5, 5), C(sysColors.face));
    // Folder 1's header at the bottom, painted one pixel above its hit-test place.
    EXPECT_EQ(img.pixelColor(10, 219), C(sysColors.window));
    EXPECT_EQ(img.pixelColor(10, 238), C(sysColors.shadow));

    QImage icon(32, 32, QImage::Format_RGB32);
    icon.fill(C(GetSysColor(COLOR_BTNFACE)));
    QPainter(&icon).drawPixmap(0, 0, LoadIconPixmap(IDI_CHANGE_RECORD, 32));
    const RECT cell = records[1].iconCell; // where the layout put it
    EXPECT_EQ(cell.left, 46);
    EXPECT_EQ(img.copy(cell.left, cell.top, 32, 32), icon);
}

TEST_F(IXCoolPaneTest, HoverHighlightsItemsAndHeadersAndTheHandOnlyOnHeaders) {
    QTest::mouseMove(&pane, QPoint(60, 40));
    ASSERT_EQ(pane.Model().hotItem(), 0);
    QImage img = Grab();
    EXPECT_EQ(img.pixelColor(46, 28), C(sysColors.highlight)); // frame
    EXPECT_EQ(img.pixelColor(47, 29), C(sysColors.hotFill));   // fill behind the icon
    EXPECT_NE(pane.cursor().shape(), Qt::BitmapCursor);

    QTest::mouseMove(&pane, QPoint(60, 10));
    ASSERT_EQ(pane.Model().hotHeader(), 0);
    img = Grab();
    EXPECT_EQ(img.pixelColor(10, 20), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(122, 10), QColor(Qt::black));
    EXPECT_EQ(pane.cursor().shape(), Qt::BitmapCursor);
}

TEST_F(IXCoolPaneTest, CaptionsComeFromTheOwnerAtEveryLayoutAndPaint) {
    owner.asked.clear();
    const QImage before = Grab();
    EXPECT_EQ(owner.asked.value(34), 1);
    EXPECT_EQ(owner.asked.value(35), 1);
    EXPECT_EQ(owner.asked.value(9), 1);
    EXPECT_EQ(owner.asked.value(12), 0); // folder 1 is closed: its items are not drawn

    owner.texts[9] = QStringLiteral("Something new");
    EXPECT_NE(Grab(), before);

    owner.asked.clear();
    pane.resize(124, 300); // a new layout measures every caption again
    for (int key = 9; key <= 14; ++key) {
        EXPECT_EQ(owner.asked.value(key), 1) << key;
    }
}

TEST_F(IXCoolPaneTest, WithoutTextFromParentTheStringTableIsUsed) {
    IXCoolPane plain;
    plain.Create(QRect(0, 0, 124, 240), &owner, 101);
    owner.asked.clear();
    plain.AddFolder({34, 3, records.data(), {}, 0, 0});
    plain.grab();
    EXPECT_TRUE(owner.asked.isEmpty());
}

TEST_F(IXCoolPaneTest, ClickingAnItemSendsItsCommandToTheOwner) {
    QTest::mouseMove(&pane, QPoint(60, 100));
    QTest::mouseClick(&pane, Qt::RightButton, {}, QPoint(60, 100));
    EXPECT_TRUE(owner.commands.empty());
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 100));
    EXPECT_EQ(owner.commands, (std::vector<int>{ID_PANE_MODIFY}));
    EXPECT_TRUE(pane.hasFocus());

    // Opening folder 1 by its header, then its first item.
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 225));
    EXPECT_EQ(pane.Model().openFolder(), 1);
    QTest::mouseMove(&pane, QPoint(60, 55));
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 55));
    EXPECT_EQ(owner.commands.back(), ID_PANE_SETTINGS);
}

TEST_F(IXCoolPaneTest, LeavingThePaneClearsTheHighlight) {
    QTest::mouseMove(&pane, QPoint(60, 40));
    ASSERT_EQ(pane.Model().hotItem(), 0);
    QTest::mouseMove(&owner, QPoint(250, 250));
    for (int waited = 0; waited < 1000 && pane.Model().hotItem() != -1; waited += 20) {
        QTest::qWait(20);
    }
    EXPECT_EQ(pane.Model().hotItem(), -1);
}

class IXCoolPaneKeys : public IXCoolPaneTest {
protected:
    void SetUp() override {
        IXCoolPaneTest::SetUp();
        QApplication::setActiveWindow(&owner);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        pane.setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(pane.hasFocus());
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers chords = Qt::NoModifier) {
        QTest::keyClick(&pane, key, chords);
    }
    // Where the keyboard is: open folder and focused item.
    std::pair<int, int> At() const { return {pane.Model().openFolder(), pane.FocusItem()}; }
};

TEST_F(IXCoolPaneKeys, ArrowsWalkEveryItemOfBothFoldersAndSpaceAlonePressesIt) {
    using Place = std::pair<int, int>;
    EXPECT_EQ(At(), Place(0, 0));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(At(), Place(0, 2));
    Key(Qt::Key_Down); // on into the next folder, which opens
    EXPECT_EQ(At(), Place(1, 0));
    Key(Qt::Key_Space);
    Key(Qt::Key_End);
    Key(Qt::Key_Space);
    Key(Qt::Key_Up);
    Key(Qt::Key_Space);
    EXPECT_EQ(owner.commands, (std::vector<int>{ID_PANE_SETTINGS, ID_PANE_ABOUT, ID_PANE_HELP}));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down); // the last item stays
    EXPECT_EQ(At(), Place(1, 2));
    Key(Qt::Key_Home);
    Key(Qt::Key_Up); // back into the first folder, at its last item
    EXPECT_EQ(At(), Place(0, 2));
    // Enter is no command key: on the delete item it must not delete.
    owner.commands.clear();
    Key(Qt::Key_Return);
    Key(Qt::Key_Enter);
    Key(Qt::Key_Delete);
    Key(Qt::Key_Insert);
    EXPECT_TRUE(owner.commands.empty());
    Key(Qt::Key_Space);
    EXPECT_EQ(owner.commands, std::vector<int>{ID_PANE_DELETE});
    Key(Qt::Key_PageDown);
    EXPECT_EQ(At(), Place(1, 0));
    Key(Qt::Key_PageUp);
    Key(Qt::Key_Up); // nothing before the first item
    EXPECT_EQ(At(), Place(0, 0));
    Key(Qt::Key_Space);
    EXPECT_EQ(owner.commands.back(), ID_PANE_ADD);
}

TEST_F(IXCoolPaneKeys, AHeldKeyAndChordsPressNothing) {
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(&pane, &held);
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(pane.FocusItem(), 0);
}

TEST_F(IXCoolPaneKeys, AClickMovesTheKeyboardToTheClickedItemAndAClickedFolderStartsAtItsTop) {
    QTest::mouseMove(&pane, QPoint(60, 160));
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 160));
    EXPECT_EQ(pane.FocusItem(), 2);
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 225)); // folder 1's header
    EXPECT_EQ(At(), std::make_pair(1, 0));
}

// Black pixels on the edge of the frame item j would have.
int FrameDots(const QImage& img, const QRect& frame) {
    int dots = 0;
    for (int x = frame.left(); x <= frame.right(); ++x) {
        dots += img.pixelColor(x, frame.top()) == QColor(Qt::black) ? 1 : 0;
    }
    return dots;
}

TEST_F(IXCoolPaneKeys, TheFocusedItemIsFramedOnlyWhileThePaneHasTheFocus) {
    Key(Qt::Key_Down);
    const QRect frame = pane.FocusFrame(1);
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_GT(FrameDots(Grab(), frame), frame.width() / 3);
    EXPECT_EQ(FrameDots(Grab(), pane.FocusFrame(0)), 0);
    pane.clearFocus();
    EXPECT_EQ(FrameDots(Grab(), frame), 0);
}

TEST_F(IXCoolPaneKeys, AClickLeavesNoFrameUntilAKeyMovesAbout) {
    QTest::mouseMove(&pane, QPoint(60, 160));
    QTest::mouseClick(&pane, Qt::LeftButton, {}, QPoint(60, 160));
    ASSERT_TRUE(pane.hasFocus());
    EXPECT_EQ(FrameDots(Grab(), pane.FocusFrame(2)), 0);
    Key(Qt::Key_Up);
    EXPECT_GT(FrameDots(Grab(), pane.FocusFrame(1)), pane.FocusFrame(1).width() / 3);
}

TEST_F(IXCoolPaneKeys, AnItemOutOfSightScrollsIntoViewAndBackToItsPlace) {
    pane.resize(124, 150); // folder 0 keeps 20 to 130: room for one item
    ASSERT_GT(pane.Model().Folder(0).hiddenCount, 0);
    Key(Qt::Key_End);
    EXPECT_EQ(pane.FocusItem(), 2);
    EXPECT_EQ(pane.Model().scrollPos(), 2);
    const QRect area = QRect(0, 20, 124, 110);
    EXPECT_TRUE(area.contains(pane.FocusFrame(2)));
    Key(Qt::Key_Home);
    EXPECT_EQ(pane.Model().scrollPos(), 0);
    EXPECT_EQ(pane.Model().scrollOffset(), 0);
}

// The captions are measured alike whatever font the desktop gives the program: 16 pixels high,
// so the open folder's items lie 64 pixels apart.
TEST(IXCoolPane, TheLayoutIgnoresTheDesktopsFont) {
    InitSysColors();
    const QFont saved = QApplication::font();
    for (const int points : {6, 9, 20}) {
        QFont desktop = saved;
        desktop.setPointSize(points);
        QApplication::setFont(desktop);
        PaneOwner owner;
        owner.resize(300, 300);
        IXCoolPane pane;
        pane.textFromParent = true;
        ASSERT_TRUE(pane.Create(QRect(0, 0, 124, 240), &owner, IDC_PANE));
        std::array<CoolPaneItem, 3> items{{{IDI_NEW_RECORD, 9, ID_PANE_ADD, {}, {}},
                                           {IDI_CHANGE_RECORD, 10, ID_PANE_MODIFY, {}, {}},
                                           {IDI_DELETE, 11, ID_PANE_DELETE, {}, {}}}};
        pane.AddFolder({34, 3, items.data(), {}, 0, 0});
        EXPECT_EQ(QFontMetrics(CaptionMeasureFont()).height(), 16);
        const CoolPaneFolder& folder = pane.Model().Folder(0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(folder.items[i].iconCell.top, 28 + 64 * i) << points << " pt, item " << i;
            EXPECT_EQ(folder.items[i].iconCell.left, 46) << points << " pt, item " << i;
        }
    }
    QApplication::setFont(saved);
}

TEST(IXCoolPane, CreateNeedsAParent) {
    IXCoolPane pane;
    EXPECT_FALSE(pane.Create(QRect(0, 0, 10, 10), nullptr, 100));
}

} // namespace
} // namespace tovrin
