#pragma once

#include "core/lang/names.h"
#include "core/store/reminder_record.h"

#include <string>

namespace tovrin {

// The date column's text: the day of month with at least two digits, a space and the month's
// name ("05 мая"). The language text is never used as a format; a month outside 1-12 has no
// name.
std::string DateColumnText(const ReminderRecord& record, const NameTable& names);

} // namespace tovrin
