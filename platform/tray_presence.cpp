#include "platform/tray_presence.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QString>

#if defined(TOVRIN_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#define TOVRIN_ASK_X11 1
#endif

#include <cstdint>
#include <cstdlib>
#include <string>

namespace tovrin {

namespace {

constexpr int kBusTimeoutMs = 500;
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// A host counts only once it has told the watcher it shows items: a watcher alone shows nothing.
bool StatusNotifierHostPresent() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage owner = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    owner << kWatcher;
    const QDBusMessage hasOwner = bus.call(owner, QDBus::Block, kBusTimeoutMs);
    if (hasOwner.type() != QDBusMessage::ReplyMessage || hasOwner.arguments().isEmpty() ||
        !hasOwner.arguments().front().toBool()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kWatcher, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage registered = bus.call(get, QDBus::Block, kBusTimeoutMs);
    if (registered.type() != QDBusMessage::ReplyMessage || registered.arguments().isEmpty()) {
        return false;
    }
    return registered.arguments().front().value<QDBusVariant>().variant().toBool();
}

bool XEmbedTrayPresent() {
#ifdef TOVRIN_ASK_X11
    auto* x11 = qGuiApp == nullptr ? nullptr
                                   : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 == nullptr ? nullptr : x11->connection();
    if (connection == nullptr) {
        return false;
    }
    // A tray manager owns the selection _NET_SYSTEM_TRAY_S<n> of the screen it serves.
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    for (int screen = 0; screen < screens; ++screen) {
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(name.size()), name.c_str()),
            nullptr);
        if (atom == nullptr) {
            continue;
        }
        const xcb_atom_t selection = atom->atom;
        std::free(atom);
        if (selection == XCB_ATOM_NONE) {
            continue; // nobody ever named it: no tray has run on this server
        }
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr);
        const bool owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        if (owned) {
            return true;
        }
    }
#endif
    return false;
}

} // namespace

TrayKind PresentTray() {
    if (StatusNotifierHostPresent()) {
        return TrayKind::StatusNotifier;
    }
    return XEmbedTrayPresent() ? TrayKind::XEmbed : TrayKind::None;
}

} // namespace tovrin
