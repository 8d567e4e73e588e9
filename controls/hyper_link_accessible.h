#pragma once

class QObject;

namespace tovrin {

// A screen reader reads the hyperlink as a link named with its text, whose press action opens it
// as a click does. Installed once, by the first link made.
void InstallHyperLinkAccessible(QObject* link);

} // namespace tovrin
