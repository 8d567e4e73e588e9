#include "core/lang/codepage.h"
#include "core/schedule/date_math.h"
#include "core/store/store_file.h"
#include "platform/announcer.h"
#include "platform/list_view.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "ui/notify_dlg.h"
#include "window_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <memory>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;

// Counts the times a window is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
        }
        return QObject::eventFilter(watched, event);
    }
};

class ManagerTest : public test::WindowTest {
protected:
    std::unique_ptr<CManagerDlg> Start() {
        auto dlg = std::make_unique<CManagerDlg>();
        EXPECT_TRUE(dlg->Create());
        return dlg;
    }

    // One tick a second, from the clock's time up to and including `last`.
    void TickThrough(CManagerDlg& dlg, const SYSTEMTIME& last) {
        while (CompareDateTime(clock_.Now(), last) <= 0) {
            dlg.OnTimer();
            clock_.AdvanceSeconds(1);
        }
    }

    static QStringList Rows(CManagerDlg& dlg) {
        QStringList rows;
        for (int i = 0; i < dlg.Journal()->GetItemCount(); ++i) {
            rows << dlg.Journal()->GetItemText(i, 0);
        }
        return rows;
    }

    static QPoint CornerFor(CManagerDlg& dlg) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        return {screen.right() + 1 - dlg.frameGeometry().width(),
                screen.bottom() + 1 - dlg.frameGeometry().height() - 50};
    }

    static std::vector<ReminderRecord> Stored() {
        std::vector<ReminderRecord> records;
        ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        return records;
    }
};

TEST_F(ManagerTest, StartsHiddenWithItsTextsTimerAndTray) {
    auto dlg = Start();
    EXPECT_FALSE(dlg->isVisible());
    ASSERT_NE(dlg->Journal(), nullptr);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Журнал");
    EXPECT_EQ(dlg->Journal()->model()->headerData(0, Qt::Horizontal).toString(), "Сообщения");
    EXPECT_EQ(dlg->MenuBar()->actions().value(0)->text(), "Очистить все");
    EXPECT_TRUE(dlg->Timer().isActive());
    EXPECT_EQ(dlg->Timer().interval(), 1000);
    EXPECT_TRUE(dlg->TrayIcon().InTray() || dlg->TrayIcon().FallbackShown());
    EXPECT_EQ(dlg->TrayIcon().Tip(), "Tovrin — напоминания");
    EXPECT_EQ(dlg->GetChildKind(), CHILD_NONE); // nothing due: no current messages
    EXPECT_TRUE(boxes_.Calls().empty());

    const std::unique_ptr<QMenu> menu = dlg->TrayIcon().BuildPopupMenu();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? "-" : action->text());
    }
    EXPECT_EQ(texts, (QStringList{"Журнал", "-", "Редактор", "Текущие сообщения", "-", "Выход"}));
}

