#pragma once

class QString;

namespace tovrin {

// The desktop's "open" verb: a web address goes to the browser, a file to the program the desktop
// associates with it. Returns whether the desktop accepted the request.
bool ShellOpen(const QString& target);

} // namespace tovrin
