#pragma once

#include "controls/tray_icon.h"
#include "core/schedule/due_list.h"
#include "core/schedule/today_list.h"
#include "platform/dialog.h"
#include "platform/lang_texts.h"
#include "ui/editor_owner.h"

#include <QElapsedTimer>
#include <QIcon>
#include <QTimer>

#include <memory>
#include <optional>

class QMenu;

namespace tovrin {

class Announcer;
class CEditorDlg;
class CNotifyDlg;
class ListView;

enum ChildKind { CHILD_NONE = 0, CHILD_EDITOR = 1, CHILD_NOTIFY = 2 };

// The main window, hidden for the whole run. It owns the tray icon and its commands, the
// one-second timer that fires today's once and daily reminders, and the journal, its only
// control, where fired reminders land newest first. It shows itself only as the journal, in the
// bottom-right corner of the screen. It is the parent of at most one child window at a time: the
// editor or the current messages.
class CManagerDlg : public Dialog, public TrayOwner, public EditorOwner {
    Q_OBJECT
public:
    static constexpr int kTimerPeriod = 1000;
    static constexpr int kJournalBottomGap = 50;

    CManagerDlg();
    ~CManagerDlg() override;

    // Starts the program's machinery: texts, the current messages if anything is due, the tray
    // icon, today's timed list and the timer. The hidden journal window itself is built from its
    // template when it is first needed.
    bool Create();

    // Tray menu, journal menu and the dialog's own OK and Cancel.
    void OnCommand(int id) override;
    // Puts the language texts into the tray menu just before it shows.
    void OnTrayMenu(QMenu& menu) override;
    void OnTrayItemMenu(QMenu& menu) override;
    // The editor is closing after a timed reminder changed: today's list comes from its records.
    void OnReloadToday(std::span<ReminderRecord* const> editorRecords) override;

    // One tick of the reminder timer: a new day rebuilds today's list, then whatever is due at
    // this minute goes to the top of the journal, which then shows.
    void OnTimer();
    // Shows the journal at the bottom right of the primary screen, above everything, unless it is
    // already showing. It does not take the keyboard from the window the user is typing in.
    void ShowJournal();
    // Where the journal's frame goes: its right edge on the screen's, its bottom kJournalBottomGap
    // above the screen's bottom. Frame size and screen in the same pixels.
    static QPoint JournalFramePos(const QRect& screen, const QSize& frame);
    // Whether the journal still follows its corner: from a showing until the window manager's
    // frame has arrived and been allowed for, at most kJournalPlacingMs.
    bool JournalPlacing() const { return placing_; }
    static constexpr int kJournalPlacingMs = 3000;

    // Before the program ends, however it was asked to: the editor closes as the user would close
    // it, saving its changes, then the icon and the journal go. False when the user chose to keep
    // the editor open (its changes could not be saved), so the program runs on.
    bool PrepareToLeave();

    // The journal list, its window built first if it is not yet.
    ListView* Journal();
    ChildKind GetChildKind() const { return childKind_; }
    CEditorDlg* Editor() const { return editor_.get(); }
    CNotifyDlg* Notify() const { return notify_.get(); }
    CTrayIcon& TrayIcon() { return trayIcon_; }
    const TodayTimedList& TodayList() const { return today_; }
    const QTimer& Timer() const { return timer_; }
    Announcer* JournalAnnouncer() const { return announcer_; }

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    bool event(QEvent* event) override;

private:
    void PrepareJournal(const QString& columnTitle);
    void OpenStartupMessages(DueList due, const SYSTEMTIME& today);
    void PlaceJournal();
    void FollowJournalFrame();
    void OpenEditor();
    void OpenCurrentMessages();
    void Exit();
    bool DiscardNotify();
    // leaving: the program is ending, and the editor closes as it does then.
    bool CloseEditor(bool leaving = false);
    void ShowManagerBox(QWidget* owner, long textKey);
    void RestartTimer();

    CTrayIcon trayIcon_;
    ChildKind childKind_ = CHILD_NONE;
    // The child window: at most one of the two is set, as childKind_ says.
    std::unique_ptr<CEditorDlg> editor_;
    std::unique_ptr<CNotifyDlg> notify_;
    bool started_ = false;
    LangTexts texts_;     // section Manager, keys 1 to 3
    LangTexts menuTexts_; // section Menu, key 5
    TodayTimedList today_;
    // The minute of the last tick that looked at today's list; none after a rebuild.
    std::optional<SYSTEMTIME> checkedMinute_;
    ListView* journal_ = nullptr;
    // Tells a screen reader what fired.
    Announcer* announcer_ = nullptr;
    QIcon icon_;
    QTimer timer_;
    bool placing_ = false;
    QElapsedTimer placingSince_;
};

} // namespace tovrin
