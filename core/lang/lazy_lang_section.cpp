#include "core/lang/lazy_lang_section.h"

#include <span>
#include <utility>

namespace tovrin {
namespace {

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

} // namespace

LazyLangSection::LazyLangSection(std::filesystem::path file, std::string_view section,
                                 std::vector<long> keys, LangFeedback* feedback)
    : file_(std::move(file)), section_(section), keys_(std::move(keys)), feedback_(feedback) {}

LazyLangSection::Entry& LazyLangSection::Find(long key) const {
    if (!read_) {
        read_ = true;
        CLangFile lang(feedback_);
        if (lang.Open(file_)) {
            lang.Section(section_);
            std::vector<std::optional<std::string>> found = lang.GetMany(keys_);
            for (std::size_t i = 0; i < keys_.size(); ++i) {
                entries_[keys_[i]].text = std::move(found[i]);
            }
        }
    }
    auto it = entries_.find(key);
    if (it != entries_.end()) {
        return it->second;
    }
    // A key outside the expected set: looked up alone, silently for the file (already reported
    // once if it cannot be opened).
    Entry& entry = entries_[key];
    CLangFile lang(nullptr);
    if (lang.Open(file_)) {
        lang.Section(section_);
        std::string text;
        if (lang.Get(key, text)) {
            entry.text = std::move(text);
        }
    }
    return entry;
}

const std::string& LazyLangSection::Text(long key) const {
    if (file_.empty()) {
        return Empty();
    }
    Entry& entry = Find(key);
    if (entry.text) {
        return *entry.text;
    }
    if (!entry.told) {
        entry.told = true;
        LangLookupFailed(feedback_);
    }
    return Empty();
}

const std::string* LazyLangSection::Peek(long key) const {
    if (file_.empty()) {
        return nullptr;
    }
    const Entry& entry = Find(key);
    return entry.text ? &*entry.text : nullptr;
}

} // namespace tovrin
