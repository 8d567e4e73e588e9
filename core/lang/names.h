#pragma once

#include "core/lang/lang_file.h"
#include "core/lang/lazy_lang_section.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tovrin {

// One name from section Editor of Base/default.lng, the file opened and scanned for each call:
// key 21 + month (January is 1) and key 14 + weekday (Sunday is 1). The number is not checked,
// so month 0 reads key 21. A missing name tells the feedback and is empty. Windows that show many
// dates use a NameTable instead, which reads the file once.
std::string MonthName(std::uint16_t month, LangFeedback* feedback);
std::string WeekdayName(std::uint16_t weekday, LangFeedback* feedback);

// The twelve month names and seven weekday names of one window, each looked up the first time
// the window shows it and kept: a list of thousands of rows neither rescans the file per row nor
// shows a missing name more than once, and a name the window never shows may be missing.
class NameTable {
public:
    // No file: every name is empty and nothing is reported.
    NameTable() = default;
    NameTable(const std::filesystem::path& file, LangFeedback* feedback);

    // January is 1, Sunday is 1; a number out of range gives an empty name.
    [[nodiscard]] const std::string& Month(int month) const;
    [[nodiscard]] const std::string& Weekday(int weekday) const;
    // The month's name without reporting a missing one, for measuring a column.
    [[nodiscard]] const std::string* PeekMonth(int month) const;

private:
    LazyLangSection texts_;
};

} // namespace tovrin
