#pragma once

#include "core/lang/lang_file.h"

#include <array>
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

// The twelve month names and seven weekday names, read in one pass when a window is built, so a
// list of thousands of rows neither rescans the file per row nor shows a missing name more than
// once.
class NameTable {
public:
    static NameTable Load(const std::filesystem::path& file, LangFeedback* feedback);

    // January is 1, Sunday is 1; a number out of range gives an empty name.
    [[nodiscard]] const std::string& Month(int month) const;
    [[nodiscard]] const std::string& Weekday(int weekday) const;

private:
    std::array<std::string, 12> months_;
    std::array<std::string, 7> weekdays_;
};

} // namespace tovrin
