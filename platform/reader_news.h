#pragma once

#include <functional>

class QAccessibleEvent;

namespace tovrin {

// Tells a screen reader of a change (the keyboard on another item, a title changed). The toolkit
// passes such news on only while a reader listens; tests that have none watch the news here.
void TellReader(QAccessibleEvent& event);

using ReaderWatch = std::function<void(const QAccessibleEvent& event)>;
void SetReaderWatchForTests(ReaderWatch watch);

} // namespace tovrin
