#pragma once

// The places where Tovrin depends on the operating system, in one list. Each seam has one
// declaration and a file per system, and CMake picks the file (POSIX: Linux and the other Unixes;
// Win32: Windows, built with mingw-w64 and tested under Wine).
//
// - Reading a file, bounded and never blocking: core/store/read_only_file.h;
//   read_only_file.cpp / read_only_file_win32.cpp.
// - Reading the language file in pieces: core/lang/text_mode_reader.h;
//   text_mode_reader_posix.cpp / text_mode_reader_win32.cpp.
// - Saving so that the old file or the new one is there, never a mix: core/store/atomic_file.h;
//   atomic_file.cpp (rename, then folder sync) / atomic_file_win32.cpp (MoveFileExW, write
//   through).
// - One copy per user and program file: os/single_instance.h; single_instance.cpp (locked
//   files in a folder of the user's own, the program file known by its device and inode from the
//   process's own mappings, and a name in Linux's abstract socket namespace checked against its
//   holder's credentials) / single_instance_win32.cpp (named mutexes in the session's namespace,
//   the program file known by its file id, another user's mutex not counted).
// - One editor per store: core/store/store_lock.h; store_lock.cpp (flock on a file beside the
//   store) / store_lock_win32.cpp (that file opened for no one else, deleted on close). Whether
//   the store is still the file read: StampOf in core/store/read_only_file.h.
// - Temporary files of killed saves: RemoveStaleTemporaries in core/store/atomic_file.h (kill(0)
//   / OpenProcess tell whether their process is gone).
// - Being asked to end: below; os/end_requests_posix.cpp (SIGTERM, SIGINT, SIGHUP) /
//   os/end_requests_win32.cpp (console control events, logoff, shutdown). The Qt side that hands a
//   request to the event loop is app/quit_signals.cpp (a pipe the signal handler writes to) /
//   app/quit_signals_win32.cpp (a call posted from the system's thread). A Windows session's end
//   reaches the program as Qt's session-manager signals (WM_QUERYENDSESSION, WM_ENDSESSION).
// - Where the files live: below (os/end_requests_posix.cpp / os/end_requests_win32.cpp); the
//   working directory's Base/ on both.
//
// The code page (windows-1251) is a table of the core's own on every system, and the local clock
// goes through the C library, so neither is a seam. The windows stand on Qt, which brings its own
// seams for both systems; where Qt does not reach far enough, the layer over Qt in platform/ has a
// file per system too: which notification area there is (platform/tray_presence.cpp over D-Bus
// and X11 / tray_presence_win32.cpp, the taskbar's), the shell's "open" (platform/shell.cpp,
// xdg-open and xdg-mime / shell_win32.cpp, ShellExecuteEx) and the high-contrast switch
// (platform/high_contrast.cpp, none: the palette says it / high_contrast_win32.cpp,
// SPI_GETHIGHCONTRAST).

#include "os/single_instance.h"

#include <filesystem>
#include <vector>

namespace tovrin {

// Requests from outside to end the program, as the system delivers them: on POSIX the signals
// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, the terminal going away); on Windows the console's
// control events (Ctrl+C, Ctrl+Break, the console window closed, logoff, shutdown). Each arrives as
// its own number (the signal, or the control event).
//
// `onRequest` may run in a signal handler (POSIX) or on a thread of the system's (Windows): it
// must only do what is safe there, such as writing a byte to a pipe or posting to the event loop.
using EndRequestHandler = void (*)(int request);

// Starts watching. A request the program was started to ignore (`nohup` ignores SIGHUP, a shell
// ignores SIGINT for a job it runs in the background) stays ignored: whoever started the program
// chose that. Returns the requests now watched.
std::vector<int> WatchEndRequests(EndRequestHandler onRequest);

// Puts back what was in place before WatchEndRequests, ignored requests staying ignored.
void StopWatchingEndRequests();

// Where Tovrin's files live: the Base folder under the working directory the program was started
// in (the launcher chooses it on Linux, the shortcut's "Start in" on Windows). The program never
// changes its working directory, so the relative paths of core/store/paths.h always name these.
std::filesystem::path ProgramFilesFolder();

} // namespace tovrin
