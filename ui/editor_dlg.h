#pragma once

#include "controls/text_source.h"
#include "core/editor/editor_state.h"
#include "core/lang/names.h"
#include "platform/dialog.h"
#include "platform/lang_texts.h"
#include "platform/shell.h"
#include "ui/editor_owner.h"
#include "ui/page_host.h"

#include <QString>

#include <functional>
#include <memory>

namespace tovrin {

class CollatedTextOrder;
class IXCoolPane;
class IXStatic;
class ListView;

// The editor: caption bars, the navigation pane, and the list of every reminder, over which the
// record edit, settings and about pages take turns. It reads the store when it opens and writes
// it when it closes, if anything changed; it is the only writer of the store.
class CEditorDlg final : public Dialog, public PageHost, public TextSource {
    Q_OBJECT
public:
    // owner: the main window, told to rebuild today's timed list when a timed record changed.
    CEditorDlg(QWidget* parent, EditorOwner* owner);
    ~CEditorDlg() override;

    // Takes the store's lock and loads the store, then builds the window from its template and
    // shows it. Another editor on the same store, or a store damaged beyond reading, is told in a
    // box instead, and no window is made: false.
    bool Create();

    // Closes the way the user's close does: the owner hears of changed timed records, then the
    // store is written if anything changed. When the write fails the user chooses to try again,
    // to discard the changes, or to keep the editor open; then it returns false and nothing is
    // lost. A store someone else changed since the editor read it is replaced only if the user
    // says so; Cancel keeps it and the editor open. When `leaving` (the program ends), such a
    // store is kept instead, the editor's list saved beside it, and the user told. False too,
    // with that box brought to the front, while one of the editor's own boxes is still open. True
    // when the window is gone (or never was).
    bool CloseAndSave(bool leaving = false);

    // For a session that is about to end and may still be cancelled: writes the changes now,
    // asking nothing, and stays open. False, with the reason, when they could not be written.
    bool SaveKeepingOpen(QString& problem);

    // Commands from the pane (and the list's double click). No key sends one: a stray Delete
    // must never delete a reminder.
    void OnCommand(int id) override;
    // Pages report here.
    void OnRecord(const ReminderRecord& record) override;
    void OnPageClosed() override;
    // The pane's captions: texts of section "Editor".
    QString OnGetText(int key) override;

    // Sorts the rows by a column, as a click on its heading does.
    void SortByColumn(int column);

    const EditorState& State() const { return state_; }
    ListView* List() const { return list_; }
    IXCoolPane* Pane() const { return pane_; }
    Dialog* HeldPage() const { return heldPage_.get(); }
    IXStatic* TopBar() const { return topBar_; }
    IXStatic* BottomBar() const { return bottomBar_; }

    // How the help is opened; tests put a recorder here instead of the desktop.
    using ShellOpener =
        std::function<void(const QString& file, ShellOpenDone done, const OpenerTexts& texts)>;
    void SetShellOpener(ShellOpener opener) { shellOpen_ = std::move(opener); }

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnClose() override;
    // The editor has no buttons: Enter and Escape never end it.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void CreateBars();
    void CreatePane();
    void CreateList();
    void ShowLoadedStore();
    void RefuseToOpen(const ReadReport& report);
    void FitDateColumn(int month);
    void OpenPage(EditorAction action);
    void DeleteSelected();
    void OpenHelp();
    void ReleasePage();
    // Why the editor closes: the user's close (which may be refused), the program's end (which
    // waits for no question it can avoid), or its object going (which cannot stay open).
    enum class CloseFor { User, Leaving, Forced };
    // The owner's rebuild, then the store, with the user's say when it cannot be written. True
    // when the editor may go: saved, or the changes given up.
    bool SaveWithChoices(CloseFor why);
    QString StoreChangedText(long key) const;
    void KeepReplacedStore();
    bool OfferDiscard(bool mayStayOpen);
    QString RowText(int row, int column) const;
    int RowImage(int row) const;
    QString RowSpoken(int row, int column) const;

    EditorOwner* owner_;
    QWidget* parent_;
    EditorState state_;
    LangTexts texts_;
    NameTable names_;
    AddedTexts added_;
    // The record page's own words for the timed modes, for what a screen reader says of a row.
    AddedTexts modeWords_;
    SaveTexts saveTexts_;
    OpenerTexts openerTexts_;
    std::unique_ptr<CollatedTextOrder> textOrder_;
    std::unique_ptr<Dialog> heldPage_;
    IXStatic* topBar_ = nullptr;
    IXStatic* bottomBar_ = nullptr;
    IXCoolPane* pane_ = nullptr;
    ListView* list_ = nullptr;
    ShellOpener shellOpen_;
};

} // namespace tovrin
