#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tovrin {

// Turns the requests to end that come from outside (on POSIX the signals SIGTERM, SIGINT, SIGHUP: a
// kill, Ctrl+C, the terminal or the session going away; on Windows the console's events) into a
// call on the event loop, so the program can leave the way its Exit command does instead of dying
// with unsaved work. The handler itself only writes a byte to a pipe (POSIX) or posts to the loop
// (Windows, where it runs on a thread of the system's); everything else happens later, on the
// user-interface thread. A request the program was started to ignore (`nohup`, a background job's
// SIGINT) stays ignored; the system's side of this is os/os_seams.h.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // onSignal runs on the event loop, once per signal received. Only one object may exist.
    explicit QuitSignals(std::function<void(int signal)> onSignal);
    ~QuitSignals() override;

    // Whether the handlers are in place (on POSIX: a pipe could be made).
    bool Active() const { return active_; }

    // Hands one request to onSignal on the event loop; what the system's handler calls. Safe from
    // any thread on Windows, and from a signal handler on POSIX.
    static void Request(int request);

private:
    void Deliver(int request);

    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_; // POSIX: the pipe's reading end
    bool active_ = false;
};

} // namespace tovrin
