#include "ui/manager_dlg.h"

#include "core/lang/lang_keys.h"
#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "core/schedule/store_lists.h"
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "platform/announcer.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "platform/nested_loop.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/window_styles.h"
#include "ui/editor_dlg.h"
#include "ui/notify_dlg.h"
#include "ui/store_damage.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStringList>
#include <QWindow>

#include <array>

namespace tovrin {
namespace {

// Beside Journal, Editor, Current messages and Exit, in that order, separators skipped.
constexpr std::array kTrayBitmaps{IDB_MENU_JOURNAL, IDB_MENU_EDITOR, IDB_MENU_CURRENT,
                                  IDB_MENU_EXIT};

// A window the user has just asked for takes the keys, as a window shown on Windows does. Window
// managers' focus-stealing rules would otherwise leave them where they were, and a user without a
// mouse could not reach it.
void TakeTheKeys(QWidget* window) {
    if (window->isVisible()) {
        window->activateWindow();
    }
}

bool SameMinute(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wMinute == b.wMinute && a.wHour == b.wHour && a.wDay == b.wDay &&
           a.wMonth == b.wMonth && a.wYear == b.wYear;
}

} // namespace

CManagerDlg::CManagerDlg() {
    timer_.setInterval(kTimerPeriod);
    connect(&timer_, &QTimer::timeout, this, &CManagerDlg::OnTimer);
}

CManagerDlg::~CManagerDlg() {
    // The editor goes first, through its own destructor, which still saves its changes; taking
    // it down with this window would skip that.
    editor_.reset();
    notify_.reset();
    DestroyWindow();
}

// Everything the program needs to run, but not the journal's widgets: the journal is built the
// first time it is needed, so a start-up with nothing to show touches no font at all.
bool CManagerDlg::Create() {
    if (started_) {
        return false;
    }
    started_ = true;
    texts_ = LoadSectionTexts(kLangManager, {1, 2, 3});
    menuTexts_ = LoadSectionTexts(kLangMenu, {5});
    // One read of the store serves the current messages and today's timed list, however many
    // reminders it holds. The current messages' read makes a missing store, as it always has.
    const SYSTEMTIME now = GetLocalTime();
    StoreLists lists =
        ReadStoreLists(kStorePath, IfMissing::CreateEmpty, now, notifyDays, kDueList | kTodayList);
    OpenStartupMessages(std::move(lists.due), TodayOf(now));

    // The menu's texts and bitmaps first: a StatusNotifier host reads the item's menu as soon as
    // the icon shows, and would keep the template's texts until it next asked.
    trayIcon_.SetBitmaps(kTrayBitmaps);
    trayIcon_.localiseMenu = true;
    trayIcon_.Create(this, IDR_TRAY_MENU, LoadIconResource(IDI_APP), texts_[2]);

    today_.TakeFromStore(std::move(lists.today), lists.report, now);
    ReportDamagedStore(lists.report);
    timer_.start();
    return true;
}

ListView* CManagerDlg::Journal() {
    if (journal_ == nullptr && !IsWindow()) {
        Dialog::Create(IDD_MANAGER, nullptr);
    }
    return journal_;
}

bool CManagerDlg::OnInitDialog() {
    SetMenuItemText(0, menuTexts_[5]);
    setWindowTitle(texts_[3]);
    // The journal has no picture of its own; the program's icon stands for it.
    icon_ = LoadIconResource(IDI_JOURNAL);
    SetIcon(icon_, true);
    SetIcon(icon_, false);
    PrepareJournal(texts_[1]);
    return true;
}

void CManagerDlg::PrepareJournal(const QString& columnTitle) {
    journal_ = GetDlgItemAs<ListView>(IDC_JOURNAL_LIST);
    if (journal_ == nullptr) {
        return;
    }
    announcer_ = new Announcer(this);
    journal_->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    journal_->InsertColumn(0, columnTitle, LVCFMT_LEFT);
    journal_->setAccessibleName(columnTitle);
    journal_->SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
}

// At start-up the current messages show only when something is due.
void CManagerDlg::OpenStartupMessages(DueList due, const SYSTEMTIME& today) {
    notify_ = std::make_unique<CNotifyDlg>(this);
    childKind_ = CHILD_NOTIFY;
    notify_->Create(this, std::move(due), today);
    if ((notify_->IsWindow() && notify_->DueCount() == 0) || notify_->NothingDue() != 0) {
        DiscardNotify();
    }
}

void CManagerDlg::OnDestroy() {
    timer_.stop();
    today_.Clear();
}

void CManagerDlg::OnTimer() {
    const SYSTEMTIME now = GetLocalTime();
    // Whatever is due in a minute fires on its first tick, so the other 59 have nothing to do. The
    // list changes only on a new date (another minute anyway) or from the editor, which clears
    // this mark so the minute is looked at again.
    if (checkedMinute_ && SameMinute(*checkedMinute_, now)) {
        return;
    }
    checkedMinute_ = now;
    const TodayTimedList::TickResult tick = today_.Tick(now);
    if (tick.rebuilt) {
        RestartTimer();
    }
    QStringList texts;
    if (tick.AnyFired() && Journal() != nullptr) {
        for (const ReminderRecord& record : tick.fired) {
            texts << FromCp1251(TextOf(record));
            journal_->InsertItem(0, texts.back());
        }
    }
    if (tick.AnyFired()) {
        ShowJournal();
        // A screen reader hears the new rows at once, wherever the user is typing; one
        // announcement for them all, as the next would cut the one before short.
        if (announcer_ != nullptr) {
            announcer_->Announce(texts.join(u'\n'));
        }
    }
}

void CManagerDlg::RestartTimer() {
    timer_.stop();
    timer_.start(kTimerPeriod);
}

void CManagerDlg::ShowJournal() {
    if (Journal() == nullptr || isVisible()) {
        return;
    }
    // A reminder fires while the user works elsewhere: the journal shows, but the keys stay where
    // they were typed.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    PlaceJournal();
    SetTopmost(true);
    show();
    // A window manager frames the window after it is mapped and tells its frame's size later
    // still; until then the corner is kept as each move or resize arrives.
    placing_ = true;
    placingSince_.start();
    FollowJournalFrame();
    // The journal stays above everything; a question still waiting must not go behind it.
    NestedLoop::BringToFront();
}

QPoint CManagerDlg::JournalFramePos(const QRect& screen, const QSize& frame) {
    return {screen.x() + screen.width() - frame.width(),
            screen.y() + screen.height() - frame.height() - kJournalBottomGap};
}

void CManagerDlg::PlaceJournal() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // The whole window, frame included, sits against the right edge and 50 pixels above the
    // bottom, clear of a panel along the bottom of the screen.
    const QPoint target = JournalFramePos(screen->geometry(), frameGeometry().size());
    if (frameGeometry().topLeft() != target) {
        move(target);
    }
}

