#include "platform/template_controls.h"

#include "platform/check_box.h"
#include "platform/date_time_picker.h"
#include "platform/dialog_accessible.h"
#include "platform/dialog_units.h"
#include "platform/dlg_item.h"
#include "platform/edit_control.h"
#include "platform/list_view.h"
#include "platform/push_button.h"
#include "platform/static_control.h"

#include <string_view>

namespace tovrin {
namespace {

QWidget* MakeButton(const ControlTemplate& control, QWidget* parent) {
    const uint32_t type = control.style & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
        return new CheckBox(parent, control.style);
    }
    return new PushButton(parent, control.style);
}

QWidget* MakeControl(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::Static:
        return new StaticControl(parent, control.style, control.exStyle);
    case ControlKind::Edit:
        return new EditControl(parent, control.style, control.exStyle);
    case ControlKind::Button:
        return MakeButton(control, parent);
    case ControlKind::DateTimePicker:
        return new DateTimePicker(parent, control.style);
    case ControlKind::ListView:
        return new ListView(parent, control.style, control.exStyle);
    }
    return nullptr;
}

} // namespace

QWidget* CreateTemplateControl(const ControlTemplate& control, QWidget* parent) {
    QWidget* widget = MakeControl(control, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    SetDlgCtrlID(widget, control.id);
    // A picker's and a list's template text is only their class's caption; nobody sees it.
    if (control.kind != ControlKind::DateTimePicker && control.kind != ControlKind::ListView) {
        SetWindowText(widget, QString::fromUtf8(control.text));
    }
    // A kit control's stand-in holds its place and nothing else.
    const std::string_view text(control.text);
    if (control.kind == ControlKind::Static && (text == "IXStatic" || text == "IXCoolPane")) {
        widget->setProperty(kPlaceholderProperty, true);
    }
    const PixelRect r = MapDialogRect(control.rect);
    widget->setGeometry(r.x, r.y, r.width, r.height);
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    widget->setVisible((control.style & WS_VISIBLE) != 0);
    return widget;
}

void SetWindowText(QWidget* window, const QString& text) {
    if (window == nullptr) {
        return;
    }
    if (auto* label = qobject_cast<StaticControl*>(window)) {
        label->SetText(text);
    } else if (auto* edit = qobject_cast<EditControl*>(window)) {
        edit->SetText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(window)) {
        edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(window)) {
        button->setText(text);
    } else {
        window->setWindowTitle(text);
    }
}

QString GetWindowText(const QWidget* window) {
    if (window == nullptr) {
        return {};
    }
    if (auto* label = qobject_cast<const StaticControl*>(window)) {
        return label->Text();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(window)) {
        return edit->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(window)) {
        return button->text();
    }
    return window->windowTitle();
}

} // namespace tovrin
