#pragma once

#include "platform/session_bus.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace tovrin {

// The kind of notification area the desktop offers now.
enum class TrayKind {
    None,
    StatusNotifier, // a host on the session bus shows items for programs (KDE, GNOME's extension)
    XEmbed,         // an X11 tray that docks a program's own small window
    Taskbar,        // Windows' notification area, at the end of the taskbar
};

// Follows which notification areas the desktop offers, without ever waiting on the session bus:
// it starts from what the bus said at the start (SessionBusState), then is told of a watcher
// coming and going by the bus itself, of hosts by the watcher's signals, and asks the watcher
// every two seconds without waiting for the answer. An X11 tray manager is asked of the X server
// every two seconds, a question the server answers at once. A StatusNotifier host is preferred
// when both are there, as Qt does.
//
// Qt settles at its first tray icon whether this run talks to a D-Bus tray, by asking the
// watcher and waiting for it, so no tray icon may be made while a watcher holds its name without
// answering (QtMayAskTheBus()).
class TrayPresence : public QObject {
    Q_OBJECT
public:
    explicit TrayPresence(QObject* parent = nullptr);
    ~TrayPresence() override;

    // A StatusNotifier host shows items now.
    bool StatusNotifier() const { return host_ && watcherAnswers_; }
    // An X11 tray manager runs now.
    bool XEmbed() const { return xembed_; }
    // Windows' taskbar runs now, with its notification area.
    bool Taskbar() const { return taskbar_; }
    TrayKind Kind() const;
    // Qt's tray code would get its answers from the bus without waiting long.
    bool QtMayAskTheBus() const { return !watcherOwned_ || watcherAnswers_; }
    // The bus answered its last question quickly. Qt's StatusNotifier item makes a dozen calls
    // to the bus, each waiting for its answer, when it is made, shown or hidden: only then.
    bool BusQuick() const { return lastAnswerMs_ <= kQuickAnswerMs; }

    // How long a question to the watcher may go unanswered before the watcher counts as stuck.
    static constexpr int kWatcherAnswerMs = 1000;
    static constexpr int kPeriodMs = 2000;
    static constexpr int kQuickAnswerMs = 100;

signals:
    // What StatusNotifier(), XEmbed(), QtMayAskTheBus() or BusQuick() say has changed.
    void changed();

private slots:
    void OnHostRegistered();
    void OnHostUnregistered();

private:
    void Poll();
    void AskX();
    void FollowBus();
    void AskWatcher();
    void WatcherCame();
    void WatcherWent();
    void Changed();
    int Snapshot() const;

    QTimer period_;
    bool xembed_ = false;
    bool taskbar_ = false;
    bool busFollowed_ = false;
    bool watcherOwned_ = false;
    bool watcherAnswers_ = false;
    bool host_ = false;
    bool asking_ = false;
    long long lastAnswerMs_ = 0;
    int lastSnapshot_ = -1;
    struct Dbus;
    std::unique_ptr<Dbus> dbus_;
};

} // namespace tovrin
