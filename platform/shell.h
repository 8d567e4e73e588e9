#pragma once

#include <functional>

class QString;

namespace tovrin {

// The desktop's "open" verb for a web address: it goes to the browser. A relative path is taken
// as a file under the working directory, never as a web address. Returns whether the desktop
// accepted the request.
bool ShellOpen(const QString& target);

// What came of opening a file: empty when the desktop's opener took it, otherwise what went wrong,
// in a sentence for the user.
using ShellOpenDone = std::function<void(const QString& problem)>;

// Opens a local file (a relative path is under the working directory) with the program the
// desktop associates with it. Never waits for the opener: `done` is called once, later, from the
// event loop, when the opener has ended or could not be started. The opener may run as long as
// the program it starts, so `done` may come late or, if this program ends first, never.
void ShellOpenFile(const QString& file, ShellOpenDone done);

} // namespace tovrin
