#include "platform/dlg_item.h"

#include <QVariant>
#include <QWidget>

namespace tovrin {
namespace {
constexpr const char* kIdProperty = "tovrinCtrlId";

QWidget* FindDirectChild(const QWidget* parent, int id) {
    const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QVariant v = child->property(kIdProperty);
        if (v.isValid() && v.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}
} // namespace

void SetDlgCtrlID(QWidget* control, int id) {
    if (control == nullptr) {
        return;
    }
    control->setProperty(kIdProperty, id);
}

int GetDlgCtrlID(const QWidget* control) {
    if (control == nullptr) {
        return 0;
    }
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

QWidget* GetDlgItem(const QWidget* dialog, int id) {
    if (dialog == nullptr) {
        return nullptr;
    }
    if (QWidget* found = FindDirectChild(dialog, id)) {
        return found;
    }
    const auto children = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* child : children) {
        if (child->property(kClientAreaProperty).toBool()) {
            return FindDirectChild(child, id);
        }
    }
    return nullptr;
}

} // namespace tovrin
