#pragma once

namespace tovrin {

// The kind of notification area the desktop offers now.
enum class TrayKind {
    None,
    StatusNotifier, // a host on the session bus shows items for programs (KDE, GNOME's extension)
    XEmbed,         // an X11 tray that docks a program's own small window
    Taskbar,        // Windows' notification area, at the end of the taskbar
};

// Asks the desktop itself which notification area is there, without Qt's tray classes. Qt settles
// at its first tray question whether this run talks to a D-Bus tray and never asks again, so a
// program that asked while there was no tray at all would never reach a StatusNotifier host that
// started after it. A StatusNotifier host is preferred when both are there, as Qt does.
// Each question to the bus waits at most half a second, so a stuck bus never freezes the program.
TrayKind PresentTray();

} // namespace tovrin
