#include "ui/editor_dlg.h"

#include "controls/cool_pane.h"
#include "controls/gdi_draw.h"
#include "controls/static_bar.h"
#include "core/draw/contrast.h"
#include "core/editor/date_column.h"
#include "core/lang/lang_keys.h"
#include "core/schedule/clock.h"
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "platform/nested_loop.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/sys_colors.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/window_styles.h"
#include "ui/about_page.h"
#include "ui/collated_text_order.h"
#include "ui/modify_page.h"
#include "ui/settings_page.h"
#include "ui/store_damage.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPointer>

#include <algorithm>
#include <array>
#include <cstring>

namespace tovrin {
namespace {

// Keys of section "Editor" the window itself shows.
constexpr long kBarText = 1;
constexpr long kDateHeading = 2;
constexpr long kTextHeading = 3;
constexpr long kTitle = 4;
constexpr long kDeleteQuestion = 5;
constexpr long kDeleteCaption = 6;
constexpr long kChangeCaption = 7;

constexpr int kBarHeight = 27;
constexpr int kBarWidth = 518;
constexpr int kClockImageSize = 8;
constexpr int kOnceImage = 0;
constexpr int kDailyImage = 1;
constexpr int kDateColumnWidth = 80;
// The clock image and the cell's margins beside a date's text.
constexpr int kDateCellExtra = kClockImageSize + 18;

// The pane's two folders. The pane writes each item's layout into these tables, so they live as
// long as the program.
std::array<CoolPaneItem, 3> reminderItems{{
    {IDI_NEW_RECORD, 9, ID_PANE_ADD, {}, {}},
    {IDI_CHANGE_RECORD, 10, ID_PANE_MODIFY, {}, {}},
    {IDI_DELETE, 11, ID_PANE_DELETE, {}, {}},
}};
std::array<CoolPaneItem, 3> serviceItems{{
    {IDI_SETTINGS, 12, ID_PANE_SETTINGS, {}, {}},
    {IDI_HELP, 13, ID_PANE_HELP, {}, {}},
    {IDI_ABOUT, 14, ID_PANE_ABOUT, {}, {}},
}};
constexpr int32_t kRemindersFolder = 34;
constexpr int32_t kServiceFolder = 35;

// What a screen reader says for the clock images, in the words of the record page's boxes when
// the language file has them.
constexpr long kDailyWords = 6;
constexpr long kOnceWords = 8;
const QString kDailyFallback = QStringLiteral("daily");
const QString kOnceFallback = QStringLiteral("once");

QString SaveFailureText(const AddedTexts& added, const SaveTexts& sentences,
                        const SaveResult& result, bool mayStayOpen) {
    QString text = QString::fromStdString(result.Message(sentences)) + QStringLiteral("\n\n") +
                   added.Text(kEditorSaveFailedHint,
                              QStringLiteral("Your reminders are still here and the file on disk "
                                             "was not changed. Free some space or mend the "
                                             "folder's permissions, then press OK to try again."));
    if (!mayStayOpen) {
        text += QStringLiteral("\n\n") +
                added.Text(kEditorSaveCancelLoses,
                           QStringLiteral("Cancel ends without saving: the changes made since the "
                                          "editor opened are lost."));
    }
    return text;
}

QString PartialStoreText(const AddedTexts& added, int error, int kept) {
    return added
        .Text(kEditorPartialStore,
              QStringLiteral("When the editor opened, %1 could not be read completely "
                             "(%2). Saving now would replace it with only the %3 "
                             "reminders shown here.\n\nOK saves them anyway. Cancel "
                             "leaves the file as it is."))
        .arg(QString::fromLatin1(kStorePath), QString::fromLocal8Bit(std::strerror(error)))
        .arg(kept);
}

QString NativeAbsolute(const char* path) {
    return QDir::toNativeSeparators(QFileInfo(QString::fromLatin1(path)).absoluteFilePath());
}

void OpenHelpOrItsPages(const QString& help, ShellOpenDone done, const OpenerTexts& texts) {
    ShellOpenHelp(help, NativeAbsolute(kHelpPagesPath), std::move(done), texts);
}

QString DiscardQuestion(const AddedTexts& added) {
    return added.Text(kEditorDiscardQuestion,
                      QStringLiteral("Close the editor without saving, losing the changes made "
                                     "since it opened?\n\nOK closes it. Cancel keeps the editor "
                                     "open so you can try again later."));
}

} // namespace

CEditorDlg::CEditorDlg(QWidget* parent, EditorOwner* owner)
    : owner_(owner), parent_(parent), textOrder_(std::make_unique<CollatedTextOrder>()),
      shellOpen_(OpenHelpOrItsPages) {}

CEditorDlg::~CEditorDlg() {
    // Deleted while still open (the program is ending, perhaps with its main window): save what
    // can be saved, without the choice of staying open, and without calling an owner that may
    // be half gone already.
    if (IsWindow()) {
        owner_ = nullptr;
        SaveWithChoices(CloseFor::Forced);
        DestroyWindow();
    }
}

bool CEditorDlg::Create() {
    // The store first: an editor that may not edit it never shows.
    const ReadReport report = state_.Load(kStorePath, GetLocalTime());
    if (state_.Opening() != EditorOpening::Opened) {
        RefuseToOpen(report);
        return false;
    }
    if (!Dialog::Create(IDD_EDITOR, parent_)) {
        state_.Clear();
        return false;
    }
    return true;
}

void CEditorDlg::RefuseToOpen(const ReadReport& report) {
    const QString caption = LoadSectionTexts(kLangEditor, {kTitle})[kTitle];
    if (state_.Opening() == EditorOpening::HeldElsewhere) {
        const QString folder = QFileInfo(QString::fromLatin1(kBaseDir)).absoluteFilePath();
        MessageBox(nullptr,
                   AddedText(kLangEditor, kEditorHeldElsewhere,
                             QStringLiteral(
                                 "The reminders in %1 are open in the editor of another copy of "
                                 "Tovrin. Close that editor first, then open this one "
                                 "again."))
                       .arg(folder),
                   caption, MB_OK | MB_ICONWARNING);
        return;
    }
    MessageBox(nullptr, DamagedStoreText(report), caption, MB_OK | MB_ICONERROR);
}

bool CEditorDlg::OnInitDialog() {
    texts_ = LoadSectionTexts(kLangEditor, {kBarText, kDateHeading, kTextHeading, kTitle,
                                            kDeleteQuestion, kDeleteCaption, kChangeCaption, 9, 10,
                                            11, 12, 13, 14, kRemindersFolder, kServiceFolder});
    // Month names are looked up when a row first shows them and kept for this opening: a long
    // list neither rereads the file nor repeats a missing name's message, and a month no row
    // shows may be missing from the file.
    names_ = NameTable(kLangPath, WindowLangFeedback());
    added_ =
        AddedTexts(kLangEditor, {kEditorSaveFailedHint, kEditorSaveCancelLoses, kEditorPartialStore,
                                 kEditorDiscardQuestion, kEditorHelpMissing, kEditorHelpNoViewer,
                                 kEditorSavedUnconfirmed, kEditorOpenerStatus, kEditorOpenerCrashed,
                                 kEditorOpenerNotStarted, kEditorStoreChanged, kEditorStoreKept,
                                 kEditorStoreKeptLost, kEditorStoreNotSaved, kEditorShellFailed});
    modeWords_ = AddedTexts(kLangModify, {kDailyWords, kOnceWords});
    saveTexts_ = LoadSaveTexts();
    openerTexts_.missing =
        added_.Text(kEditorHelpMissing, QStringLiteral("The help file %1 is missing."));
    openerTexts_.noViewer = added_.Text(kEditorHelpNoViewer, openerTexts_.noViewer);
    openerTexts_.status = added_.Text(kEditorOpenerStatus, openerTexts_.status);
    openerTexts_.crashed = added_.Text(kEditorOpenerCrashed, openerTexts_.crashed);
    openerTexts_.notStarted = added_.Text(kEditorOpenerNotStarted, openerTexts_.notStarted);
    openerTexts_.shellFailed = added_.Text(kEditorShellFailed, openerTexts_.shellFailed);
    setWindowTitle(texts_[kTitle]);
    SetIcon(LoadIconResource(IDI_APP), true);
    SetIcon(LoadIconResource(IDI_APP), false);
    SetKeyFilter(true);
    CreateBars();
    CreatePane();
    CreateList();
    ShowLoadedStore();
    return true;
}

void CEditorDlg::CreateBars() {
    const int height = Client()->height();
    topBar_ = new IXStatic();
    topBar_->SetIcon(IDI_BAR_TOP);
    topBar_->Create(texts_[kBarText], QRect(0, 0, kBarWidth, kBarHeight), Client(), IDC_STATIC);
    bottomBar_ = new IXStatic();
    bottomBar_->SetIcon(IDI_BAR_BOTTOM);
    bottomBar_->Create(texts_[kBarText], QRect(0, height - kBarHeight, kBarWidth, kBarHeight),
                       Client(), IDC_STATIC);
}

void CEditorDlg::CreatePane() {
    // The placeholder's inside, without its sunken edge, is the pane's place.
    QRect place(0, 0, 0, 0);
    if (const auto* holder = qobject_cast<const QFrame*>(GetDlgItem(IDC_EDITOR_PANE))) {
        const QRect inside = holder->contentsRect();
        place = QRect(holder->mapTo(Client(), inside.topLeft()), inside.size());
    }
    pane_ = new IXCoolPane();
    pane_->textFromParent = true;
    pane_->SetTextSource(this);
    pane_->SetCommandTarget(this);
    pane_->Create(place, Client(), IDC_PANE);
    pane_->AddFolder({kRemindersFolder, 3, reminderItems.data(), {}, 0, 0});
    pane_->AddFolder({kServiceFolder, 3, serviceItems.data(), {}, 0, 0});
}

void CEditorDlg::CreateList() {
    list_ = GetDlgItemAs<ListView>(IDC_EDITOR_LIST);
    list_->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    list_->InsertColumn(0, texts_[kDateHeading], LVCFMT_LEFT);
    list_->InsertColumn(1, texts_[kTextHeading], LVCFMT_LEFT);
    list_->SetColumnWidth(0, kDateColumnWidth);
    // The message column fills the rest, so the list never scrolls sideways for a few pixels.
    list_->SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
    QPixmap clocks = LoadBitmapResource(IDB_CLOCKS);
    if (ContrastWanted()) {
        // Black and blue rims vanish into a dark list; the white mask stays the mask.
        clocks = ReadableOutline(clocks, Qt::white, kClockImageSize,
                                 ToColorRef(list_->palette().color(QPalette::Base)), kMarkContrast);
    }
    list_->SetImageList(clocks, kClockImageSize, Qt::white);
    list_->SetOwnerData({[this](int row, int column) { return RowText(row, column); },
                         [this](int row) { return RowImage(row); }},
                        0);
    list_->SetRowReading([this](int row, int column) { return RowSpoken(row, column); });
    list_->setAccessibleName(texts_[kRemindersFolder]);
    connect(list_, &ListView::columnClicked, this, [this](int column) { SortByColumn(column); });
    connect(list_, &ListView::rowDoubleClicked, this, [this](int) { OnCommand(ID_PANE_MODIFY); });
    // The pane's commands first, then the reminders they act on; the pages come after.
    setTabOrder(pane_, list_);
}

void CEditorDlg::ShowLoadedStore() {
    // Sorted before the list hears of any row, so it lays out 100,000 rows once, not twice.
    if (state_.RowCount() > 0) {
        state_.SortRows(kDateColumn, *textOrder_);
    }
    std::array<bool, 13> shown{};
    for (int row = 0; row < state_.RowCount(); ++row) {
        const unsigned month = state_.RowRecord(row)->when.wMonth;
        shown[month < shown.size() ? month : 0] = true;
    }
    for (int month = 1; month <= 12; ++month) {
        if (shown[static_cast<std::size_t>(month)]) {
            FitDateColumn(month);
        }
    }
    list_->OwnerRowsReset(state_.RowCount());
}

// Long month names (and fonts wider than the one the widths were chosen for) get the room they
// need from the message column, so no date is cut short. Measuring a month is its first use, in a
// handler rather than while the list paints, so a missing name's box never opens mid-paint.
void CEditorDlg::FitDateColumn(int month) {
    const std::string& name = names_.Month(month);
    const QFontMetrics metrics(list_->font());
    const int wanted = metrics.horizontalAdvance(FromCp1251("28 " + name)) + kDateCellExtra;
    if (wanted > list_->GetColumnWidth(0)) {
        list_->SetColumnWidth(0, wanted);
        list_->SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
    }
}

QString CEditorDlg::RowText(int row, int column) const {
    const ReminderRecord* record = state_.RowRecord(row);
    if (record == nullptr) {
        return {};
    }
    return column == kDateColumn ? FromCp1251(DateColumnText(*record, names_))
                                 : FromCp1251(TextOf(*record));
}

int CEditorDlg::RowImage(int row) const {
    const ReminderRecord* record = state_.RowRecord(row);
    if (record == nullptr) {
        return ListView::kNoImage;
    }
    if (record->mode == MODE_ONCE) {
        return kOnceImage;
    }
    return record->mode == MODE_DAILY ? kDailyImage : ListView::kNoImage;
}

// The date as shown, then what the clock image shows: the mode, and the time it rings at.
QString CEditorDlg::RowSpoken(int row, int column) const {
    const ReminderRecord* record = state_.RowRecord(row);
    if (column != kDateColumn || record == nullptr ||
        (record->mode != MODE_ONCE && record->mode != MODE_DAILY)) {
        return {};
    }
    const QString mode = record->mode == MODE_ONCE ? modeWords_.Text(kOnceWords, kOnceFallback)
                                                   : modeWords_.Text(kDailyWords, kDailyFallback);
    const QString time = QStringLiteral("%1:%2")
                             .arg(record->when.wHour)
                             .arg(record->when.wMinute, 2, 10, QChar(u'0'));
    return RowText(row, column) + QStringLiteral(", ") + mode + QStringLiteral(", ") + time;
}

void CEditorDlg::SortByColumn(int column) {
    const std::vector<int> order = state_.SortRows(column, *textOrder_);
    list_->OwnerRowsReordered(order);
}

QString CEditorDlg::OnGetText(int key) {
    return texts_[key];
}

void CEditorDlg::OnCommand(int id) {
    if (!IsWindow()) {
        return;
    }
    const EditorAction action = state_.Command(id, list_->GetSelectedRow());
    switch (action) {
    case EditorAction::None:
        break;
    case EditorAction::Delete:
        DeleteSelected();
        break;
    case EditorAction::OpenHelp:
        OpenHelp();
        break;
    default:
        OpenPage(action);
        break;
    }
}

void CEditorDlg::OpenHelp() {
    // A help item that silently does nothing leaves the user guessing: say what is missing. The
    // path is made absolute here, where the working directory is the program's own.
    // In the system's own separators: the user reads it, and Windows' shell is given it.
    const QString help = NativeAbsolute(kHelpPath);
    const QString caption = texts_[kTitle];
    // Where the desktop cannot show the compiled help, its pages as HTML can stand in for it.
    if (!QFileInfo::exists(help) && !QFileInfo::exists(NativeAbsolute(kHelpPagesPath))) {
        MessageBox(this, openerTexts_.missing.arg(help), caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The opener answers later; by then the editor may have closed, and the box stands alone.
    shellOpen_(
        help,
        [editor = QPointer<CEditorDlg>(this), caption](const QString& problem) {
            if (!problem.isEmpty()) {
                MessageBox(editor.data(), problem, caption, MB_OK | MB_ICONINFORMATION);
            }
        },
        openerTexts_);
}

void CEditorDlg::ReleasePage() {
    if (!heldPage_) {
        return;
    }
    if (NestedLoop::AnyOpen()) {
        // The page's handler may still be waiting in a box, its own or one of another window:
        // the page goes out of sight now and is torn down once every box has returned.
        heldPage_->hide();
        DeleteWhenLoopsEnd(heldPage_);
        return;
    }
    heldPage_->DestroyWindow();
    heldPage_.reset();
}

void CEditorDlg::OpenPage(EditorAction action) {
    ReleasePage();
    if (list_->isVisible()) {
        list_->hide();
        list_->setEnabled(false);
    }
    switch (action) {
    case EditorAction::OpenNewPage:
        heldPage_ = std::make_unique<CModifyPage>(Client());
        break;
    case EditorAction::OpenEditPage: {
        auto page = std::make_unique<CModifyPage>(Client());
        page->SetCaption(texts_[kChangeCaption], IDI_CHANGE_RECORD);
        page->OnRecord(*state_.RowRecord(state_.editIndex));
        heldPage_ = std::move(page);
        break;
    }
    case EditorAction::OpenSettings:
        heldPage_ = std::make_unique<CSettingsPage>(Client());
        break;
    case EditorAction::OpenAbout:
        heldPage_ = std::make_unique<CAboutPage>(Client());
        break;
    default:
        return;
    }
    heldPage_->show();
    // The page's own first control (the message field, the day count, OK) takes the keys, as
    // the page chose while it was built hidden.
    QWidget* first = heldPage_->focusWidget();
    if (first != nullptr && first->isVisible() && first->isEnabled()) {
        first->setFocus(Qt::OtherFocusReason);
    }
}

void CEditorDlg::OnRecord(const ReminderRecord& record) {
    const StoredRecord stored = state_.StoreRecord(record);
    FitDateColumn(record.when.wMonth);
    if (stored.added) {
        list_->OwnerRowsInserted(stored.row, 1);
        list_->EnsureVisible(stored.row);
    } else {
        list_->OwnerRowsChanged(stored.row, stored.row);
    }
    list_->SelectRow(stored.row);
}

void CEditorDlg::OnPageClosed() {
    state_.PageClosed();
    list_->show();
    list_->setEnabled(true);
    // Only the page itself closes it, so the focus was on the page (or, once the page hid,
    // passed on to the pane): the keyboard goes on in the list.
    list_->setFocus(Qt::OtherFocusReason);
}

void CEditorDlg::DeleteSelected() {
    const int row = list_->GetSelectedRow();
    if (confirmDelete != 0 &&
        MessageBox(this, texts_[kDeleteQuestion], texts_[kDeleteCaption], MB_OKCANCEL) != IDOK) {
        return;
    }
    const int next = state_.DeleteRow(row);
    list_->OwnerRowsRemoved(row, 1);
    list_->SelectRow(next);
}

bool CEditorDlg::SaveWithChoices(CloseFor why) {
    const bool mayStayOpen = why != CloseFor::Forced;
    if (state_.timedChanged && owner_ != nullptr) {
        owner_->OnReloadToday(state_.records());
    }
    const QString caption = texts_[kTitle];
    // A store the editor could not read whole must not be overwritten behind the user's back.
    if (state_.modified && state_.LoadIncomplete() &&
        MessageBox(this, PartialStoreText(added_, state_.LoadError(), state_.recordCount()),
                   caption, MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
        return OfferDiscard(mayStayOpen);
    }
    // Nor one someone else put there since: another copy's list, a backup put back.
    if (state_.modified && state_.StoreReplaced(kStorePath)) {
        if (why != CloseFor::User) {
            KeepReplacedStore();
            return true;
        }
        if (MessageBox(this, StoreChangedText(kEditorStoreChanged), caption,
                       MB_OKCANCEL | MB_ICONWARNING) != IDOK) {
            return false;
        }
    }
    for (;;) {
        const SaveResult result = state_.Save(kStorePath);
        if (result) {
            return true;
        }
        if (result.FileReplaced()) {
            // The reminders are in the file; only the system's word that it is on disk is missing.
            MessageBox(this,
                       QString::fromStdString(result.Message(saveTexts_)) + QStringLiteral("\n\n") +
                           added_.Text(kEditorSavedUnconfirmed,
                                       QStringLiteral("Your reminders are saved in the file, but "
                                                      "a system crash soon could still lose the "
                                                      "latest changes.")),
                       caption, MB_OK | MB_ICONWARNING);
            return true;
        }
        if (MessageBox(this, SaveFailureText(added_, saveTexts_, result, mayStayOpen), caption,
                       MB_OKCANCEL | MB_ICONERROR) != IDOK) {
            return OfferDiscard(mayStayOpen);
        }
    }
}

QString CEditorDlg::StoreChangedText(long key) const {
    const QString store = QString::fromLatin1(kStorePath);
    if (key == kEditorStoreNotSaved) {
        return added_
            .Text(key, QStringLiteral("%1 was changed by another program since the editor "
                                      "opened it, so the editor did not write over it."))
            .arg(store);
    }
    return added_
        .Text(key, QStringLiteral("%1 was changed by another program (another copy of Tovrin, or a "
                                  "backup put back) since the editor opened it.\n\nOK replaces "
                                  "it with the reminders shown here. Cancel keeps the file as it "
                                  "is and the editor open."))
        .arg(store);
}

// The program is ending and cannot wait for an answer: the file someone else put there stays, and
// the editor's list goes beside it, for the user to choose from later.
void CEditorDlg::KeepReplacedStore() {
    const QString store = QString::fromLatin1(kStorePath);
    const QString copy = QString::fromLatin1(kUnsavedStorePath);
    const SaveResult kept = state_.SaveCopy(kUnsavedStorePath);
    const QString text =
        kept.FileReplaced()
            ? added_
                  .Text(kEditorStoreKept,
                        QStringLiteral("%1 was changed by another program since the editor "
                                       "opened it, so it is kept as it is. The editor's "
                                       "reminders are saved in %2: to use them, exit Tovrin and "
                                       "copy that file over %1."))
                  .arg(store, copy)
            : added_
                  .Text(kEditorStoreKeptLost,
                        QStringLiteral("%1 was changed by another program since the editor "
                                       "opened it, so it is kept as it is. The editor's changes "
                                       "could not be saved elsewhere (%2) and are lost."))
                  .arg(store, QString::fromStdString(kept.Message(saveTexts_)));
    MessageBox(this, text, texts_[kTitle], MB_OK | MB_ICONWARNING);
    // Saved or told: nothing is left to do at the close.
    state_.MarkSaved();
}

bool CEditorDlg::SaveKeepingOpen(QString& problem) {
    if (!IsWindow() || !state_.modified) {
        return true;
    }
    if (state_.LoadIncomplete()) {
        // Replacing a store the editor could not read whole needs the user's answer.
        problem = PartialStoreText(added_, state_.LoadError(), state_.recordCount());
        return false;
    }
    if (state_.StoreReplaced(kStorePath)) {
        // And so does replacing one that someone else put there since the editor read it.
        problem = StoreChangedText(kEditorStoreNotSaved);
        return false;
    }
    const SaveResult result = state_.Save(kStorePath);
    if (!result.FileReplaced()) {
        problem = QString::fromStdString(result.Message(saveTexts_));
        return false;
    }
    state_.MarkSaved();
    return true;
}

bool CEditorDlg::OfferDiscard(bool mayStayOpen) {
    if (!mayStayOpen) {
        return false;
    }
    return MessageBox(this, DiscardQuestion(added_), texts_[kTitle],
                      MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

bool CEditorDlg::CloseAndSave(bool leaving) {
    if (!IsWindow()) {
        return true;
    }
    // A box is still waiting for the user, inside a handler that may return here: one of its
    // own, or one owned by whichever window was active when a text was missing.
    if (NestedLoop::AnyOpen()) {
        NestedLoop::BringToFront();
        return false;
    }
    if (!SaveWithChoices(leaving ? CloseFor::Leaving : CloseFor::User)) {
        return false;
    }
    DestroyWindow();
    return true;
}

void CEditorDlg::OnClose() {
    CloseAndSave();
}

void CEditorDlg::OnDestroy() {
    ReleasePage();
    state_.Clear();
}

} // namespace tovrin
