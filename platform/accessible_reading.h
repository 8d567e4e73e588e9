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

} // namespace tovrin