// A StatusNotifier host asks for the item's own menu whenever it likes, a box open or not: its
// texts come from the file when they are there, and otherwise stay, without a box or a quit.
TEST_F(ManagerTest, TheItemsOwnMenuTakesTheFilesTextsQuietly) {
    auto dlg = Start();
    auto menuTexts = [&] {
        // The menu as the resource builds it, before any texts of the file.
        auto menu = std::make_unique<QMenu>();
        for (int i = 0; i < 6; ++i) {
            if (i == 1 || i == 4) {
                menu->addSeparator();
            } else {
                menu->addAction(QStringLiteral("as built"));
            }
        }
        dlg->OnTrayItemMenu(*menu);
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? "-" : action->text());
        }
        return texts;
    };
    EXPECT_EQ(menuTexts(),
              (QStringList{"Журнал", "-", "Редактор", "Текущие сообщения", "-", "Выход"}));

    test::WriteText(kLangPath, "[Menu]\r\n1=J\r\n");
    EXPECT_EQ(menuTexts(), (QStringList{"J", "-", "as built", "as built", "-", "as built"}));
    std::filesystem::remove(kLangPath);
    EXPECT_EQ(menuTexts(), (QStringList{"as built", "-", "as built", "as built", "-", "as built"}));
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(ManagerTest, OnceReminderFiresOnceAtItsMinuteIntoTheCorner) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Call the clinic"),
              Rec(MODE_ONCE, At(2026, 12, 9, 14, 30), "Tomorrow, not today")});
    auto dlg = Start();
    TickThrough(*dlg, At(2026, 12, 8, 14, 29, 59));
    EXPECT_FALSE(dlg->isVisible());
    TickThrough(*dlg, At(2026, 12, 8, 14, 31, 5));
    EXPECT_EQ(Rows(*dlg), QStringList{"Call the clinic"});
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->pos(), CornerFor(*dlg));
    EXPECT_TRUE(dlg->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(ManagerTest, StartAfterTheMinuteDoesNotFireIt) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Missed")});
    clock_.Set(At(2026, 12, 8, 14, 31));
    auto dlg = Start();
    TickThrough(*dlg, At(2026, 12, 8, 14, 33));
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(ManagerTest, DailyFiresEveryDayAcrossMidnight) {
    PutStore({Rec(MODE_DAILY, At(2020, 1, 1, 8, 0), "Morning pills"),
              Rec(MODE_DAILY, At(2020, 1, 1, 0, 0), "Midnight")});
    clock_.Set(At(2026, 12, 8, 7, 59, 58));
    auto dlg = Start();
    TickThrough(*dlg, At(2026, 12, 8, 8, 1));
    EXPECT_EQ(Rows(*dlg), QStringList{"Morning pills"});

    // The first tick of the new day rebuilds the list and fires the 00:00 one at once.
    clock_.Set(At(2026, 12, 8, 23, 59, 58));
    TickThrough(*dlg, At(2026, 12, 9, 0, 0, 0));
    EXPECT_EQ(Rows(*dlg), (QStringList{"Midnight", "Morning pills"}));
    TickThrough(*dlg, At(2026, 12, 9, 0, 1, 0));
    clock_.Set(At(2026, 12, 9, 7, 59, 59));
    TickThrough(*dlg, At(2026, 12, 9, 8, 0, 30));
    EXPECT_EQ(Rows(*dlg), (QStringList{"Morning pills", "Midnight", "Morning pills"}));
}

TEST_F(ManagerTest, AStartOrAReloadInsideTheMinuteStillFiresIt) {
    PutStore({Rec(MODE_DAILY, At(2020, 1, 1, 0, 0), "Midnight")});
    clock_.Set(At(2026, 12, 8, 0, 0, 30));
    auto dlg = Start();
    dlg->OnTimer();
    EXPECT_EQ(Rows(*dlg), QStringList{"Midnight"});

    // Added in the editor for the minute now running, after this minute's first tick.
    clock_.Set(At(2026, 12, 8, 14, 30, 10));
    dlg->OnTimer();
    ReminderRecord added = Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Just added");
    ReminderRecord* records[] = {&added};
    dlg->OnReloadToday(records);
    clock_.Set(At(2026, 12, 8, 14, 30, 11));
    dlg->OnTimer();
    EXPECT_EQ(Rows(*dlg), (QStringList{"Just added", "Midnight"}));
}

TEST_F(ManagerTest, TwoAtOneMinuteGiveTwoRowsInOneTickAndOneShowing) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "First in the store"),
              Rec(MODE_DAILY, At(2026, 1, 1, 14, 30), "Second in the store")});
    auto dlg = Start();
    ShowCounter counter;
    dlg->installEventFilter(&counter);
    clock_.Set(At(2026, 12, 8, 14, 30, 0));
    dlg->OnTimer();
    EXPECT_EQ(Rows(*dlg), (QStringList{"Second in the store", "First in the store"}));
    EXPECT_EQ(counter.shows, 1);
    // A screen reader hears both at once, in the order they fired.
    ASSERT_NE(dlg->JournalAnnouncer(), nullptr);
    QAccessibleInterface* said = QAccessible::queryAccessibleInterface(dlg->JournalAnnouncer());
    ASSERT_NE(said, nullptr);
    EXPECT_EQ(said->role(), QAccessible::Notification);
    EXPECT_EQ(said->text(QAccessible::Name), "First in the store\nSecond in the store");
    EXPECT_TRUE(dlg->JournalAnnouncer()->isVisible());

    // Closed by the user, it stays closed for the rest of the minute.
    dlg->OnCommand(IDCANCEL);
    clock_.AdvanceSeconds(1);
    TickThrough(*dlg, At(2026, 12, 8, 14, 30, 59));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(Rows(*dlg).size(), 2);
}

