#pragma once

#include <QString>

namespace tovrin {

// Turns a date-time picker display format written the classic way ("H:mm d MMMM yyy г.") into
// the equivalent Qt format ("H:mm d MMMM yyyy 'г.'").
//
// Fields: d dd (day), ddd dddd (weekday), M MM (month number), MMM MMMM (month name), y yy (two
// digit year), yyy and longer (full year), H HH (24-hour), h hh (12-hour), m mm (minutes), s ss
// (seconds), t tt (AM/PM). A letter repeated beyond its longest field starts a new field ("ddddd"
// is "dddd" then "d"). The era (g) and callback fields (X) have no Qt counterpart and show nothing.
// Every other character is literal text, also text in single quotes ('' is one quote); literal
// text that Qt could mistake for a field is quoted in the result.
//
// Qt has no 12-hour field without AM/PM: "h" shows the 24-hour clock unless the format also has
// "t" or "tt".
QString TranslatePickerFormat(const QString& format);

} // namespace tovrin
