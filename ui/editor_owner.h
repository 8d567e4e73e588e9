#pragma once

#include "store/reminder_record.h"

#include <span>

namespace tovrin {

// The main window, as the editor sees it while closing: it rebuilds today's timed list from the
// editor's records before they are written, and may rewrite the date of daily records in place so
// the store carries today's date on them.
class ReloadTodayTarget {
public:
    virtual ~ReloadTodayTarget() = default;
    virtual void OnReloadToday(std::span<ReminderRecord* const> editorRecords) = 0;
};

} // namespace tovrin
