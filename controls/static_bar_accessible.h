#pragma once

class QObject;

namespace tovrin {

// A screen reader reads a caption bar as a heading: its title, the way it is painted. Installed
// once, by the first bar made.
void InstallStaticBarAccessible(QObject* bar);

} // namespace tovrin
