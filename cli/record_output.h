#pragma once

#include "core/store/reminder_record.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tovrin {

// "yearly", "monthly", ... or the number of a mode the program does not know.
std::string ModeName(std::int32_t mode);

// YYYY-MM-DD and HH:MM:SS, printed from the fields as stored, however odd.
std::string FormatDate(const SYSTEMTIME& t);
std::string FormatTime(const SYSTEMTIME& t);
std::string FormatTimeMs(const SYSTEMTIME& t); // HH:MM:SS.mmm

// A reminder text, windows-1251 in the store, as UTF-8 for the terminal. Control characters
// become \xNN, so one record stays on one line.
std::string TerminalText(const ReminderRecord& record);

// `s` as a JSON string literal, quotes included.
void WriteJsonString(std::ostream& out, std::string_view utf8);

struct JsonExtras {
    std::optional<std::uint32_t> offset; // for the due list
    std::optional<bool> fires;           // for today's timed list
};

// One record as a JSON object on one line: index, mode, state, [offset], when, text, [fires].
void WriteJsonRecord(std::ostream& out, std::uint32_t index, const ReminderRecord& record,
                     const JsonExtras& extras = {});

// Writes a JSON array one element per line: Begin, then Item before each element, then End.
class JsonArrayWriter {
public:
    explicit JsonArrayWriter(std::ostream& out) : out_(out) {}
    void Begin() { out_ << '['; }
    void Item() {
        out_ << (first_ ? "\n" : ",\n");
        first_ = false;
    }
    void End() { out_ << (first_ ? "]\n" : "\n]\n"); }

private:
    std::ostream& out_;
    bool first_ = true;
};

} // namespace tovrin
