#pragma once

#include "core/store/reminder_record.h"

namespace tovrin {

// The window a page lives in, as the page sees it: each page finds it as its parent and reports
// to it synchronously, so the host has acted before the page goes on.
class PageHost {
public:
    virtual ~PageHost() = default;
    // The record edit page's finished record; valid only during the call.
    virtual void OnRecord(const ReminderRecord& record) = 0;
    // The page has hidden itself: show the list again.
    virtual void OnPageClosed() = 0;
};

} // namespace tovrin
