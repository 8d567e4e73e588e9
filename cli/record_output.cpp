#include "cli/record_output.h"

#include "core/lang/codepage.h"

#include <cstdio>

namespace tovrin {
namespace {

std::string Hex2(unsigned char c) {
    static constexpr char kDigits[] = "0123456789abcdef";
    return {kDigits[c >> 4], kDigits[c & 15]};
}

} // namespace

std::string ModeName(std::int32_t mode) {
    switch (mode) {
    case MODE_NONE:
        return "date";
    case MODE_DAILY:
        return "daily";
    case MODE_YEARLY:
        return "yearly";
    case MODE_MONTHLY:
        return "monthly";
    case MODE_ONCE:
        return "once";
    default:
        return "mode " + std::to_string(mode);
    }
}

std::string FormatDate(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", unsigned{t.wYear}, unsigned{t.wMonth},
                  unsigned{t.wDay});
    return text;
}

std::string FormatTime(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.wHour}, unsigned{t.wMinute},
                  unsigned{t.wSecond});
    return text;
}

std::string FormatTimeMs(const SYSTEMTIME& t) {
    char text[16];
    std::snprintf(text, sizeof text, ".%03u", unsigned{t.wMilliseconds});
    return FormatTime(t) + text;
}

std::string TerminalText(const ReminderRecord& record) {
    const std::string utf8 = Cp1251ToUtf8(TextOf(record));
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) {
            out += "\\x" + Hex2(u);
        } else {
            out += c;
        }
    }
    return out;
}

void WriteJsonString(std::ostream& out, std::string_view utf8) {
    out << '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out << "\\\"";
            break;
        case '\\':
            out << "\\\\";
            break;
        case '\n':
            out << "\\n";
            break;
        case '\r':
            out << "\\r";
            break;
        case '\t':
            out << "\\t";
            break;
        default:
            if (u < 0x20) {
                out << "\\u00" << Hex2(u);
            } else {
                out << c;
            }
        }
    }
    out << '"';
}

void WriteJsonRecord(std::ostream& out, std::uint32_t index, const ReminderRecord& record,
                     const JsonExtras& extras) {
    const SYSTEMTIME& w = record.when;
    out << "{\"index\":" << index << ",\"mode\":" << record.mode << ",\"state\":" << record.state;
    if (extras.offset) {
        out << ",\"offset\":" << *extras.offset;
    }
    out << ",\"when\":{\"year\":" << w.wYear << ",\"month\":" << w.wMonth
        << ",\"dayOfWeek\":" << w.wDayOfWeek << ",\"day\":" << w.wDay << ",\"hour\":" << w.wHour
        << ",\"minute\":" << w.wMinute << ",\"second\":" << w.wSecond
        << ",\"milliseconds\":" << w.wMilliseconds << "},\"text\":";
    WriteJsonString(out, Cp1251ToUtf8(TextOf(record)));
    if (extras.fires) {
        out << ",\"fires\":" << (*extras.fires ? "true" : "false");
    }
    out << '}';
}

} // namespace tovrin
