#include "core/editor/date_column.h"

namespace tovrin {

std::string DateColumnText(const ReminderRecord& record, const NameTable& names) {
    const unsigned day = record.when.wDay;
    std::string text = day < 10 ? "0" + std::to_string(day) : std::to_string(day);
    text += ' ';
    text += names.Month(record.when.wMonth);
    return text;
}

} // namespace tovrin
