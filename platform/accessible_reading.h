#pragma once

#include <QAccessible>

namespace tovrin {

// The toolkit keeps what it made for a screen reader by the object's address, and may still hold
// one made for a plain widget (one read while it was being built, or one torn down at the same
// address). A control with a reading of its own drops such a leftover as it is made, so the
// reader meets the new control and not the old one.
template <class Reading> void RenewAccessibleReading(QObject* object) {
    QAccessibleInterface* kept = QAccessible::queryAccessibleInterface(object);
    if (kept != nullptr && dynamic_cast<Reading*>(kept) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(kept));
    }
}

// Gives every object of class Control the reading Reading (made from a Control*), through one
// factory installed the first time, and makes sure `object`, one being built, gets it too.
template <class Control, class Reading> void InstallAccessibleReading(QObject* object) {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* o) -> QAccessibleInterface* {
            auto* control = qobject_cast<Control*>(o);
            return control != nullptr ? new Reading(control) : nullptr;
        });
        return true;
    }();
    (void)installed;
    RenewAccessibleReading<Reading>(object);
}

} // namespace tovrin
