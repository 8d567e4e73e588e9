#include "controls/tray_fallback.h"
#include "controls/tray_icon.h"
#include "platform/nested_loop.h"
#include "platform/resources.h"
#include "res/resource.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>

// Stands for the window Qt's X11 tray icon docks, known to the program only by its class name.
class QSystemTrayIconSys : public QWidget {
    Q_OBJECT
};

namespace tovrin {
namespace {

// The main window's side: it puts its own texts in by position and takes the commands.
class FakeOwner : public TrayOwner {
public:
    void OnTrayMenu(QMenu& menu) override {
        ++menus;
        SetMenuItemText(menu, 0, QStringLiteral("Journal"));
        SetMenuItemText(menu, 2, QStringLiteral("Editor"));
        SetMenuItemText(menu, 3, QStringLiteral("Current messages"));
        SetMenuItemText(menu, 5, QStringLiteral("Exit"));
    }
    void OnCommand(int id) override { commands.push_back(id); }

    int menus = 0;
    std::vector<int> commands;
};

constexpr std::array<int, 4> kBitmaps{IDB_MENU_JOURNAL, IDB_MENU_EDITOR, IDB_MENU_CURRENT,
                                      IDB_MENU_EXIT};

QImage Picture(const QAction* action) {
    return action->icon().pixmap(13, 13).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Once the popup is up, picks the entry at position (or presses Escape for -1).
void ChooseWhenShown(int position) {
    QTimer::singleShot(0, [position] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        if (position < 0) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        menu->setActiveAction(menu->actions().at(position));
        QTest::keyClick(menu, Qt::Key_Return);
    });
}

class CTrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        tray.Create(&owner, IDR_TRAY_MENU, LoadIconResource(IDI_APP), QStringLiteral("Tovrin"));
    }
    FakeOwner owner;
    CTrayIcon tray;
};

TEST_F(CTrayIconTest, MenuCarriesTheOwnersTextsAndABitmapBesideEachCommand) {
    tray.SetBitmaps(kBitmaps);
    tray.localiseMenu = true;
    const auto menu = tray.BuildPopupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(owner.menus, 1);
    const QList<QAction*> a = menu->actions();
    ASSERT_EQ(a.size(), 6);
    EXPECT_TRUE(a[1]->isSeparator());
    EXPECT_TRUE(a[4]->isSeparator());
    const std::array<int, 4> positions{0, 2, 3, 5};
    const std::array<int, 4> commands{ID_JOURNAL, ID_EDITOR, ID_CURRENT_MESSAGES, ID_EXIT};
    const QStringList texts{"Journal", "Editor", "Current messages", "Exit"};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const QAction* action = a[positions[i]];
        EXPECT_EQ(MenuCommandId(action), commands[i]);
        EXPECT_EQ(action->text(), texts[static_cast<int>(i)]);
        EXPECT_EQ(Picture(action),
                  LoadBitmapResource(kBitmaps[i]).toImage().convertToFormat(QImage::Format_ARGB32));
    }
}

TEST_F(CTrayIconTest, EachShowingStartsFromTheResourceAgain) {
    tray.localiseMenu = true;
    tray.BuildPopupMenu();
    tray.localiseMenu = false;
    const auto menu = tray.BuildPopupMenu();
    EXPECT_EQ(owner.menus, 1);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Журнал"));
    EXPECT_EQ(menu->actions().at(5)->text(), QStringLiteral("Выход"));
    // No SetBitmaps: no pictures.
    for (const QAction* action : menu->actions()) {
        EXPECT_TRUE(action->icon().isNull());
    }
}

TEST_F(CTrayIconTest, FewerBitmapsThanCommandsLeaveTheLastWithout) {
    const std::array<int, 2> two{IDB_MENU_JOURNAL, IDB_MENU_EDITOR};
    tray.SetBitmaps(two);
    const auto menu = tray.BuildPopupMenu();
    EXPECT_FALSE(menu->actions().at(2)->icon().isNull());
    EXPECT_TRUE(menu->actions().at(3)->icon().isNull());
    EXPECT_TRUE(menu->actions().at(5)->icon().isNull());
}

