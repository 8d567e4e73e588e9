#include "core/lang/names.h"

#include "core/lang/lang_keys.h"
#include "core/store/paths.h"

namespace tovrin {
namespace {

std::string EditorName(long key, LangFeedback* feedback) {
    CLangFile lang(feedback);
    lang.Open(kLangPath);
    lang.Section(kLangEditor);
    std::string name;
    if (!lang.Get(key, name)) {
        LangLookupFailed(feedback);
    }
    lang.Close();
    return name;
}

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

} // namespace

std::string MonthName(std::uint16_t month, LangFeedback* feedback) {
    return EditorName(kMonthKeyBase + month, feedback);
}

std::string WeekdayName(std::uint16_t weekday, LangFeedback* feedback) {
    return EditorName(kWeekdayKeyBase + weekday, feedback);
}

NameTable NameTable::Load(const std::filesystem::path& file, LangFeedback* feedback) {
    // Keys 15 to 33: the weekdays, then the months, in one run.
    static_assert(kWeekdayKeyBase + 7 == kMonthKeyBase);
    std::array<long, 19> keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = kWeekdayKeyBase + 1 + static_cast<long>(i);
    }
    std::vector<std::string> texts = LoadLangTexts(file, kLangEditor, keys, feedback);
    NameTable table;
    for (std::size_t i = 0; i < 7; ++i) {
        table.weekdays_[i] = std::move(texts[i]);
    }
    for (std::size_t i = 0; i < 12; ++i) {
        table.months_[i] = std::move(texts[7 + i]);
    }
    return table;
}

const std::string& NameTable::Month(int month) const {
    return month >= 1 && month <= 12 ? months_[static_cast<std::size_t>(month - 1)] : Empty();
}

const std::string& NameTable::Weekday(int weekday) const {
    return weekday >= 1 && weekday <= 7 ? weekdays_[static_cast<std::size_t>(weekday - 1)]
                                        : Empty();
}

} // namespace tovrin
