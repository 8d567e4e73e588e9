#pragma once

#include "core/store/store_file.h"

#include <QString>

namespace tovrin {

// What the user is told of a store that cannot be read at all (ReadReport::Refused): a count and a
// size no list of reminders has, or not the memory to read it. Empty for any other store.
QString DamagedStoreText(const ReadReport& report);

// Tells the user, in a box of its own once the event loop runs, that the store cannot be read:
// once for each such file, however many windows read it. Nothing for any other store.
void ReportDamagedStore(const ReadReport& report);

} // namespace tovrin
