// What both systems' watches share: telling the tray's owner only of a real change.
#include "platform/tray_presence.h"

namespace tovrin {

void TrayPresence::Changed() {
    const int now = Snapshot();
    if (now != lastSnapshot_) {
        lastSnapshot_ = now;
        emit changed();
    }
}

} // namespace tovrin
