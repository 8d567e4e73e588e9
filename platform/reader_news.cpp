#include "platform/reader_news.h"

#include <QAccessible>

namespace tovrin {
namespace {

ReaderWatch& Watch() {
    static ReaderWatch watch;
    return watch;
}

} // namespace

void TellReader(QAccessibleEvent& event) {
    if (Watch()) {
        Watch()(event);
    }
    QAccessible::updateAccessibility(&event);
}

void SetReaderWatchForTests(ReaderWatch watch) {
    Watch() = std::move(watch);
}

} // namespace tovrin
