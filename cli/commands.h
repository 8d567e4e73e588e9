#pragma once

#include "core/store/settings.h"
#include "core/store/store_file.h"
#include "core/store/systemtime.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>

namespace tovrin {

// The commands of tovrin-cli, each returning its exit status. They read Base/ in the current
// directory and never create or change a file.

int DumpCommand(bool json, std::ostream& out, std::ostream& err);
// Without `days`, the advance notice is the settings file's, as the program would load it.
int DueCommand(const SYSTEMTIME& today, std::optional<std::uint32_t> days, bool json,
               std::ostream& out, std::ostream& err);
int TodayCommand(const SYSTEMTIME& now, bool json, std::ostream& out, std::ostream& err);
int CheckCommand(std::ostream& out);
int LangCommand(std::string_view section, long key, std::ostream& out, std::ostream& err);

// Tells the user on `err` what the store reader had to leave out or could not open; returns
// kExitProblem when the store could not be read at all, else kExitOk.
int ReportStoreTrouble(const ReadReport& report, std::ostream& err);

} // namespace tovrin
