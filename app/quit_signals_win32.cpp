#include "app/quit_signals.h"

#include "os/os_seams.h"

#include <QMetaObject>
#include <QSocketNotifier>

#include <mutex>

namespace tovrin {
namespace {

// The object the requests go to, and the lock that keeps it from going away between the look and
// the post: the system's thread may be posting just as the loop destroys it.
std::mutex targetLock;
QuitSignals* target = nullptr;

} // namespace

void QuitSignals::Request(int request) {
    const std::lock_guard lock(targetLock);
    if (target != nullptr) {
        // A queued call is a posted event: safe from any thread, and dropped if the object goes
        // before the loop reaches it.
        QuitSignals* to = target;
        QMetaObject::invokeMethod(
            to, [to, request] { to->Deliver(request); }, Qt::QueuedConnection);
    }
}

QuitSignals::QuitSignals(std::function<void(int signal)> onSignal)
    : onSignal_(std::move(onSignal)) {
    {
        const std::lock_guard lock(targetLock);
        if (target != nullptr) {
            return;
        }
        target = this;
    }
    active_ = true;
    WatchEndRequests(Request);
}

QuitSignals::~QuitSignals() {
    if (!active_) {
        return;
    }
    // Last: a console that is closing waits for this before the system ends the process, so the
    // program has saved by now.
    {
        const std::lock_guard lock(targetLock);
        target = nullptr;
    }
    StopWatchingEndRequests();
}

void QuitSignals::Deliver(int request) {
    if (onSignal_) {
        onSignal_(request);
    }
}

} // namespace tovrin
