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

QAccessibleInterface* HyperLinkFactory(const QString&, QObject* object) {
    if (auto* link = qobject_cast<IXHyperLink*>(object)) {
        return new AccessibleHyperLink(link);
    }
    return nullptr;
}

} // namespace

void InstallHyperLinkAccessible(QObject* link) {
    static const bool installed = [] {
        QAccessible::installFactory(HyperLinkFactory);
        return true;
    }();
    (void)installed;
    RenewAccessibleReading<AccessibleHyperLink>(link);
}

} // namespace tovrin
