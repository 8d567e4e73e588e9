#include "controls/tray_icon.h"

#include "controls/tray_fallback.h"
#include "core/draw/menu_bitmaps.h"
#include "core/draw/popup_place.h"
#include "platform/nested_loop.h"
#include "platform/resources.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <cstring>
#include <utility>

namespace tovrin {

namespace {
// Puts a popup back where it was meant to open once Qt has placed it: Qt keeps a popup clear of
// the desktop's panels, which pulls it off the pointer when the pointer is on the panel itself.
class KeepPopupAt final : public QObject {
public:
    KeepPopupAt(QWidget* popup, QPoint at) : QObject(popup), at_(at) {
        popup->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Move) {
            auto* popup = static_cast<QWidget*>(watched);
            if (popup->pos() != at_) {
                popup->move(at_);
            }
        }
        return false;
    }

private:
    QPoint at_;
};

// A corner of the menu at the pointer, as popup menus open: turned left or up where it would
// leave the screen under the pointer.
QPoint PopupPlace(const QMenu& menu, const QPoint& pointer) {
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return pointer;
    }
    const QRect area = screen->geometry();
    const QSize size = menu.sizeHint();
    const POINT at = PlacePopupMenu({pointer.x(), pointer.y()}, size.width(), size.height(),
                                    {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    return {at.x, at.y};
}
} // namespace

QString CutTip(const QString& tip, int limit) {
    if (tip.size() <= limit) {
        return tip;
    }
    QString cut = tip.left(limit);
    if (!cut.isEmpty() && cut.back().isHighSurrogate()) {
        cut.chop(1);
    }
    return cut;
}

bool IsTrayIconWindow(const QObject* object) {
    return object != nullptr && object->isWidgetType() &&
           std::strcmp(object->metaObject()->className(), "QSystemTrayIconSys") == 0;
}

CTrayIcon::CTrayIcon() {
    // The icon's window is Qt's own and made anew whenever the icon comes back, so it is watched
    // through the application rather than one window at a time.
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

// The icon and the stand-in are only ever hidden while the program runs (a click on either may be
// what is running when the owner removes it) and are deleted here.
CTrayIcon::~CTrayIcon() = default;

bool CTrayIcon::Create(TrayOwner* owner, int menuId, const QIcon& icon, const QString& tip) {
    owner_ = owner;
    menuId_ = menuId;
    icon_ = icon;
    tip_ = CutTip(tip);
    if (tray_) {
        tray_->setIcon(icon_);
        tray_->setToolTip(tip_);
    }
    if (fallback_) {
        fallback_->SetTip(tip_);
    }
    if (!presence_) {
        presence_ = std::make_unique<TrayPresence>();
        connect(presence_.get(), &TrayPresence::changed, this, &CTrayIcon::CheckTray);
    }
    CheckTray();
    return InTray();
}

// Made only once a notification area is there: making it is Qt's first tray question, whose
// answer about D-Bus trays holds for the rest of the run.
void CTrayIcon::MakeTray(TrayKind kind) {
    tray_ = std::make_unique<QSystemTrayIcon>();
    connect(tray_.get(), &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);
    tray_->setIcon(icon_);
    tray_->setToolTip(tip_);
    // On an X11 tray the right button stays without a menu; a StatusNotifier host may only ever
    // open the item's own menu, so there the popup's commands are offered as that menu too.
    if (kind == TrayKind::StatusNotifier) {
        OfferItemMenu();
    }
}

void CTrayIcon::OfferItemMenu() {
    itemMenu_ = std::make_unique<QMenu>();
    connect(itemMenu_.get(), &QMenu::aboutToShow, this, &CTrayIcon::RefreshItemMenu);
    RefreshItemMenu();
    tray_->setContextMenu(itemMenu_.get());
}

void CTrayIcon::RefreshItemMenu() {
    std::unique_ptr<QMenu> fresh = BuildMenu(&TrayOwner::OnTrayItemMenu);
    if (!fresh) {
        return;
    }
    const QList<QAction*> shown = itemMenu_->actions();
    const QList<QAction*> wanted = fresh->actions();
    if (itemMenuSource_ && shown.size() == wanted.size()) {
        // The host already holds this layout: only texts change, and the items keep their ids.
        for (qsizetype i = 0; i < shown.size(); ++i) {
            shown[i]->setText(wanted[i]->text());
        }
        return;
    }
    itemMenu_->clear();
    itemMenuSource_ = std::move(fresh);
    for (QAction* action : wanted) {
        itemMenu_->addAction(action);
        const int command = MenuCommandId(action);
        if (command == 0) {
            continue;
        }
        // The host's click arrives from the bus; the command runs from the event loop, where it
        // may close windows or end the program.
        connect(action, &QAction::triggered, this, [this, command] {
            QTimer::singleShot(0, this, [this, command] {
                if (owner_ != nullptr && !menuShowing_) {
                    owner_->OnCommand(command);
                }
            });
        });
    }
}

bool CTrayIcon::Remove() {
    // Nothing comes back once the owner has taken the icon away.
    presence_.reset();
    const bool shown = InTray() || FallbackShown();
    if (tray_) {
        tray_->hide();
    }
    if (fallback_) {
        fallback_->hide();
    }
    return shown;
}

bool CTrayIcon::InTray() const {
    return tray_ && tray_->isVisible();
}

bool CTrayIcon::FallbackShown() const {
    return fallback_ && fallback_->isVisible();
}

void CTrayIcon::CheckTray() {
    if (menuShowing_ || !presence_) {
        return;
    }
    if (!tray_) {
        const TrayKind kind = presence_->Kind();
        // Qt's first tray icon asks the bus which kind it is and waits for the answers: never
        // while a watcher holds its name and keeps silent, and a StatusNotifier item, which
        // waits for a dozen answers, only while the bus answers quickly.
        if (kind == TrayKind::None || !presence_->QtMayAskTheBus() ||
            (kind == TrayKind::StatusNotifier && !presence_->BusQuick())) {
            if (!FallbackShown()) {
                ShowFallback();
            }
            return;
        }
        MakeTray(kind);
    }
    // The icon speaks to the kind of area it was made for, for the rest of the run.
    const bool areaThere =
        OnDBusBackend() ? presence_->StatusNotifier() : presence_->XEmbed() || presence_->Taskbar();
    if (OnDBusBackend() && !presence_->BusQuick()) {
        // Showing or hiding the item waits on the bus: left as it is until the bus is quick
        // again, with the stand-in there wherever the item may not be seen.
        if ((!areaThere || !tray_->isVisible()) && !FallbackShown()) {
            ShowFallback();
        }
        return;
    }
    if (areaThere) {
        if (!tray_->isVisible()) {
            tray_->show();
        }
        if (fallback_) {
            fallback_->hide();
        }
    } else if (!FallbackShown()) {
        tray_->hide();
        ShowFallback();
    }
}

void CTrayIcon::ShowFallback() {
    if (!fallback_) {
        fallback_ = std::make_unique<CTrayFallbackWnd>(icon_, tip_,
                                                       [this](QPoint at) { ShowPopupMenu(at); });
    }
    fallback_->show();
}

void CTrayIcon::SetBitmaps(int count, const int* ids) {
    bitmaps_.clear();
    bitmapCount_ = count < 0 || ids == nullptr ? -1 : count;
    for (int i = 0; i < bitmapCount_; ++i) {
        bitmaps_.push_back(LoadBitmapResource(ids[i] & 0xFFFF));
    }
}

std::optional<QPoint> TrayMenuPlace(QSystemTrayIcon::ActivationReason reason, const QPoint& pointer,
                                    const QRect& icon, bool dbusTray) {
    // The keyboard's way to the icon (on Windows Win+B, the arrows, then Enter, Space or the
    // menu key) comes as a click or a context request while the pointer is elsewhere. A host
    // over D-Bus says nothing of where its icon is, and shows the item's own menu itself.
    const bool keyboard = !dbusTray && icon.isValid() && !icon.contains(pointer);
    if (reason == QSystemTrayIcon::Trigger) {
        return keyboard ? icon.center() : pointer;
    }
    if (reason == QSystemTrayIcon::Context && keyboard) {
        return icon.center();
    }
    return std::nullopt;
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a left click (or the keyboard) opens the menu; the right button, double clicks and the
    // middle button do nothing. The menu starts from the event loop, not inside the tray's own
    // mouse handler.
    const std::optional<QPoint> at =
        TrayMenuPlace(reason, QCursor::pos(), tray_ ? tray_->geometry() : QRect(), OnDBusBackend());
    if (at) {
        QTimer::singleShot(0, this, [this, place = *at] { ShowPopupMenu(place); });
    }
}

bool CTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
         type != QEvent::MouseButtonRelease) ||
        !IsTrayIconWindow(watched)) {
        return false;
    }
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
        return false;
    }
    if (type != QEvent::MouseButtonRelease) {
        leftPressed_ = true;
        return true;
    }
    // Only a release that ends a press on the icon: the one that ends a click closing the menu
    // elsewhere is not a request for another menu.
    const bool wasPressed = std::exchange(leftPressed_, false);
    const auto* window = static_cast<const QWidget*>(watched);
    if (wasPressed && window->rect().contains(mouse->position().toPoint())) {
        // The menu starts from the event loop, not inside the icon's own mouse handler.
        QTimer::singleShot(0, this, [this] { ShowPopupMenu(QCursor::pos()); });
    }
    return true;
}

