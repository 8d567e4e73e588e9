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

NameTable::NameTable(const std::filesystem::path& file, LangFeedback* feedback) {
    // Keys 15 to 33, the weekdays then the months, are read together the first time one is shown.
    static_assert(kWeekdayKeyBase + 7 == kMonthKeyBase);
    std::vector<long> keys;
    for (long key = kWeekdayKeyBase + 1; key <= kMonthKeyBase + 12; ++key) {
        keys.push_back(key);
    }
    texts_ = LazyLangSection(file, kLangEditor, std::move(keys), feedback);
}

const std::string& NameTable::Month(int month) const {
    return month >= 1 && month <= 12 ? texts_.Text(kMonthKeyBase + month) : Empty();
}

const std::string& NameTable::Weekday(int weekday) const {
    return weekday >= 1 && weekday <= 7 ? texts_.Text(kWeekdayKeyBase + weekday) : Empty();
}

const std::string* NameTable::PeekMonth(int month) const {
    return month >= 1 && month <= 12 ? texts_.Peek(kMonthKeyBase + month) : nullptr;
}

} // namespace tovrin
