#pragma once

// Messages between the program's windows. They are delivered synchronously as typed calls named
// after them; the numbers are kept so that logs and tests can name them as the user-visible
// program always has.
namespace tovrin {

inline constexpr unsigned WM_USER_BASE = 0x400;
inline constexpr unsigned UM_RECORD = WM_USER_BASE + 2;       // page <-> editor: a record
inline constexpr unsigned UM_PAGE_CLOSED = WM_USER_BASE + 3;  // page -> editor: show the list
inline constexpr unsigned UM_RELOAD_TODAY = WM_USER_BASE + 4; // editor -> main window
inline constexpr unsigned UM_TRAY_NOTIFY = WM_USER_BASE + 10; // tray service -> tray window
inline constexpr unsigned UM_TRAY_MENU = WM_USER_BASE + 11;   // tray window -> main window
inline constexpr unsigned UM_GET_TEXT = WM_USER_BASE + 11;    // pane -> editor (same number)

} // namespace tovrin
