#include "controls/hyper_link_accessible.h"

#include "controls/hyper_link.h"

#include "platform/accessible_reading.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tovrin {
namespace {

class AccessibleHyperLink final : public QAccessibleWidget {
public:
    explicit AccessibleHyperLink(IXHyperLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value) {
            return Link()->GetWindowText();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (Link()->isEnabled()) {
            Link()->Open();
        }
    }

private:
    IXHyperLink* Link() const { return static_cast<IXHyperLink*>(widget()); }
};

} // namespace

void InstallHyperLinkAccessible(QObject* link) {
    InstallAccessibleReading<IXHyperLink, AccessibleHyperLink>(link);
}

} // namespace tovrin
