#include "platform/tray_presence.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QString>

#if defined(TOVRIN_HAVE_DBUS)
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#endif

#if defined(TOVRIN_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#define TOVRIN_ASK_X11 1
#endif

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tovrin {

namespace {

#if defined(TOVRIN_ASK_X11)
// A tray manager owns the selection _NET_SYSTEM_TRAY_S<n> of the screen it serves. The names are
// looked up once; after that each question is one request the server answers at once.
class XTrayQuestion {
public:
    bool Ask() {
        auto* x11 = qGuiApp == nullptr
                        ? nullptr
                        : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
        if (connection == nullptr) {
            return false;
        }
        if (selections_.empty()) {
            const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
            for (int screen = 0; screen < screens; ++screen) {
                const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
                xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
                    connection,
                    xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()),
                                    name.c_str()),
                    nullptr);
                if (atom != nullptr) {
                    selections_.push_back(atom->atom);
                    std::free(atom);
                }
            }
        }
        for (const xcb_atom_t selection : selections_) {
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                connection, xcb_get_selection_owner(connection, selection), nullptr);
            const bool owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
            std::free(owner);
            if (owned) {
                return true;
            }
        }
        return false;
    }

private:
    std::vector<xcb_atom_t> selections_;
};
#else
class XTrayQuestion {
public:
    bool Ask() { return false; }
};
#endif

} // namespace

struct TrayPresence::Dbus {
    XTrayQuestion x;
#if defined(TOVRIN_HAVE_DBUS)
    std::unique_ptr<QDBusServiceWatcher> watcher;
#endif
};

namespace {
#if defined(TOVRIN_HAVE_DBUS)
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
#endif
} // namespace

TrayPresence::TrayPresence(QObject* parent) : QObject(parent), dbus_(std::make_unique<Dbus>()) {
    const SessionBusAtStart& bus = SessionBusState();
    // A bus that did not answer at the start, or that Qt was kept off, is not asked again: for
    // this run there is no bus, and nothing on it that Qt could wait for.
    busFollowed_ = !bus.fencedOff && bus.bus != SessionBusAtStart::Bus::Silent &&
                   bus.bus != SessionBusAtStart::Bus::None;
    if (busFollowed_) {
        watcherOwned_ = bus.watcherOwned;
        watcherAnswers_ = bus.watcherAnswers;
        host_ = bus.hostRegistered;
        lastAnswerMs_ = bus.answered.count();
    }
    AskX();
    FollowBus();
    lastSnapshot_ = Snapshot();
    period_.setInterval(kPeriodMs);
    connect(&period_, &QTimer::timeout, this, &TrayPresence::Poll);
    period_.start();
}

TrayPresence::~TrayPresence() = default;

TrayKind TrayPresence::Kind() const {
    if (StatusNotifier()) {
        return TrayKind::StatusNotifier;
    }
    return xembed_ ? TrayKind::XEmbed : TrayKind::None;
}

int TrayPresence::Snapshot() const {
    return (StatusNotifier() ? 1 : 0) | (xembed_ ? 2 : 0) | (QtMayAskTheBus() ? 4 : 0) |
           (BusQuick() ? 8 : 0);
}

void TrayPresence::Poll() {
    AskX();
    if (busFollowed_ && watcherOwned_) {
        // Hosts may go without a word: the watcher is asked, and nobody waits for its answer.
        AskWatcher();
    }
    Changed();
}

void TrayPresence::AskX() {
    xembed_ = dbus_->x.Ask();
}

void TrayPresence::FollowBus() {
#if defined(TOVRIN_HAVE_DBUS)
    if (!busFollowed_) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        busFollowed_ = false;
        return;
    }
    // Told by the bus itself when the watcher comes or goes.
    dbus_->watcher = std::make_unique<QDBusServiceWatcher>(
        kWatcher, bus, QDBusServiceWatcher::WatchForOwnerChange);
    connect(dbus_->watcher.get(), &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    WatcherWent();
                } else {
                    WatcherCame();
                }
            });
    // The watcher's own word on hosts. From any sender: naming the watcher here would make Qt
    // ask the bus who it is, and wait for the answer.
    bus.connect(QString(), kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostRegistered"),
                this, SLOT(OnHostRegistered()));
    bus.connect(QString(), kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostUnregistered"),
                this, SLOT(OnHostUnregistered()));
    // What the start saw may be a moment old.
    AskWatcher();
#endif
}

void TrayPresence::OnHostRegistered() {
    watcherOwned_ = true;
    watcherAnswers_ = true;
    host_ = true;
    Changed();
}

void TrayPresence::OnHostUnregistered() {
    AskWatcher();
}

void TrayPresence::WatcherCame() {
    // Not to be asked by Qt until it has answered us.
    watcherOwned_ = true;
    watcherAnswers_ = false;
    host_ = false;
    AskWatcher();
    Changed();
}

void TrayPresence::WatcherWent() {
    watcherOwned_ = false;
    watcherAnswers_ = false;
    host_ = false;
    Changed();
}

void TrayPresence::AskWatcher() {
#if defined(TOVRIN_HAVE_DBUS)
    if (asking_ || !busFollowed_) {
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher the bus would start for the question is not there yet.
    get.setAutoStartService(false);
    asking_ = true;
    auto* pending = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(get, kWatcherAnswerMs), this);
    connect(
        pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            asking_ = false;
            const QDBusPendingReply<QDBusVariant> reply = *call;
            if (reply.isValid()) {
                watcherOwned_ = true;
                watcherAnswers_ = true;
                host_ = reply.value().variant().toBool();
            } else {
                const QDBusError::ErrorType error = reply.error().type();
                if (error == QDBusError::ServiceUnknown) {
                    watcherOwned_ = false;
                    watcherAnswers_ = false;
                } else {
                    // No answer in time: a watcher that holds its name and keeps silent.
                    // Any other answer: it speaks, and shows no host Qt could use.
                    watcherOwned_ = true;
                    watcherAnswers_ = error != QDBusError::NoReply &&
                                      error != QDBusError::Timeout && error != QDBusError::TimedOut;
                }
                host_ = false;
            }
            Changed();
        });
#endif
}

} // namespace tovrin
