#pragma once

#include "core/lang/lang_file.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// The texts of one section, each looked up the first time a window wants it and kept for that
// window's life. A text the window never shows is never asked for, so a language file that lacks
// it costs the user nothing; one it does show and the file lacks is reported once, however often
// it is shown.
//
// The first text wanted reads every key the window may want in one pass, silently; only the text
// actually wanted is reported when missing. A file that cannot be opened is reported once, at
// that first read.
class LazyLangSection {
public:
    // No file: every text is empty and nothing is reported.
    LazyLangSection() = default;
    LazyLangSection(std::filesystem::path file, std::string_view section, std::vector<long> keys,
                    LangFeedback* feedback);

    // The key's text; empty, and reported the first time, when the file lacks it.
    [[nodiscard]] const std::string& Text(long key) const;
    // The key's text without reporting anything: for measuring, never for showing.
    [[nodiscard]] const std::string* Peek(long key) const;

private:
    struct Entry {
        std::optional<std::string> text;
        bool told = false;
    };

    Entry& Find(long key) const;

    std::filesystem::path file_;
    std::string section_;
    std::vector<long> keys_;
    LangFeedback* feedback_ = nullptr;
    mutable bool read_ = false;
    mutable std::map<long, Entry> entries_;
};

} // namespace tovrin
