#include "platform/dlg_item.h"

#include <QVariant>
#include <QWidget>

namespace tovrin {
namespace {
constexpr const char* kIdProperty = "tovrinCtrlId";
}

void SetDlgCtrlID(QWidget* control, int id) {
    control->setProperty(kIdProperty, id);
}

int GetDlgCtrlID(const QWidget* control) {
    const QVariant id = control->property(kIdProperty);
    return id.isValid() ? id.toInt() : 0;
}

QWidget* GetDlgItem(const QWidget* dialog, int id) {
    if (dialog == nullptr) {
        return nullptr;
    }
    const auto children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant v = child->property(kIdProperty);
        if (v.isValid() && v.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

} // namespace tovrin
