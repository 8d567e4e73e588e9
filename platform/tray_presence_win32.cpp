// Windows has one notification area, the taskbar's; it is missing only where no taskbar runs (a
// shell of another kind, or the shell restarting after a crash). Qt counts it present whatever
// runs, so the taskbar's own window is looked for instead, every two seconds: a question that
// never waits, as no message is sent to the window.
#include "platform/tray_presence.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tovrin {

namespace {

bool TaskbarRuns() {
    return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

} // namespace

// Nothing of a session bus on Windows.
struct TrayPresence::Dbus {};

TrayPresence::TrayPresence(QObject* parent) : QObject(parent) {
    taskbar_ = TaskbarRuns();
    lastSnapshot_ = Snapshot();
    period_.setInterval(kPeriodMs);
    connect(&period_, &QTimer::timeout, this, &TrayPresence::Poll);
    period_.start();
}

TrayPresence::~TrayPresence() = default;

TrayKind TrayPresence::Kind() const {
    return taskbar_ ? TrayKind::Taskbar : TrayKind::None;
}

int TrayPresence::Snapshot() const {
    return taskbar_ ? 1 : 0;
}

void TrayPresence::Poll() {
    taskbar_ = TaskbarRuns();
    Changed();
}

void TrayPresence::OnHostRegistered() {}
void TrayPresence::OnHostUnregistered() {}

} // namespace tovrin
