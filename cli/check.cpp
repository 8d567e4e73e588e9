// tovrin-cli check: everything the program would drop, cut, ignore or not find in Base/, in plain
// words. Problems make the exit status 1; notes describe what the program does anyway.
#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/record_output.h"
#include "core/lang/lang_file.h"
#include "core/lang/lang_keys.h"
#include "core/lang/text_mode_reader.h"
#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "core/schedule/due_rules.h"
#include "core/store/paths.h"

#include <cstring>
#include <map>
#include <vector>

namespace tovrin {
namespace {

class Findings {
public:
    explicit Findings(std::ostream& out) : out_(out) {}
    void Heading(const std::string& line) { out_ << line << '\n'; }
    void Problem(const std::string& line) {
        out_ << "  problem: " << line << '\n';
        ++problems_;
    }
    void Note(const std::string& line) { out_ << "  note: " << line << '\n'; }
    int Problems() const { return problems_; }

private:
    std::ostream& out_;
    int problems_ = 0;
};

std::string Plural(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Why a record can never be shown, or an empty string when it can.
std::string NeverShownBecause(const ReminderRecord& r) {
    const SYSTEMTIME& w = r.when;
    const bool badTime = w.wHour >= 24 || w.wMinute >= 60;
    switch (r.mode) {
    case MODE_DAILY:
        return badTime ? "its time " + FormatTime(w) + " never comes" : "";
    case MODE_ONCE:
        if (!IsValidDate(w)) {
            return "its date " + FormatDate(w) + " does not exist";
        }
        return badTime ? "its time " + FormatTime(w) + " never comes" : "";
    case MODE_YEARLY:
        return w.wDay < 1 || w.wDay > DaysInMonth(2000, w.wMonth)
                   ? "no year has the day " + FormatDate(w).substr(5)
                   : "";
    case MODE_MONTHLY:
        return w.wDay < 1 || w.wDay > 31 ? "no month has the day " + std::to_string(w.wDay) : "";
    default:
        return IsValidDate(w) ? "" : "its date " + FormatDate(w) + " does not exist";
    }
}

void CheckStore(Findings& f) {
    constexpr std::uint32_t kMostListed = 20;
    const SYSTEMTIME today = TodayOf(GetLocalTime());
    std::uint32_t index = 0;
    std::uint32_t neverShown = 0;
    std::uint32_t badClock = 0;
    std::uint32_t expired = 0;
    std::uint32_t unknownMode = 0;
    std::vector<std::string> lines;
    const ReadReport report =
        ForEachStoredRecord(kStorePath, IfMissing::LeaveAlone, [&](const ReminderRecord& r) {
            const std::string why = NeverShownBecause(r);
            const std::string name = "reminder " + std::to_string(index) + " (" + ModeName(r.mode) +
                                     ", \"" + TerminalText(r) + "\")";
            if (!why.empty() && ++neverShown <= kMostListed) {
                lines.push_back(name + " is never shown: " + why);
            }
            if (why.empty() && !IsTimedMode(r.mode) && !IsValidDateTime(r.when) &&
                ++badClock <= kMostListed) {
                lines.push_back(name + " has the time " + FormatTime(r.when) +
                                "; the editor resets what is out of range to 0");
            }
            expired += IsExpired(r, today) ? 1 : 0;
            unknownMode += r.mode != MODE_NONE && r.mode != MODE_ONCE && r.mode != MODE_DAILY &&
                           r.mode != MODE_YEARLY && r.mode != MODE_MONTHLY;
            ++index;
        });
    if (report.outcome == OpenOutcome::Missing) {
        f.Heading(std::string(kStorePath) + ": missing; the program creates it empty.");
    } else {
        f.Heading(std::string(kStorePath) + ": " + Plural(index, "reminder", "reminders") + ".");
    }
    for (const std::string& line : DescribeProblems(report, kStorePath)) {
        f.Problem(line);
    }
    for (const std::string& line : lines) {
        f.Problem(line);
    }
    if (neverShown + badClock > lines.size()) {
        f.Problem("and " + std::to_string(neverShown + badClock - lines.size()) + " more");
    }
    if (unknownMode > 0) {
        f.Note(Plural(unknownMode, "reminder has a mode", "reminders have modes") +
               " the program does not know; they are shown as plain dates");
    }
    if (expired > 0) {
        f.Note(Plural(expired, "reminder has passed; the editor drops it",
                      "reminders have passed; the editor drops them") +
               " the next time it opens");
    }
}

void CheckSettings(Findings& f) {
    SettingsReport r;
    const Settings s = LoadSettings(kSettingsPath, IfMissing::LeaveAlone, &r);
    const std::string file = kSettingsPath;
    f.Heading(file + ": " + Plural(s.notifyDays, "day", "days") + " of advance notice, " +
              (s.confirmDelete != 0 ? "deletions confirmed." : "deletions not confirmed."));
    if (r.outcome == OpenOutcome::Missing) {
        f.Note("missing; the program creates it empty and uses the values above");
    } else if (r.outcome == OpenOutcome::Failed) {
        f.Problem("could not open " + file + ": " + std::strerror(r.error) +
                  "; the program uses the values above");
    } else if (r.readFailed) {
        f.Problem("reading " + file + " stopped early: " + std::strerror(r.error));
    } else if (r.bytesUsed == 0) {
        f.Note("empty; the program uses the values above until the settings page is confirmed");
    } else if (r.bytesUsed < kSettingsSize) {
        f.Problem(file + " holds only " + Plural(r.bytesUsed, "byte", "bytes") +
                  " of 8; the values it lacks keep their start values");
    }
    if (r.extraBytes) {
        f.Problem(file + " is longer than 8 bytes; the rest is ignored");
    }
    if (r.daysRaised) {
        f.Note("the file says 0 days of advance notice, which loads as 1");
    }
    if (s.notifyDays > 9) {
        f.Note("the settings page offers 0 to 9 days; this value was written by other means");
    }
}

// Lines longer than a 255-character piece are read as several lines: their text is cut, and the
// rest may even pass for a key line or end the section. Each such line is one problem however
// long it is, and many of them are one finding with their count, so a huge file cannot flood
// the terminal.
void CheckLongLines(Findings& f) {
    constexpr std::size_t kMostNamed = 10;
    TextModeReader reader;
    if (!reader.Open(kLangPath)) {
        return;
    }
    std::string piece;
    std::uint64_t line = 1;
    std::uint64_t longLines = 0;
    std::string named;
    bool cutBefore = false;
    bool lineCounted = false;
    while (reader.ReadPiece(piece)) {
        // A full piece followed by nothing but its line end is whole.
        if (cutBefore && piece != "\n" && !lineCounted) {
            lineCounted = true;
            if (++longLines <= kMostNamed) {
                named += (named.empty() ? "" : ", ") + std::to_string(line);
            }
        }
        cutBefore = piece.size() == TextModeReader::kMaxPiece && piece.back() != '\n';
        if (piece.back() == '\n') {
            ++line;
            lineCounted = false;
        }
    }
    if (longLines == 1) {
        f.Problem("line " + named + " of " + kLangPath +
                  " is longer than 255 characters; the program cuts it there");
    } else if (longLines > 1) {
        f.Problem(std::to_string(longLines) + " lines of " + kLangPath +
                  " are longer than 255 characters (lines " + named +
                  (longLines > kMostNamed ? ", ..." : "") + "); the program cuts them there");
    }
}

void CheckLanguage(Findings& f) {
    CLangFile lang;
    if (!lang.Open(kLangPath)) {
        f.Heading(std::string(kLangPath) + ": cannot be opened.");
        f.Problem("every window would show \"Couldn't load LANGUAGE RESOURCE\", then \"Error\" "
                  "for each of its texts, and the program would quit");
        return;
    }
    // Section order as listed, each section's keys together.
    std::vector<std::pair<std::string_view, std::vector<long>>> sections;
    for (const LangKey& k : kLangKeys) {
        if (sections.empty() || sections.back().first != k.section) {
            sections.emplace_back(k.section, std::vector<long>{});
        }
        sections.back().second.push_back(k.key);
    }
    std::vector<std::string> lines;
    std::size_t found = 0;
    for (const auto& [section, keys] : sections) {
        lang.Section(section);
        const auto texts = lang.GetMany(keys);
        std::string missing;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (texts[i]) {
                ++found;
            } else {
                missing += (missing.empty() ? "" : ", ") + std::to_string(keys[i]);
            }
        }
        if (lang.SectionName().empty()) {
            lines.push_back("section [" + std::string(section) + "] is missing");
        } else if (!missing.empty()) {
            lines.push_back("section [" + std::string(section) + "] lacks key(s) " + missing);
        }
    }
    lang.Close();
    f.Heading(std::string(kLangPath) + ": " + std::to_string(found) + " of " +
              std::to_string(kLangKeys.size()) + " texts found.");
    for (const std::string& line : lines) {
        f.Problem(line + "; the windows show \"Error\" and the program quits");
    }
    CheckLongLines(f);
}

} // namespace

int CheckCommand(std::ostream& out) {
    Findings f(out);
    CheckStore(f);
    CheckSettings(f);
    CheckLanguage(f);
    if (f.Problems() == 0) {
        out << "All sound.\n";
        return kExitOk;
    }
    out << Plural(static_cast<std::uint64_t>(f.Problems()), "problem", "problems") << " found.\n";
    return kExitProblem;
}

} // namespace tovrin
