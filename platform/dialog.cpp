#include "platform/dialog.h"

#include "platform/check_box.h"
#include "platform/dialog_accessible.h"
#include "platform/dialog_units.h"
#include "platform/fonts.h"
#include "platform/frame_centring.h"
#include "platform/keyboard_cues.h"
#include "platform/push_button.h"
#include "platform/resources.h"
#include "platform/template_controls.h"
#include "res/resource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

namespace tovrin {

Dialog::Dialog(QWidget* parent) : QWidget(parent), client_(this) {
    WatchKeyboardCues();
    InstallDialogAccessible(this);
    // No window before Create: a constructed object must not show up inside its parent.
    setVisible(false);
}

Dialog::~Dialog() {
    // Too late for a subclass's OnDestroy; the window just stops existing.
    destroyed_ = true;
}

bool Dialog::Create(int templateId, QWidget* parent) {
    const DialogTemplate* t = FindDialogTemplate(templateId);
    return t != nullptr && Create(*t, parent);
}

bool Dialog::Create(const DialogTemplate& dialogTemplate, QWidget* parent) {
    if (created_ || (dialogTemplate.IsChild() && parent == nullptr)) {
        return false;
    }
    template_ = &dialogTemplate;
    BuildFrame(dialogTemplate, parent);
    if (dialogTemplate.menuId != 0) {
        BuildMenu(dialogTemplate.menuId);
    }
    BuildControls(dialogTemplate);
    PlaceWindow(dialogTemplate);
    created_ = true;
    const bool defaultFocus = OnInitDialog();
    if (!IsWindow()) {
        return true; // the window ended itself while starting
    }
    if (defaultFocus) {
        FocusFirstTabStop();
    }
    if (dialogTemplate.VisibleAtCreation()) {
        show();
    }
    return true;
}

void Dialog::BuildFrame(const DialogTemplate& t, QWidget* parent) {
    Qt::WindowFlags flags = Qt::Widget;
    if (!t.IsChild()) {
        // A dialog frame: title and close box, no minimise or maximise box, no resizing.
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if ((t.style & WS_SYSMENU) != 0) {
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        }
    }
    setParent(parent, flags);
    setVisible(false);
    setFont(TemplateFont(QString::fromUtf8(t.fontFace), t.fontPointSize));
    setWindowTitle(QString::fromUtf8(t.title));
}

void Dialog::BuildMenu(int menuId) {
    const MenuTemplate* menu = LoadMenuResource(menuId);
    if (menu == nullptr) {
        return;
    }
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    AppendMenuItems(*menuBar_, menu->items);
    connect(menuBar_, &QMenuBar::triggered, this, [this](QAction* action) {
        const int id = MenuCommandId(action);
        if (id != 0) {
            OnCommand(id);
        }
    });
    // The controls' coordinates start under the menu bar, as a client area's do.
    client_ = new QWidget(this);
    client_->setProperty(kClientAreaProperty, true);
}

void Dialog::BuildControls(const DialogTemplate& t) {
    const int width = DluToPixelsX(t.rect.cx);
    const int height = DluToPixelsY(t.rect.cy);
    int menuHeight = 0;
    if (menuBar_ != nullptr) {
        menuHeight = menuBar_->sizeHint().height();
        menuBar_->setGeometry(0, 0, width, menuHeight);
        client_->setGeometry(0, menuHeight, width, height);
    }
    setFixedSize(width, height + menuHeight);
    for (const ControlTemplate& c : t.controls) {
        QWidget* control = CreateTemplateControl(c, client_);
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (button != nullptr) {
            const int id = c.id;
            connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
        }
    }
}

void Dialog::PlaceWindow(const DialogTemplate& t) {
    move(DluToPixelsX(t.rect.x), DluToPixelsY(t.rect.y));
    if (!t.IsChild() && t.Centred()) {
        CentreInWorkArea(*this);
    }
}

void Dialog::FocusFirstTabStop() {
    for (QWidget* child : client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if ((child->focusPolicy() & Qt::TabFocus) != 0 && child->isEnabled() &&
            !child->isHidden() && !child->isWindow()) {
            child->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Dialog::DestroyWindow() {
    if (!IsWindow() || destroying_) {
        return;
    }
    destroying_ = true;
    hide();
    OnDestroy();
    // Pre-order: each child page goes before its own children, as windows are torn down.
    for (Dialog* child : findChildren<Dialog*>()) {
        child->DestroyWindow();
    }
    destroyed_ = true;
    destroying_ = false;
}

void Dialog::OnCommand(int id) {
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    }
}

void Dialog::OnOK() {
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void Dialog::EndDialog(int result) {
    result_ = result;
    hide();
}

QWidget* Dialog::GetDlgItem(int id) const {
    return tovrin::GetDlgItem(this, id);
}

void Dialog::SetDlgItemText(int id, const QString& text) {
    SetWindowText(GetDlgItem(id), text);
}

QString Dialog::GetDlgItemText(int id) const {
    return GetWindowText(GetDlgItem(id));
}

void Dialog::CheckDlgButton(int id, int state) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) {
        button->setChecked(state == BST_CHECKED);
    }
}

int Dialog::IsDlgButtonChecked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(GetDlgItem(id));
    return button != nullptr && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void Dialog::CheckRadioButton(int first, int last, int check) {
    for (int id = first; id <= last; ++id) {
        CheckDlgButton(id, id == check ? BST_CHECKED : BST_UNCHECKED);
    }
}

int Dialog::GetDefID() const {
    for (auto* button : client_->findChildren<PushButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->IsDefault()) {
            return GetDlgCtrlID(button);
        }
    }
    return IDOK;
}

bool Dialog::SetMenuItemText(int position, const QString& text) {
    return menuBar_ != nullptr && tovrin::SetMenuItemText(*menuBar_, position, text);
}

bool Dialog::SetMenuItemText(QWidget& menu, int position, const QString& text) {
    return tovrin::SetMenuItemText(menu, position, text);
}

void Dialog::SetIcon(const QIcon& icon, bool big) {
    (big ? bigIcon_ : smallIcon_) = icon;
    QIcon merged;
    const auto addAll = [&merged](const QIcon& from, int fallbackSize) {
        const QList<QSize> sizes = from.availableSizes();
        if (sizes.isEmpty() && !from.isNull()) {
            merged.addPixmap(from.pixmap(fallbackSize));
        }
        for (const QSize& size : sizes) {
            merged.addPixmap(from.pixmap(size));
        }
    };
    addAll(smallIcon_, 16);
    addAll(bigIcon_, 32);
    setWindowIcon(merged);
}

void Dialog::SetTopmost(bool topmost) {
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (visible) {
        show(); // changing a window's flags hides it
    }
}

void Dialog::OnClose() {
    OnCommand(IDCANCEL);
}

bool Dialog::PressFocusedButton() {
    auto* focused = qobject_cast<PushButton*>(QApplication::focusWidget());
    if (focused == nullptr || focused->parentWidget() != client_ || !focused->isEnabled()) {
        return false;
    }
    OnCommand(GetDlgCtrlID(focused));
    return true;
}

bool Dialog::PressEnter() {
    if (PressFocusedButton()) {
        return true;
    }
    const int id = GetDefID();
    const QWidget* button = GetDlgItem(id);
    if (button != nullptr && !button->isEnabled()) {
        return true; // a disabled default button swallows Enter
    }
    OnCommand(id);
    return true;
}

void Dialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool escape = key == Qt::Key_Escape;
    if (!IsWindow() || !(enter || escape)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if ((enter && filterEnter_) || (escape && filterEscape_)) {
        // Filtered keys go on to the parent window, which may filter them too; a focused button
        // takes no Enter either, so a stray one never confirms a form.
        QWidget::keyPressEvent(event);
        return;
    }
    if (enter && (event->isAutoRepeat() || PressFocusedButton())) {
        event->accept();
        return;
    }
    event->accept();
    if (enter) {
        PressEnter();
        return;
    }
    const QWidget* cancel = GetDlgItem(IDCANCEL);
    if (cancel == nullptr || cancel->isEnabled()) {
        OnCommand(IDCANCEL);
    }
}

void Dialog::SetArrowGroup(std::vector<int> ids) {
    for (int id : arrowGroup_) {
        if (QWidget* member = GetDlgItem(id)) {
            member->removeEventFilter(this);
        }
    }
    arrowGroup_ = std::move(ids);
    for (int id : arrowGroup_) {
        if (QWidget* member = GetDlgItem(id)) {
            member->installEventFilter(this);
        }
    }
}

bool Dialog::MoveInArrowGroup(QObject* from, int key) {
    const int count = static_cast<int>(arrowGroup_.size());
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (GetDlgItem(arrowGroup_[static_cast<std::size_t>(i)]) == from) {
            at = i;
        }
    }
    if (at < 0) {
        return false;
    }
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    for (int step = 1; step < count; ++step) {
        const int next = (at + (forward ? step : count - step)) % count;
        QWidget* member = GetDlgItem(arrowGroup_[static_cast<std::size_t>(next)]);
        if (member != nullptr && member->isEnabled() && member->isVisible()) {
            member->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true; // the only box that can take the focus keeps it
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !arrowGroup_.empty()) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        const bool arrow =
            key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
        const Qt::KeyboardModifiers chords = press->modifiers() & ~Qt::KeypadModifier;
        if (arrow && chords == Qt::NoModifier && MoveInArrowGroup(watched, key)) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Dialog::closeEvent(QCloseEvent* event) {
    // The window decides what closing means (hide, or destroy itself); Qt does nothing more.
    event->ignore();
    if (IsWindow()) {
        OnClose();
    }
}

} // namespace tovrin
