#include "platform/check_box_accessible.h"

#include "platform/accessible_reading.h"
#include "platform/check_box.h"

#include <QAccessibleWidget>
#include <QRegularExpression>

namespace tovrin {
namespace {

class AccessibleCheckBox : public QAccessibleWidget {
public:
    explicit AccessibleCheckBox(CheckBox* box) : QAccessibleWidget(box, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        QString said = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && said.isEmpty()) {
            said = Box()->text();
            said.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        }
        return said;
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Box()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            if (Box()->isEnabled()) {
                Box()->click();
            }
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        return action == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    CheckBox* Box() const { return static_cast<CheckBox*>(widget()); }
};

} // namespace

void InstallCheckBoxAccessible(QObject* box) {
    InstallAccessibleReading<CheckBox, AccessibleCheckBox>(box);
}

} // namespace tovrin