TEST_F(CTrayIconTest, TheChosenCommandReachesTheOwnerAndNothingChosenSendsNothing) {
    ChooseWhenShown(2);
    EXPECT_TRUE(tray.ShowPopupMenu(QPoint(100, 100)));
    EXPECT_EQ(owner.commands, (std::vector<int>{ID_EDITOR}));

    ChooseWhenShown(-1);
    EXPECT_TRUE(tray.ShowPopupMenu(QPoint(100, 100)));
    EXPECT_EQ(owner.commands.size(), 1u);
}

// Near each corner of the screen the menu opens with a corner at the pointer, turned away from
// the edges it would pass, and wholly on the screen.
TEST_F(CTrayIconTest, TheMenuOpensWithACornerAtThePointerNearEveryCorner) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const std::array<QPoint, 5> pointers{screen.topLeft() + QPoint(5, 5),
                                         screen.topRight() + QPoint(-5, 5),
                                         screen.bottomLeft() + QPoint(5, -5),
                                         screen.bottomRight() + QPoint(-5, -5), screen.center()};
    for (const QPoint& pointer : pointers) {
        QRect shown;
        QTimer::singleShot(0, [&shown] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            shown = menu->geometry();
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        ASSERT_TRUE(tray.ShowPopupMenu(pointer));
        ASSERT_FALSE(shown.isEmpty());
        const bool cornerX = shown.left() == pointer.x() || shown.right() + 1 == pointer.x();
        const bool cornerY = shown.top() == pointer.y() || shown.bottom() + 1 == pointer.y();
        EXPECT_TRUE(cornerX && cornerY) << pointer.x() << "," << pointer.y();
        EXPECT_TRUE(screen.contains(shown)) << pointer.x() << "," << pointer.y();
    }
}

TEST_F(CTrayIconTest, TheOpenMenuCountsAsALoopButItsCommandRunsAfterIt) {
    bool openWhileShown = false;
    QTimer::singleShot(0, [&] { openWhileShown = NestedLoop::AnyOpen(); });
    ChooseWhenShown(3);
    struct Spy : FakeOwner {
        bool openAtCommand = true;
        void OnCommand(int id) override {
            openAtCommand = NestedLoop::AnyOpen();
            FakeOwner::OnCommand(id);
        }
    } spy;
    CTrayIcon icon;
    icon.Create(&spy, IDR_TRAY_MENU, LoadIconResource(IDI_APP), QStringLiteral("Tovrin"));
    EXPECT_TRUE(icon.ShowPopupMenu(QPoint(100, 100)));
    EXPECT_TRUE(openWhileShown);
    EXPECT_EQ(spy.commands, (std::vector<int>{ID_CURRENT_MESSAGES}));
    // The command may close windows: no loop of the menu's is left to close them under.
    EXPECT_FALSE(spy.openAtCommand);
    icon.Remove();
}

TEST_F(CTrayIconTest, OnlyALeftClickOpensTheMenu) {
    tray.localiseMenu = true;
    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick,
                        QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown}) {
        tray.OnActivated(reason);
    }
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 0);

    tray.OnActivated(QSystemTrayIcon::Trigger);
    ChooseWhenShown(-1);
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);
    EXPECT_TRUE(owner.commands.empty());
}

// The keyboard reaches the icon with the pointer elsewhere (Windows' notification area: Enter,
// Space or the menu key); the right button, on the icon, still opens nothing.
TEST(TrayMenuPlace, AClickOpensAtThePointerAndTheKeyboardAtTheIcon) {
    const QRect icon(1000, 990, 24, 24);
    const QPoint onIcon(1010, 1000);
    const QPoint away(300, 200);
    using R = QSystemTrayIcon;
    EXPECT_EQ(TrayMenuPlace(R::Trigger, onIcon, icon, false), onIcon);
    EXPECT_EQ(TrayMenuPlace(R::Trigger, away, icon, false), icon.center());
    EXPECT_EQ(TrayMenuPlace(R::Context, away, icon, false), icon.center());
    EXPECT_FALSE(TrayMenuPlace(R::Context, onIcon, icon, false));
    EXPECT_FALSE(TrayMenuPlace(R::DoubleClick, away, icon, false));
    EXPECT_FALSE(TrayMenuPlace(R::MiddleClick, away, icon, false));
    // A host over D-Bus shows the item's own menu for a context request, and tells no place.
    EXPECT_EQ(TrayMenuPlace(R::Trigger, away, QRect(), true), away);
    EXPECT_FALSE(TrayMenuPlace(R::Context, away, icon, true));
}

