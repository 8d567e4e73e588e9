#pragma once

// Every place where Tovrin depends on the operating system, in one list. Each seam has one
// declaration and a file per system; CMake picks the file (POSIX: Linux and the other Unixes,
// Win32: Windows). Nothing else in the program calls the system directly.
//
// | Seam                       | Declared in                 | POSIX                       | Win32
// |
// |----------------------------|-----------------------------|-----------------------------|-----------------------------------|
// | reading a file, bounded    | core/store/read_only_file.h | read_only_file.cpp          |
// read_only_file_win32.cpp          | | reading the language file  | core/lang/text_mode_reader.h|
// text_mode_reader_posix.cpp  | text_mode_reader_win32.cpp        | | saving old-or-new          |
// core/store/atomic_file.h    | atomic_file.cpp             | atomic_file_win32.cpp             |
// | one copy per program file  | platform/single_instance.h  | single_instance.cpp         |
// single_instance_win32.cpp         | | being asked to end         | below                       |
// end_requests_posix.cpp      | end_requests_win32.cpp            | | where the files live       |
// below                       | the working directory       | the working directory             |
//
// The code page (windows-1251) is a table of the core's own on every system, and the local clock
// goes through the C library, so neither is a seam. The windows themselves stand on Qt, which
// brings its own seams for both systems.

#include "platform/single_instance.h"

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
