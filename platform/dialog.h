#pragma once

#include "platform/command_target.h"
#include "platform/dlg_item.h"
#include "res/dialogs.h"

#include <QIcon>
#include <QString>
#include <QWidget>

#include <vector>

class QMenuBar;

namespace tovrin {

// A window built from a dialog template (res/dialogs.h), the base of every window and page.
//
// Life: construct, then Create(templateId, parent). Create builds the window and its controls,
// calls OnInitDialog and shows the window if the template says so. The C++ object and the window
// are apart, as the windows expect: DestroyWindow() ends the window (OnDestroy runs, child
// dialogs are destroyed, the window disappears, IsWindow() turns false) while the object lives
// on until its owner deletes it. A subclass whose OnDestroy must run when it is deleted with its
// window still there calls DestroyWindow() in its own destructor (from the base destructor the
// subclass's OnDestroy can no longer be reached).
//
// Kinds: a template with WS_CHILD makes a child page inside parent (parent required); any other
// makes a top-level window with title bar and close button but no minimise or maximise box,
// owned by parent (it stays above it and is deleted with it if still alive), with a fixed client
// size, centred on the screen when the template has DS_CENTER.
//
// Commands: buttons' clicks and menu commands arrive as OnCommand(id). Subclasses handle their
// own ids and pass the rest to Dialog::OnCommand, which sends IDOK to OnOK and IDCANCEL to
// OnCancel; both end the dialog, which for these modeless windows means hiding it.
//
// Keys: Enter presses the focused push button, else the default button (BS_DEFPUSHBUTTON), else
// gives IDOK; Escape gives IDCANCEL; Tab and Shift+Tab move the focus. SetKeyFilter(true) takes
// Enter and Escape out of that: they reach the focused control as ordinary keys and close or
// press nothing, a focused push button included (Space presses it). A held Enter presses nothing
// after its first press, so one long press cannot confirm a dialog and then act on whatever
// takes the focus next.
// Arrows: the boxes of a group set with SetArrowGroup pass the focus among themselves.
class Dialog : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);
    ~Dialog() override;

    // False when the template is unknown, the window was created before, or a child page has no
    // parent.
    bool Create(int templateId, QWidget* parent);
    bool Create(const DialogTemplate& dialogTemplate, QWidget* parent);

    // Whether the window exists: created and not destroyed.
    bool IsWindow() const { return created_ && !destroyed_; }
    // Null-safe, for another window (the main window asking after its child); a static member
    // so that the member above does not hide the free IsWindow in subclasses.
    static bool IsWindow(const Dialog* d) { return d != nullptr && d->IsWindow(); }
    void DestroyWindow();
    const DialogTemplate* Template() const { return template_; }

    // Commands.
    void OnCommand(int id) override;
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the dialog with a result; a modeless window only hides.
    void EndDialog(int result);
    int Result() const { return result_; }

    // Controls. Ids are those of the template or given to SetDlgCtrlID; only this dialog's own
    // controls are found, not those of pages inside it.
    QWidget* GetDlgItem(int id) const;
    template <class T> T* GetDlgItemAs(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    void SetDlgItemText(int id, const QString& text);
    QString GetDlgItemText(int id) const;
    void CheckDlgButton(int id, int state);                // BST_CHECKED / BST_UNCHECKED
    int IsDlgButtonChecked(int id) const;                  // BST_UNCHECKED for a missing button
    void CheckRadioButton(int first, int last, int check); // checks check, clears the others
    // The default push button's id; IDOK when there is none.
    int GetDefID() const;
    // The widget the controls live on: the dialog itself, or the area under its menu bar.
    QWidget* Client() const { return client_; }

    // Keys.
    void SetKeyFilter(bool on) { filterEnter_ = filterEscape_ = on; }
    bool KeyFilter() const { return filterEnter_ && filterEscape_; }
    // The controls ids, in their reading order, become a group: Down and Right move the focus
    // to the next of them, Up and Left to the one before, wrapping round; Tab still visits each.
    // Moving checks nothing: the boxes change only when pressed.
    void SetArrowGroup(std::vector<int> ids);

    // The template's menu bar (nullptr without one). Its commands arrive as OnCommand(id).
    QMenuBar* MenuBar() const { return menuBar_; }
    // Replaces the text of the menu-bar entry at position, keeping its command. False when there
    // is no menu or no such entry.
    bool SetMenuItemText(int position, const QString& text);
    // The same for any other menu (a popup about to be shown). Here so that a window's own
    // SetMenuItemText does not hide the free function of platform/resources.h.
    static bool SetMenuItemText(QWidget& menu, int position, const QString& text);

    // The title bar's icon (small) and the task switcher's (big).
    void SetIcon(const QIcon& icon, bool big);
    QIcon GetIcon(bool big) const { return big ? bigIcon_ : smallIcon_; }

    // Keeps a top-level window above all others (or not), visible or hidden as it was.
    void SetTopmost(bool topmost);

protected:
    // Runs once the controls exist, before the window is shown. Returning true gives the focus
    // to the first control that takes Tab.
    virtual bool OnInitDialog() { return true; }
    // The window is being destroyed: still there, about to go. Children are destroyed after.
    virtual void OnDestroy() {}
    // The user closed the window (title bar, window menu). By default that is IDCANCEL.
    virtual void OnClose();

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildFrame(const DialogTemplate& t, QWidget* parent);
    void BuildMenu(int menuId);
    void BuildControls(const DialogTemplate& t);
    void PlaceWindow(const DialogTemplate& t);
    void FocusFirstTabStop();
    bool PressEnter();
    bool PressFocusedButton();
    bool MoveInArrowGroup(QObject* from, int key);

    const DialogTemplate* template_ = nullptr;
    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    QIcon bigIcon_;
    QIcon smallIcon_;
    int result_ = 0;
    bool created_ = false;
    bool destroyed_ = false;
    bool destroying_ = false;
    bool filterEnter_ = false;
    bool filterEscape_ = false;
    std::vector<int> arrowGroup_;
};

// Null-safe: whether d's window exists.
inline bool IsWindow(const Dialog* d) {
    return Dialog::IsWindow(d);
}

} // namespace tovrin