void CManagerDlg::FollowJournalFrame() {
    if (!placing_) {
        return;
    }
    if (!isVisible() || placingSince_.hasExpired(kJournalPlacingMs)) {
        // From here on a move is the user's: the journal stays where it is dragged.
        placing_ = false;
        return;
    }
    PlaceJournal();
    // Once the frame is known and in the corner there is nothing left to wait for. Without a
    // window manager there never is a frame, and the time limit ends the watch.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QMargins margins =
        windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    if (screen != nullptr && !margins.isNull() &&
        frameGeometry().topLeft() == JournalFramePos(screen->geometry(), frameGeometry().size())) {
        placing_ = false;
    }
}

bool CManagerDlg::event(QEvent* event) {
    const bool handled = Dialog::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        FollowJournalFrame();
        break;
    case QEvent::Hide:
        placing_ = false;
        break;
    default:
        break;
    }
    return handled;
}

void CManagerDlg::OnCommand(int id) {
    // A box (or the tray menu) still open means a handler is waiting inside it for the user. The
    // commands that would close or replace a window must not pull one away under it: the open
    // box comes to the front instead, and the user answers it first. Exit is the exception: it
    // always ends the program.
    const bool waitsForBox = id == ID_EDITOR || id == ID_CURRENT_MESSAGES;
    if (waitsForBox && NestedLoop::AnyOpen()) {
        NestedLoop::BringToFront();
        Dialog::OnCommand(id);
        return;
    }
    switch (id) {
    case ID_JOURNAL:
        // Asked for from the tray menu, the journal is where the user's attention is: it may
        // take the keys, unlike when a reminder brings it up.
        if (!isVisible()) {
            ShowJournal();
            activateWindow();
        }
        break;
    case ID_EDITOR:
        OpenEditor();
        break;
    case ID_CURRENT_MESSAGES:
        OpenCurrentMessages();
        break;
    case ID_EXIT:
        Exit();
        break;
    case ID_CLEAR_ALL:
        if (journal_ != nullptr) {
            journal_->DeleteAllItems();
        }
        break;
    default:
        break;
    }
    Dialog::OnCommand(id);
}

