#pragma once

#include "core/store/reminder_record.h"

#include <span>

namespace tovrin {

// What the editor needs from the window that owns it, declared here so the editor depends on no
// particular owner. While closing, the editor hands its records over so the owner rebuilds today's
// timed list from them before they are written; the owner may rewrite the date of daily records in
// place so the store carries today's date on them.
class EditorOwner {
public:
    virtual ~EditorOwner() = default;
    virtual void OnReloadToday(std::span<ReminderRecord* const> editorRecords) = 0;
};

} // namespace tovrin