std::unique_ptr<QMenu> CTrayIcon::BuildPopupMenu() {
    return BuildMenu(&TrayOwner::OnTrayMenu);
}

std::unique_ptr<QMenu> CTrayIcon::BuildMenu(void (TrayOwner::*localise)(QMenu&)) {
    const MenuTemplate* resource = LoadMenuResource(menuId_);
    if (resource == nullptr || resource->items.empty() || resource->items.front().popup.empty()) {
        return nullptr;
    }
    // Loaded afresh every time, so texts the owner put in last time never linger.
    auto menu = std::make_unique<QMenu>();
    AppendMenuItems(*menu, resource->items.front().popup);
    if (localiseMenu && owner_ != nullptr) {
        (owner_->*localise)(*menu);
    }
    const QList<QAction*> actions = menu->actions();
    std::vector<bool> separators;
    for (const QAction* action : actions) {
        separators.push_back(action->isSeparator());
    }
    const std::vector<int> placed = PlaceMenuBitmaps(separators, bitmapCount_);
    for (qsizetype j = 0; j < actions.size(); ++j) {
        const int bitmap = placed[static_cast<std::size_t>(j)];
        if (bitmap >= 0 && bitmap < static_cast<int>(bitmaps_.size())) {
            actions[j]->setIcon(QIcon(bitmaps_[static_cast<std::size_t>(bitmap)]));
            actions[j]->setIconVisibleInMenu(true);
        }
    }
    return menu;
}

bool CTrayIcon::ShowPopupMenu(const QPoint& globalPos) {
    if (menuShowing_) {
        return true;
    }
    std::unique_ptr<QMenu> menu = BuildPopupMenu();
    if (!menu) {
        return false;
    }
    menuShowing_ = true;
    int command = 0;
    {
        // The menu's loop is one of those nothing may close a window under; it has ended
        // before the command runs, so the command sees only loops that are still open. Nothing
        // to raise: an open menu is in front, and closes at the first click elsewhere.
        NestedLoop loop(nullptr);
        const QPoint at = PopupPlace(*menu, globalPos);
        new KeepPopupAt(menu.get(), at);
        command = MenuCommandId(menu->exec(at));
    }
    menu.reset();
    menuShowing_ = false;
    // A notification area that came or went while the menu was open.
    CheckTray();
    // Last of all: the command may end the program, or remove this icon.
    if (command != 0 && owner_ != nullptr) {
        owner_->OnCommand(command);
    }
    return true;
}

} // namespace tovrin
