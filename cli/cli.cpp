#include "cli/cli.h"

#include "cli/commands.h"
#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tovrin {
namespace {

constexpr std::string_view kUsage =
    "usage: tovrin-cli COMMAND [OPTIONS]\n"
    "Shows the reminders kept in ./Base as Tovrin sees them. Never writes a file.\n"
    "\n"
    "  dump [--json]                 every reminder in the store, in store order\n"
    "  due [--today YYYY-MM-DD] [--days N] [--json]\n"
    "                                what the current-messages window lists, in its order\n"
    "                                (--days defaults to the settings file's advance notice)\n"
    "  today --now \"YYYY-MM-DD HH:MM[:SS]\" [--json]\n"
    "                                today's timed list at that moment, and what fires\n"
    "  check                         reports anything Tovrin would drop, cut or not find\n"
    "                                in the store, the settings and the language file;\n"
    "                                exit status 0 when all is sound, 1 otherwise\n"
    "  lang SECTION KEY              one text of the language file\n";

struct Options {
    std::string_view command;
    std::vector<std::string_view> positional;
    bool json = false;
    std::optional<std::string_view> today;
    std::optional<std::string_view> days;
    std::optional<std::string_view> now;
};

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <typename T> bool ParseNumber(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// Fields split at the given separators, each all digits: "2026-05-10" with '-' gives three.
bool ParseFields(std::string_view text, char separator, std::vector<unsigned>& fields) {
    fields.clear();
    while (true) {
        const std::size_t at = text.find(separator);
        const std::string_view part = text.substr(0, at);
        unsigned value = 0;
        if (part.size() > 4 || !ParseNumber(part, value)) {
            return false;
        }
        fields.push_back(value);
        if (at == std::string_view::npos) {
            return true;
        }
        text.remove_prefix(at + 1);
    }
}

SYSTEMTIME ParseDate(std::string_view text) {
    std::vector<unsigned> f;
    SYSTEMTIME t;
    if (ParseFields(text, '-', f) && f.size() == 3) {
        t.wYear = static_cast<std::uint16_t>(f[0]);
        t.wMonth = static_cast<std::uint16_t>(f[1]);
        t.wDay = static_cast<std::uint16_t>(f[2]);
        if (IsValidDate(t)) {
            return DateFromDayNumber(DayNumber(t));
        }
    }
    throw UsageError("not a date (YYYY-MM-DD, years 100 to 9999): " + std::string(text));
}

SYSTEMTIME ParseDateTime(std::string_view text) {
    const std::size_t space = text.find(' ');
    std::vector<unsigned> f;
    if (space != std::string_view::npos && ParseFields(text.substr(space + 1), ':', f) &&
        (f.size() == 2 || f.size() == 3)) {
        SYSTEMTIME t = ParseDate(text.substr(0, space));
        // Four digits at most, so every field fits before it is range-checked.
        t.wHour = static_cast<std::uint16_t>(f[0]);
        t.wMinute = static_cast<std::uint16_t>(f[1]);
        t.wSecond = static_cast<std::uint16_t>(f.size() == 3 ? f[2] : 0);
        if (IsValidDateTime(t)) {
            return t;
        }
    }
    throw UsageError("not a date and time (\"YYYY-MM-DD HH:MM[:SS]\"): " + std::string(text));
}

std::uint32_t ParseDays(std::string_view text) {
    std::uint32_t days = 0;
    if (!ParseNumber(text, days)) {
        throw UsageError("--days takes a whole number from 0 to 4294967295: " + std::string(text));
    }
    return days;
}

Options ParseOptions(std::span<const std::string> args) {
    Options o;
    o.command = args.front();
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg.size() < 2 || arg.substr(0, 2) != "--") {
            o.positional.push_back(arg);
            continue;
        }
        std::optional<std::string_view> inlineValue;
        if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        auto value = [&]() -> std::string_view {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw UsageError(std::string(arg) + " needs a value");
            }
            return args[++i];
        };
        if (arg == "--json" && !inlineValue) {
            o.json = true;
        } else if (arg == "--today") {
            o.today = value();
        } else if (arg == "--days") {
            o.days = value();
        } else if (arg == "--now") {
            o.now = value();
        } else {
            throw UsageError("unknown option " + std::string(args[i]));
        }
    }
    return o;
}

// Each command takes only its own options.
void Expect(const Options& o, std::size_t positional, bool json, bool dayOptions, bool now) {
    if (o.positional.size() != positional) {
        throw UsageError(std::string(o.command) + " takes " + std::to_string(positional) +
                         " argument(s)");
    }
    if ((o.json && !json) || ((o.today || o.days) && !dayOptions) || (o.now && !now)) {
        throw UsageError("option not taken by " + std::string(o.command));
    }
}

int Dispatch(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.command == "dump") {
        Expect(o, 0, true, false, false);
        return DumpCommand(o.json, out, err);
    }
    if (o.command == "due") {
        Expect(o, 0, true, true, false);
        const SYSTEMTIME today = o.today ? ParseDate(*o.today) : TodayOf(GetLocalTime());
        const auto days = o.days ? std::optional(ParseDays(*o.days)) : std::nullopt;
        return DueCommand(today, days, o.json, out, err);
    }
    if (o.command == "today") {
        Expect(o, 0, true, false, true);
        if (!o.now) {
            throw UsageError("today needs --now \"YYYY-MM-DD HH:MM[:SS]\"");
        }
        return TodayCommand(ParseDateTime(*o.now), o.json, out, err);
    }
    if (o.command == "check") {
        Expect(o, 0, false, false, false);
        return CheckCommand(out);
    }
    if (o.command == "lang") {
        Expect(o, 2, false, false, false);
        long key = 0;
        if (!ParseNumber(o.positional[1], key)) {
            throw UsageError("KEY must be a whole number: " + std::string(o.positional[1]));
        }
        return LangCommand(o.positional[0], key, out, err);
    }
    throw UsageError("unknown command " + std::string(o.command));
}

} // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        out << kUsage;
        return kExitOk;
    }
    try {
        if (args.empty()) {
            throw UsageError("no command given");
        }
        const int status = Dispatch(ParseOptions(args), out, err);
        // Output cut short (a full disk, a closed pipe) is a failure the caller must hear of:
        // whatever read it got less than the command found.
        if (!out.flush()) {
            err << "tovrin-cli: could not write the output\n";
            return status == kExitOk ? kExitProblem : status;
        }
        return status;
    } catch (const UsageError& e) {
        err << "tovrin-cli: " << e.what() << "\n\n" << kUsage;
        return kExitUsage;
    }
}

} // namespace tovrin