TEST_F(ManagerTest, JournalCommandLeavesAShowingJournalAloneAndClearAllEmptiesIt) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Tea")});
    auto dlg = Start();
    dlg->OnCommand(ID_JOURNAL);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->pos(), CornerFor(*dlg));

    dlg->move(10, 20); // the user moved it
    dlg->OnCommand(ID_JOURNAL);
    TickThrough(*dlg, At(2026, 12, 8, 14, 30, 1));
    EXPECT_EQ(dlg->pos(), QPoint(10, 20));
    EXPECT_EQ(Rows(*dlg), QStringList{"Tea"});

    dlg->OnCommand(ID_CLEAR_ALL);
    EXPECT_TRUE(Rows(*dlg).isEmpty());
    EXPECT_TRUE(dlg->isVisible());

    // Nothing of the journal outlives the run.
    dlg->OnCommand(ID_JOURNAL);
    TickThrough(*dlg, At(2026, 12, 8, 14, 30, 5));
    dlg.reset();
    auto again = Start();
    EXPECT_TRUE(Rows(*again).isEmpty());
}

TEST_F(ManagerTest, EditorWhileEditorOpenShowsKeyFiveOverIt) {
    auto dlg = Start();
    dlg->OnCommand(ID_EDITOR);
    ASSERT_EQ(dlg->GetChildKind(), CHILD_EDITOR);
    CEditorDlg* editor = dlg->Editor();
    ASSERT_TRUE(IsWindow(editor));

    dlg->OnCommand(ID_EDITOR);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].owner, editor);
    EXPECT_EQ(boxes_.Calls()[0].text, "Окно редактора уже открыто.");
    EXPECT_EQ(boxes_.Calls()[0].caption, "Tovrin");
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OK);
    EXPECT_EQ(dlg->Editor(), editor);

    // Once the user has closed it, the command opens a new one without a word.
    editor->close();
    EXPECT_FALSE(editor->IsWindow());
    dlg->OnCommand(ID_EDITOR);
    EXPECT_TRUE(IsWindow(dlg->Editor()));
    EXPECT_EQ(boxes_.Calls().size(), 1u);
}

TEST_F(ManagerTest, CurrentMessagesClosesTheEditorSavingItFirst) {
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Anniversary")});
    auto dlg = Start();
    ASSERT_EQ(dlg->GetChildKind(), CHILD_NOTIFY); // something is due: shown at start-up
    dlg->OnCommand(ID_EDITOR);
    EXPECT_EQ(dlg->Notify(), nullptr);
    ASSERT_TRUE(IsWindow(dlg->Editor()));

    dlg->Editor()->OnCommand(ID_PANE_ADD);
    dlg->Editor()->OnRecord(Rec(MODE_ONCE, At(2026, 12, 8, 14, 45), "Added in the editor"));
    dlg->OnCommand(ID_CURRENT_MESSAGES);

    EXPECT_EQ(dlg->Editor(), nullptr);
    EXPECT_EQ(dlg->GetChildKind(), CHILD_NOTIFY);
    ASSERT_NE(dlg->Notify(), nullptr);
    EXPECT_TRUE(dlg->Notify()->isVisible());
    EXPECT_EQ(test::Texts(Stored()),
              (std::vector<std::string>{"Anniversary", "Added in the editor"}));
    // The editor told the main window before it went: the new reminder will fire.
    ASSERT_EQ(dlg->TodayList().Records().size(), 1u);
    clock_.Set(At(2026, 12, 8, 14, 45, 0));
    dlg->OnTimer();
    EXPECT_EQ(Rows(*dlg), QStringList{"Added in the editor"});
}

TEST_F(ManagerTest, CurrentMessagesTwiceShowsKeySixAndNothingCurrentOpensNothing) {
    auto dlg = Start();
    dlg->OnCommand(ID_CURRENT_MESSAGES);
    EXPECT_EQ(dlg->GetChildKind(), CHILD_NONE);
    EXPECT_EQ(dlg->Notify(), nullptr);
    EXPECT_TRUE(boxes_.Calls().empty());

    PutStore({Rec(MODE_MONTHLY, At(2026, 1, 9), "Rent")});
    dlg->OnCommand(ID_CURRENT_MESSAGES);
    ASSERT_TRUE(IsWindow(dlg->Notify()));
    CNotifyDlg* notify = dlg->Notify();
    dlg->OnCommand(ID_CURRENT_MESSAGES);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].owner, notify);
    EXPECT_EQ(boxes_.Calls()[0].text, "Окно текущих сообщений уже открыто.");
    EXPECT_EQ(boxes_.Calls()[0].caption, "Tovrin");

    notify->close();
    EXPECT_FALSE(notify->IsWindow());
    dlg->OnCommand(ID_CURRENT_MESSAGES);
    EXPECT_TRUE(IsWindow(dlg->Notify()));
    EXPECT_EQ(boxes_.Calls().size(), 1u);
}

