#pragma once

#include <ostream>
#include <span>
#include <string>

namespace tovrin {

inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1; // something unsound, missing or unreadable
inline constexpr int kExitUsage = 2;

// tovrin-cli: shows the reminders in the current directory's Base/ the way the program sees them.
// It only ever reads: no command creates, changes or removes a file. `args` excludes the
// program's name; the result is the exit status.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace tovrin
