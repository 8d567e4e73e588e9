#include "controls/static_bar_accessible.h"

#include "controls/static_bar.h"

#include "platform/accessible_reading.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tovrin {
namespace {

class AccessibleStaticBar final : public QAccessibleWidget {
public:
    explicit AccessibleStaticBar(IXStatic* bar) : QAccessibleWidget(bar, QAccessible::Heading) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return static_cast<const IXStatic*>(widget())->GetWindowText();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* StaticBarFactory(const QString&, QObject* object) {
    if (auto* bar = qobject_cast<IXStatic*>(object)) {
        return new AccessibleStaticBar(bar);
    }
    return nullptr;
}

} // namespace

void InstallStaticBarAccessible(QObject* bar) {
    static const bool installed = [] {
        QAccessible::installFactory(StaticBarFactory);
        return true;
    }();
    (void)installed;
    RenewAccessibleReading<AccessibleStaticBar>(bar);
}

} // namespace tovrin
