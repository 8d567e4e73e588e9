#include "controls/tray_icon.h"

#include "controls/tray_fallback.h"
#include "core/draw/menu_bitmaps.h"
#include "platform/resources.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace tovrin {

namespace {
// How often the desktop is asked whether a notification area has come or gone.
constexpr int kTrayWatchPeriod = 2000;
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

CTrayIcon::CTrayIcon() {
    trayWatch_.setInterval(kTrayWatchPeriod);
    connect(&trayWatch_, &QTimer::timeout, this, &CTrayIcon::CheckTray);
}

// The icon and the stand-in are only ever hidden while the program runs (a click on either may be
// what is running when the owner removes it) and are deleted here.
CTrayIcon::~CTrayIcon() = default;

bool CTrayIcon::Create(TrayOwner* owner, int menuId, const QIcon& icon, const QString& tip) {
    owner_ = owner;
    menuId_ = menuId;
    icon_ = icon;
    tip_ = CutTip(tip);
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>();
        connect(tray_.get(), &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);
    }
    tray_->setIcon(icon_);
    tray_->setToolTip(tip_);
    if (fallback_) {
        fallback_->SetTip(tip_);
    }
    trayWatch_.start();
    CheckTray();
    return InTray();
}

bool CTrayIcon::Remove() {
    trayWatch_.stop();
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
    if (menuShowing_ || !tray_) {
        return;
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
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

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    // Only a left click opens the menu; the right button, double clicks and the middle button
    // do nothing. The menu starts from the event loop, not inside the tray's own mouse handler.
    if (reason != QSystemTrayIcon::Trigger) {
        return;
    }
    QTimer::singleShot(0, this, [this] { ShowPopupMenu(QCursor::pos()); });
}

std::unique_ptr<QMenu> CTrayIcon::BuildPopupMenu() {
    const MenuTemplate* resource = LoadMenuResource(menuId_);
    if (resource == nullptr || resource->items.empty() || resource->items.front().popup.empty()) {
        return nullptr;
    }
    // Loaded afresh every time, so texts the owner put in last time never linger.
    auto menu = std::make_unique<QMenu>();
    AppendMenuItems(*menu, resource->items.front().popup);
    if (localiseMenu && owner_ != nullptr) {
        owner_->OnTrayMenu(*menu);
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
    const int command = MenuCommandId(menu->exec(globalPos));
    menu.reset();
    menuShowing_ = false;
    // Last of all: the command may end the program, or remove this icon.
    if (command != 0 && owner_ != nullptr) {
        owner_->OnCommand(command);
    }
    return true;
}

} // namespace tovrin
