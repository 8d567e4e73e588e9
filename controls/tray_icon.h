#pragma once

#include "platform/command_target.h"
#include "platform/tray_presence.h"

#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>
#include <optional>
#include <span>
#include <vector>

class QMenu;

namespace tovrin {

class CTrayFallbackWnd;

// The window that owns the tray icon: it gets the menu's commands, and, when it asks for it, the
// menu itself just before each showing to put its own texts in.
class TrayOwner : public CommandTarget {
public:
    virtual void OnTrayMenu(QMenu& menu) = 0;
    // The same, for the copy of the menu a StatusNotifier host shows as the item's own menu. The
    // host may ask for it at any moment, even while a box is open, so nothing may be shown or
    // asked here: a text that cannot be found keeps the one the menu already has.
    virtual void OnTrayItemMenu(QMenu& menu) { (void)menu; }
};

// The program's icon in the notification area. Releasing the left button on it pops up the first
// submenu of a menu resource at the pointer, with a small bitmap beside each command; the chosen
// command goes to the owner. Where the desktop has no notification area the same menu hangs off a
// small always-present window instead, until a notification area turns up.
class CTrayIcon : public QObject {
    Q_OBJECT

public:
    CTrayIcon();
    ~CTrayIcon() override;

    // Shows icon with tip (cut to 63 characters) for owner, whose menu resource menuId supplies
    // the popup. Returns whether the icon went into a notification area; when there is none the
    // stand-in window is shown and false returned, and the icon moves into the area once one
    // appears.
    bool Create(TrayOwner* owner, int menuId, const QIcon& icon, const QString& tip);
    // Takes the icon (or its stand-in) away for good; false when nothing was shown.
    bool Remove();

    // The bitmaps shown beside the popup's commands, in order, separators skipped. The low 16
    // bits of each id are the bitmap resource.
    void SetBitmaps(int count, const int* ids);
    void SetBitmaps(std::span<const int> ids) {
        SetBitmaps(static_cast<int>(ids.size()), ids.data());
    }

    // Ask the owner to rewrite the menu's texts (OnTrayMenu) before each showing. Set it, and
    // the bitmaps, before Create: a StatusNotifier host reads the item's menu as soon as the icon
    // is there, and keeps what it read until it asks again.
    bool localiseMenu = false;

    // What a tray click does where the desktop reports only whole clicks (a D-Bus tray, Windows):
    // a left click (Trigger) shows the popup, and so does the keyboard (TrayMenuPlace);
    // everything else nothing. On X11 the icon's own window
    // reports the press, and the popup waits for the release instead (eventFilter).
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

    // Watches the icon's window on X11: the left button's press is kept from the icon, and its
    // release over the icon shows the popup. A menu opened on the press could be closed again by
    // the release that follows, when the program is slow to show it.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The popup as it would show: menu loaded afresh, texts from the owner, bitmaps placed.
    // nullptr when the menu or its first submenu cannot be loaded.
    std::unique_ptr<QMenu> BuildPopupMenu();
    // Shows the popup with a corner at globalPos (turned left or up where it would leave the
    // screen) until it closes, and hands the chosen command, if any, to the owner. False when the
    // menu could not be loaded.
    bool ShowPopupMenu(const QPoint& globalPos);

    bool InTray() const;
    // The icon is an item on a StatusNotifier host (over D-Bus), which also offers the menu as the
    // item's own menu.
    bool OnDBusTray() const { return InTray() && OnDBusBackend(); }
    bool FallbackShown() const;
    CTrayFallbackWnd* Fallback() const { return fallback_.get(); }
    const QString& Tip() const { return tip_; }

private:
    // Whether the Qt icon was made for a StatusNotifier host, shown or not.
    bool OnDBusBackend() const { return itemMenu_ != nullptr; }
    void CheckTray();
    void ShowFallback();
    void MakeTray(TrayKind kind);
    void OfferItemMenu();
    void RefreshItemMenu();
    std::unique_ptr<QMenu> BuildMenu(void (TrayOwner::*localise)(QMenu&));

    TrayOwner* owner_ = nullptr;
    int menuId_ = 0;
    int bitmapCount_ = -1;
    std::vector<QPixmap> bitmaps_;
    QIcon icon_;
    QString tip_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    // The item's own menu on a StatusNotifier host, and the menu that owns its commands (rebuilt
    // before each showing, like the popup).
    std::unique_ptr<QMenu> itemMenu_;
    std::unique_ptr<QMenu> itemMenuSource_;
    std::unique_ptr<CTrayFallbackWnd> fallback_;
    // Which notification areas there are, from the first Create() until Remove().
    std::unique_ptr<TrayPresence> presence_;
    bool menuShowing_ = false;
    // The left button went down on the icon's window, and has not come up yet.
    bool leftPressed_ = false;
};

// Where an activation of the icon opens the popup, nullopt for none: a left click at the pointer;
// a click or a context request while the pointer is off the icon, which is how the keyboard
// reaches it, at the middle of the icon (known only outside a D-Bus tray).
std::optional<QPoint> TrayMenuPlace(QSystemTrayIcon::ActivationReason reason, const QPoint& pointer,
                                    const QRect& icon, bool dbusTray);

// Whether object is the window Qt docks into an X11 notification area for a tray icon.
bool IsTrayIconWindow(const QObject* object);

// Cuts a tip to at most limit UTF-16 units without splitting a surrogate pair.
QString CutTip(const QString& tip, int limit = 63);

} // namespace tovrin
