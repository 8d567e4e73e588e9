#include "cli/commands.h"

#include "cli/cli.h"
#include "cli/record_output.h"
#include "core/lang/codepage.h"
#include "core/lang/lang_file.h"
#include "core/schedule/date_math.h"
#include "core/schedule/due_list.h"
#include "core/schedule/due_rules.h"
#include "core/schedule/today_list.h"
#include "core/store/paths.h"

#include <cstring>
#include <vector>

namespace tovrin {
namespace {

std::string When(const ReminderRecord& record) {
    return FormatDate(record.when) + " " + FormatTime(record.when);
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.resize(width, ' ');
    }
    return text;
}

// "today", "tomorrow", "in 5 days": how far a due day lies, in the words of the window's headers.
std::string DayWords(std::uint32_t offset) {
    if (offset <= 1) {
        return offset == 0 ? "today" : "tomorrow";
    }
    return "in " + std::to_string(offset) + " days";
}

} // namespace

int ReportStoreTrouble(const ReadReport& report, std::ostream& err) {
    for (const std::string& line : DescribeProblems(report, kStorePath)) {
        err << "tovrin-cli: " << line << '\n';
    }
    return report.outcome == OpenOutcome::Failed || report.Refused() ? kExitProblem : kExitOk;
}

int DumpCommand(bool json, std::ostream& out, std::ostream& err) {
    JsonArrayWriter array(out);
    if (json) {
        array.Begin();
    }
    std::uint32_t index = 0;
    // Printed as read, so a store of any size costs one record of memory.
    const ReadReport report =
        ForEachStoredRecord(kStorePath, IfMissing::LeaveAlone, [&](const ReminderRecord& record) {
            if (json) {
                array.Item();
                WriteJsonRecord(out, index, record);
            } else {
                out << Padded(std::to_string(index), 6) << Padded(ModeName(record.mode), 9)
                    << FormatDate(record.when) << ' ' << FormatTimeMs(record.when) << "  dow "
                    << record.when.wDayOfWeek << "  state " << record.state << "  "
                    << TerminalText(record) << '\n';
            }
            ++index;
        });
    if (json) {
        array.End();
    }
    return ReportStoreTrouble(report, err);
}

int DueCommand(const SYSTEMTIME& today, std::optional<std::uint32_t> days, bool json,
               std::ostream& out, std::ostream& err) {
    if (!days) {
        SettingsReport settingsReport;
        days = LoadSettings(kSettingsPath, IfMissing::LeaveAlone, &settingsReport).notifyDays;
    }
    const DueList due = BuildDueList(kStorePath, IfMissing::LeaveAlone, today, *days);
    JsonArrayWriter array(out);
    if (json) {
        array.Begin();
    }
    std::int64_t shownDay = -1;
    for (std::size_t i = 0; i < due.records.size(); ++i) {
        const ReminderRecord& record = due.records[i];
        const auto offset = static_cast<std::uint32_t>(record.state);
        if (json) {
            array.Item();
            WriteJsonRecord(out, due.storeIndex[i], record,
                            {.offset = offset, .fires = std::nullopt});
            continue;
        }
        // One header per day that has something, as the window shows them.
        if (offset != shownDay) {
            shownDay = offset;
            const SYSTEMTIME day = DateFromDayNumber(DayNumber(today) + offset);
            out << FormatDate(day) << ", " << DayWords(offset) << '\n';
        }
        out << "  " << Padded(std::to_string(due.storeIndex[i]), 6)
            << Padded(ModeName(record.mode), 9) << When(record) << "  " << TerminalText(record)
            << '\n';
    }
    if (json) {
        array.End();
    }
    return ReportStoreTrouble(due.report, err);
}

int TodayCommand(const SYSTEMTIME& now, bool json, std::ostream& out, std::ostream& err) {
    // Today's list the way the main window builds it, keeping where each record lies in the store.
    const SYSTEMTIME today = TodayOf(now);
    std::vector<ReminderRecord> list;
    std::vector<std::uint32_t> storeIndex;
    std::uint32_t index = 0;
    const ReadReport report =
        ForEachStoredRecord(kStorePath, IfMissing::LeaveAlone, [&](ReminderRecord& record) {
            if (TakeForToday(record, today)) {
                record.state = 0;
                list.push_back(record);
                storeIndex.push_back(index);
            }
            ++index;
        });
    std::vector<ReminderRecord> fired;
    CheckTimedDue(list, now, fired);

    JsonArrayWriter array(out);
    if (json) {
        array.Begin();
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        const bool fires = list[i].state == FIRED_MARK;
        if (json) {
            array.Item();
            WriteJsonRecord(out, storeIndex[i], list[i], {.offset = std::nullopt, .fires = fires});
        } else {
            out << Padded(std::to_string(storeIndex[i]), 6) << Padded(ModeName(list[i].mode), 7)
                << FormatTime(list[i].when).substr(0, 5) << (fires ? "  fires    " : "           ")
                << TerminalText(list[i]) << '\n';
        }
    }
    if (json) {
        array.End();
    }
    return ReportStoreTrouble(report, err);
}

int LangCommand(std::string_view section, long key, std::ostream& out, std::ostream& err) {
    CLangFile lang;
    if (!lang.Open(kLangPath)) {
        err << "tovrin-cli: cannot open " << kLangPath << '\n';
        return kExitProblem;
    }
    // Arguments come from a UTF-8 terminal; the file is windows-1251.
    lang.Section(Utf8ToCp1251(section));
    std::string text;
    if (!lang.Get(key, text)) {
        err << "tovrin-cli: " << kLangPath << " has no key " << key << " in section [" << section
            << "]\n";
        return kExitProblem;
    }
    out << Cp1251ToUtf8(text) << '\n';
    return kExitOk;
}

} // namespace tovrin