// Under load a menu opened on the press was closed again by the release; and a release that ends
// a click elsewhere (the one closing an open menu) must not open another.
TEST_F(CTrayIconTest, TheIconsWindowOpensTheMenuOnTheLeftButtonsReleaseOnly) {
    tray.localiseMenu = true;
    QSystemTrayIconSys icon;
    icon.resize(24, 24);
    ASSERT_TRUE(IsTrayIconWindow(&icon));
    EXPECT_FALSE(IsTrayIconWindow(tray.Fallback()));

    QTest::mousePress(&icon, Qt::LeftButton, {}, QPoint(12, 12));
    // The second press of a double click, as the window gets it.
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(12, 12), QPointF(12, 12),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&icon, &doubleClick);
    QTest::mouseClick(&icon, Qt::RightButton, {}, QPoint(12, 12));
    QTest::mouseClick(&icon, Qt::MiddleButton, {}, QPoint(12, 12));
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 0) << "a press, a double click or another button opened the menu";

    QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(12, 12));
    ChooseWhenShown(3);
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);
    EXPECT_EQ(owner.commands, (std::vector<int>{ID_CURRENT_MESSAGES}));

    // A release with no press on the icon before it, or one dragged off the icon.
    QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mousePress(&icon, Qt::LeftButton, {}, QPoint(12, 12));
    QTest::mouseRelease(&icon, Qt::LeftButton, {}, QPoint(40, 12));
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);
}

// The stand-in keeps the same rule as the icon.
TEST_F(CTrayIconTest, TheStandInOpensTheMenuOnlyOnAReleaseThatEndsItsOwnPress) {
    ASSERT_TRUE(tray.FallbackShown());
    tray.localiseMenu = true;
    CTrayFallbackWnd* fallback = tray.Fallback();
    QTest::mousePress(fallback, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 0);
    QTest::mouseRelease(fallback, Qt::LeftButton, {}, QPoint(10, 10));
    ChooseWhenShown(-1);
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);

    QTest::mouseRelease(fallback, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);
}

TEST_F(CTrayIconTest, UnknownMenuMakesTheClickDoNothing) {
    CTrayIcon broken;
    broken.Create(&owner, 9999, QIcon(), QString());
    EXPECT_EQ(broken.BuildPopupMenu(), nullptr);
    EXPECT_FALSE(broken.ShowPopupMenu(QPoint(0, 0)));
    broken.Remove();
}

TEST(CutTip, KeepsAtMost63CharactersAndWholeSurrogatePairs) {
    EXPECT_EQ(CutTip(QString(70, QLatin1Char('a'))).size(), 63);
    EXPECT_EQ(CutTip(QStringLiteral("Tovrin")), QStringLiteral("Tovrin"));
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    EXPECT_EQ(CutTip(QString(62, QLatin1Char('a')) + clef), QString(62, QLatin1Char('a')));
    EXPECT_EQ(CutTip(QString(61, QLatin1Char('a')) + clef).size(), 63);
}

// The offscreen platform has no notification area, like a bare desktop.
TEST_F(CTrayIconTest, WithoutATrayAStandInWindowOffersTheMenu) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_FALSE(tray.InTray());
    ASSERT_TRUE(tray.FallbackShown());
    CTrayFallbackWnd* fallback = tray.Fallback();
    EXPECT_EQ(fallback->windowTitle(), QStringLiteral("Tovrin"));

    tray.localiseMenu = true;
    QTest::mouseClick(fallback, Qt::LeftButton, {}, QPoint(10, 10));
    ChooseWhenShown(5);
    QTest::qWait(20);
    EXPECT_EQ(owner.menus, 1);
    EXPECT_EQ(owner.commands, (std::vector<int>{ID_EXIT}));

    fallback->close(); // it stays: it is the only way back to the program
    EXPECT_TRUE(tray.FallbackShown());

    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.FallbackShown());
    EXPECT_FALSE(tray.Remove());
}

} // namespace
} // namespace tovrin

#include "tray_icon_test.moc"
