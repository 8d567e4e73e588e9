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

} // namespace

void InstallStaticBarAccessible(QObject* bar) {
    InstallAccessibleReading<IXStatic, AccessibleStaticBar>(bar);
}

} // namespace tovrin
