#include "platform/announcer.h"

#include "platform/accessible_reading.h"
#include "platform/reader_news.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace tovrin {
namespace {

class AnnouncerAccessible final : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer* announcer)
        : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            return static_cast<const Announcer*>(widget())->Text();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* AnnouncerFactory(const QString& className, QObject* object) {
    auto* announcer = qobject_cast<Announcer*>(object);
    if (announcer == nullptr ||
        className != QLatin1String(Announcer::staticMetaObject.className())) {
        return nullptr;
    }
    return new AnnouncerAccessible(announcer);
}

} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(&AnnouncerFactory);
        return true;
    }();
    (void)installed;
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
    // Out of the tree until there is something to say.
    hide();
    RenewAccessibleReading<AnnouncerAccessible>(this);
}

void Announcer::Announce(const QString& text) {
    text_ = text;
    if (isHidden()) {
        show(); // its showing tells the reader, with the name it reads then
        return;
    }
    // The name first: readers keep the names they have read, and speak a notification when it
    // shows. Qt 6.4 has no event that only speaks, so the showing is said again each time.
    QAccessibleEvent named(this, QAccessible::NameChanged);
    TellReader(named);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    TellReader(shown);
}

} // namespace tovrin