void CManagerDlg::OpenEditor() {
    if (childKind_ == CHILD_NOTIFY) {
        if (!DiscardNotify()) {
            return;
        }
    } else if (childKind_ == CHILD_EDITOR && IsWindow(editor_.get())) {
        ShowManagerBox(editor_.get(), 5);
        return;
    }
    // An editor the user closed earlier has done its saving; only the object is left.
    DeleteWhenLoopsEnd(editor_);
    childKind_ = CHILD_EDITOR;
    editor_ = std::make_unique<CEditorDlg>(this, this);
    editor_->Create();
    TakeTheKeys(editor_.get());
}

void CManagerDlg::OpenCurrentMessages() {
    if (childKind_ == CHILD_EDITOR) {
        if (!CloseEditor()) {
            return;
        }
    } else if (childKind_ == CHILD_NOTIFY && IsWindow(notify_.get())) {
        ShowManagerBox(notify_.get(), 6);
        return;
    }
    if (!DiscardNotify()) {
        return;
    }
    childKind_ = CHILD_NOTIFY;
    notify_ = std::make_unique<CNotifyDlg>(this);
    notify_->Create(this);
    if (notify_->NothingDue() != 0) {
        DiscardNotify();
    } else {
        TakeTheKeys(notify_.get());
    }
}

// False while a box of the current messages is still open: the window stays until it returns.
bool CManagerDlg::DiscardNotify() {
    if (NestedLoop::OpenIn(notify_.get())) {
        NestedLoop::BringToFront();
        return false;
    }
    DeleteWhenLoopsEnd(notify_);
    if (childKind_ == CHILD_NOTIFY) {
        childKind_ = CHILD_NONE;
    }
    return true;
}

// The editor saves as it closes; a save that fails lets the user keep it open, and then nothing
// that would take the editor away may go on. Nor while one of its boxes is still open: it can
// close only once the user has answered.
bool CManagerDlg::CloseEditor(bool leaving) {
    if (NestedLoop::OpenIn(editor_.get())) {
        NestedLoop::BringToFront();
        return false;
    }
    if (IsWindow(editor_.get()) && !editor_->CloseAndSave(leaving)) {
        return false;
    }
    DeleteWhenLoopsEnd(editor_);
    if (childKind_ == CHILD_EDITOR) {
        childKind_ = CHILD_NONE;
    }
    return true;
}

void CManagerDlg::ShowManagerBox(QWidget* owner, long textKey) {
    const LangTexts texts = LoadSectionTexts(kLangManager, {4, textKey});
    MessageBox(owner, texts[textKey], texts[4], MB_OK);
}

bool CManagerDlg::PrepareToLeave() {
    if (!CloseEditor(true)) {
        return false;
    }
    trayIcon_.Remove();
    EndDialog(0);
    return true;
}

void CManagerDlg::Exit() {
    // A box still open holds a handler that must return before its window may go. Ending the
    // event loop ends the box as Cancel (as OK when that is its only button), the handler goes
    // on with that answer, and the program then leaves as on any request to end: the editor
    // closes and saves, and the icon goes (CReminderApp::Run).
    if (NestedLoop::AnyOpen()) {
        PostQuitMessage(0);
        return;
    }
    // The editor's unsaved changes come first: leaving must not lose them.
    if (!PrepareToLeave()) {
        return;
    }
    PostQuitMessage(0);
}

void CManagerDlg::OnTrayMenu(QMenu& menu) {
    const LangTexts texts = LoadSectionTexts(kLangMenu, {1, 2, 3, 4});
    // By position: 1 and 4 are separators.
    SetMenuItemText(menu, 0, texts[1]);
    SetMenuItemText(menu, 2, texts[2]);
    SetMenuItemText(menu, 3, texts[3]);
    SetMenuItemText(menu, 5, texts[4]);
}

void CManagerDlg::OnTrayItemMenu(QMenu& menu) {
    // Read quietly: a StatusNotifier host asks for the item's menu whenever it likes, and the
    // texts the menu already has stand in for any the file lacks.
    const AddedTexts texts(kLangMenu, {1, 2, 3, 4});
    const QList<QAction*> items = menu.actions();
    const int positions[] = {0, 2, 3, 5};
    for (int key = 1; key <= 4; ++key) {
        const int position = positions[key - 1];
        if (position < items.size()) {
            SetMenuItemText(menu, position, texts.Text(key, items[position]->text()));
        }
    }
}

void CManagerDlg::OnReloadToday(std::span<ReminderRecord* const> editorRecords) {
    timer_.stop();
    checkedMinute_.reset();
    today_.BuildFromRecords(editorRecords, GetLocalTime());
    timer_.start(kTimerPeriod);
}

} // namespace tovrin