TEST_F(ManagerTest, ReloadTodayTakesTheEditorsRecordsAndDatesItsDailies) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "From the store")});
    auto dlg = Start();
    ReminderRecord daily = Rec(MODE_DAILY, At(2021, 3, 4, 14, 40), "Daily");
    ReminderRecord once = Rec(MODE_ONCE, At(2026, 12, 8, 14, 35), "Once");
    ReminderRecord yearly = Rec(MODE_YEARLY, At(2026, 12, 8, 14, 35), "Yearly");
    ReminderRecord* records[] = {&daily, &once, &yearly};
    dlg->OnReloadToday(records);

    EXPECT_EQ(daily.when.wYear, 2026);
    EXPECT_EQ(daily.when.wMonth, 12);
    EXPECT_EQ(daily.when.wDay, 8);
    EXPECT_TRUE(dlg->Timer().isActive());
    TickThrough(*dlg, At(2026, 12, 8, 14, 41));
    EXPECT_EQ(Rows(*dlg), (QStringList{"Daily", "Once"}));
}

TEST_F(ManagerTest, ExitSavesAnOpenEditorThenRemovesTheTrayAndQuits) {
    auto dlg = Start();
    dlg->OnCommand(ID_EDITOR);
    dlg->Editor()->OnCommand(ID_PANE_ADD);
    dlg->Editor()->OnRecord(Rec(MODE_NONE, At(2026, 12, 20, 9, 0), "Not lost"));
    dlg->OnCommand(ID_JOURNAL);

    dlg->OnCommand(ID_EXIT);
    EXPECT_EQ(test::Texts(Stored()), std::vector<std::string>{"Not lost"});
    EXPECT_FALSE(dlg->TrayIcon().InTray());
    EXPECT_FALSE(dlg->TrayIcon().FallbackShown());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(quits_.Count(), 1);
    EXPECT_EQ(quits_.LastCode(), 0);
}

TEST_F(ManagerTest, ExitWaitsWhileTheUserKeepsAnEditorThatCannotSave) {
    auto dlg = Start();
    dlg->OnCommand(ID_EDITOR);
    dlg->Editor()->OnCommand(ID_PANE_ADD);
    dlg->Editor()->OnRecord(Rec(MODE_NONE, At(2026, 12, 20, 9, 0), "Unsaved"));
    // A store made read-only: every save fails, and the file stays the one the editor read.
    std::filesystem::permissions(kStorePath, std::filesystem::perms::owner_read);
    boxes_.SetAnswer(IDCANCEL); // no retry, and do not discard

    dlg->OnCommand(ID_EXIT);
    EXPECT_FALSE(quits_.Posted());
    EXPECT_TRUE(IsWindow(dlg->Editor()));
    EXPECT_TRUE(dlg->TrayIcon().InTray() || dlg->TrayIcon().FallbackShown());
    EXPECT_FALSE(dlg->PrepareToLeave());
    EXPECT_GE(boxes_.Calls().size(), 2u);

    // Writable again: now leaving saves and goes.
    std::filesystem::permissions(kStorePath, std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_write);
    EXPECT_TRUE(dlg->PrepareToLeave());
    EXPECT_EQ(test::Texts(Stored()), std::vector<std::string>{"Unsaved"});
}

// A reminder brings the journal up without taking the keyboard from where the user types. Its
// frame is in the corner as soon as the platform tells the frame (this one at once, a window
// manager later); from then on a move is the user's own and stays.
TEST_F(ManagerTest, AFiredJournalLeavesTheKeysAndThenStaysWhereTheUserMovesIt) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Call the clinic")});
    auto dlg = Start();
    TickThrough(*dlg, At(2026, 12, 8, 14, 30, 1));
    ASSERT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(dlg->pos(), CornerFor(*dlg));
    EXPECT_FALSE(dlg->JournalPlacing());
    dlg->move(10, 20);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg->pos(), QPoint(10, 20));
}

} // namespace
} // namespace tovrin
