#pragma once

#include <QString>

#include <functional>

namespace tovrin {

// The desktop's "open" verb for a web address: it goes to the browser (on Windows through the
// shell, ShellExecuteEx with the verb "open", as every open of this file does). A relative path is
// taken as a file under the working directory, never as a web address. Returns whether the desktop
// accepted the request.
bool ShellOpen(const QString& target);

// What came of opening a file: empty when the desktop's opener took it, otherwise what went wrong,
// in a sentence for the user.
using ShellOpenDone = std::function<void(const QString& problem)>;

// What the user is told when the opener fails: %1 the file; %2 the opener's exit status, or why
// it could not be started.
struct OpenerTexts {
    QString missing = QStringLiteral("The file %1 is missing.");
    QString noViewer = QStringLiteral("The desktop has no program to open %1. A viewer for .chm "
                                      "files (xchm or kchmviewer, for example) opens it.");
    QString status = QStringLiteral(
        "The desktop could not open %1 (its opener, xdg-open, ended with status %2).");
    QString crashed =
        QStringLiteral("The desktop could not open %1 (its opener, xdg-open, crashed).");
    QString notStarted = QStringLiteral("%1 could not be opened: xdg-open, which opens files on "
                                        "this desktop, could not be started (%2). The xdg-utils "
                                        "package provides it.");
    // Windows: %2 the system's reason.
    QString shellFailed = QStringLiteral("Windows could not open %1: %2.");
};

// Opens a local file (a relative path is under the working directory) with the program the
// desktop associates with it. Never waits for the opener: `done` is called once, later, from the
// event loop, when the opener has ended or could not be started. The opener may run as long as
// the program it starts, so `done` may come late or, if this program ends first, never.
// A problem is told in texts' words.
// The file given to the opener is absolute, in the system's own separators.
void ShellOpenFile(const QString& file, ShellOpenDone done, const OpenerTexts& texts);

// Opens the help: the compiled help file with the desktop's viewer for it; where the desktop has
// none, or its viewer fails, the same help as HTML pages (`pages`, their index) in the browser.
// Windows opens the compiled help through the shell, as ShellOpenFile. `done` as for ShellOpenFile;
// when both roads fail, the compiled help's problem is told (missing, no viewer, the opener's
// failure), or the pages' own when the compiled help is not there.
void ShellOpenHelp(const QString& compiled, const QString& pages, ShellOpenDone done,
                   const OpenerTexts& texts);

#ifdef Q_OS_WIN
// What the shell is asked to do, for tests that must not start a browser or a viewer. While set,
// every open goes to it (verb, target) instead of the shell, and succeeds.
using ShellHook = std::function<void(const QString& verb, const QString& target)>;
void SetShellHookForTests(ShellHook onOpen);
#endif

} // namespace tovrin
