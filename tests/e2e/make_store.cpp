// Writes a reminder store for the end-to-end run and the start-up benchmark:
//   make_store FILE [MODE YYYY-MM-DD HH:MM TEXT]...
//   make_store FILE --filler N YYYY-MM-DD
// MODE is once, daily, yearly, monthly or none. TEXT is UTF-8 and stored in windows-1251. The
// filler form writes N reminders that are neither due nor timed on the given day, so a store of
// any size starts the program without showing a window.
#include "core/lang/codepage.h"
#include "core/schedule/date_math.h"
#include "core/store/reminder_record.h"
#include "core/store/store_file.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace tovrin;

bool ParseWhen(const std::string& date, const std::string& time, SYSTEMTIME& when) {
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0;
    if (std::sscanf(date.c_str(), "%u-%u-%u", &y, &mo, &d) != 3 ||
        std::sscanf(time.c_str(), "%u:%u", &h, &mi) != 2) {
        return false;
    }
    when = SYSTEMTIME{};
    when.wYear = static_cast<std::uint16_t>(y);
    when.wMonth = static_cast<std::uint16_t>(mo);
    when.wDay = static_cast<std::uint16_t>(d);
    when.wHour = static_cast<std::uint16_t>(h);
    when.wMinute = static_cast<std::uint16_t>(mi);
    return IsValidDateTime(when);
}

// Dated a year and more before `day` in a month far from it, so no window and no timer shows them.
std::vector<ReminderRecord> Filler(long count, const SYSTEMTIME& day) {
    std::vector<ReminderRecord> records;
    const std::int32_t modes[] = {MODE_ONCE, MODE_DAILY, MODE_NONE, MODE_YEARLY, MODE_MONTHLY};
    for (long i = 0; i < count; ++i) {
        ReminderRecord r;
        r.mode = modes[i % 5];
        const std::int64_t back = 400 + (i % 300);
        r.when = *AddDays(day, -back);
        r.when.wHour = static_cast<std::uint16_t>(i % 24);
        r.when.wMinute = static_cast<std::uint16_t>(i % 60);
        if (r.mode == MODE_DAILY) {
            // Daily reminders take today's date; an hour long gone keeps them quiet.
            r.when.wHour = 0;
            r.when.wMinute = 0;
        }
        if (r.mode == MODE_YEARLY || r.mode == MODE_MONTHLY) {
            // Half a year (and half a month) away from the day: outside any short window.
            r.when = *AddDays(day, 180);
            r.when.wDay = static_cast<std::uint16_t>(day.wDay <= 14 ? 25 : 10);
        }
        SetText(r, "Filler reminder number " + std::to_string(i));
        records.push_back(r);
    }
    return records;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_store FILE [MODE DATE TIME TEXT]... | --filler N DATE\n");
        return 2;
    }
    std::vector<ReminderRecord> records;
    if (argc == 5 && std::string(argv[2]) == "--filler") {
        SYSTEMTIME day;
        if (!ParseWhen(argv[4], "00:00", day)) {
            std::fprintf(stderr, "make_store: bad date %s\n", argv[4]);
            return 2;
        }
        records = Filler(std::atol(argv[3]), day);
    } else {
        const std::map<std::string, std::int32_t> modes{{"once", MODE_ONCE},
                                                        {"daily", MODE_DAILY},
                                                        {"yearly", MODE_YEARLY},
                                                        {"monthly", MODE_MONTHLY},
                                                        {"none", MODE_NONE}};
        for (int i = 2; i + 3 < argc; i += 4) {
            ReminderRecord r;
            const auto mode = modes.find(argv[i]);
            if (mode == modes.end() || !ParseWhen(argv[i + 1], argv[i + 2], r.when)) {
                std::fprintf(stderr, "make_store: bad record at argument %d\n", i);
                return 2;
            }
            r.mode = mode->second;
            SetText(r, Utf8ToCp1251(argv[i + 3]));
            records.push_back(r);
        }
    }
    const SaveResult saved = WriteStore(argv[1], records);
    if (!saved) {
        std::fprintf(stderr, "make_store: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
