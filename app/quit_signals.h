#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace tovrin {

// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP: a kill, Ctrl+C, the
// terminal or the session going away) into a call on the event loop, so the program can leave the
// way its Exit command does instead of dying with unsaved work. The handler itself only writes a
// byte to a pipe; everything else happens later, on the user-interface thread. A signal the
// program was started to ignore (`nohup`, a background job's SIGINT) stays ignored; the system's
// side of this is platform/os_seams.h.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // onSignal runs on the event loop, once per signal received. Only one object may exist.
    explicit QuitSignals(std::function<void(int signal)> onSignal);
    ~QuitSignals() override;

    // Whether the handlers are in place (a pipe could be made).
    bool Active() const { return notifier_ != nullptr; }

private:
    void Drain();

    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tovrin
