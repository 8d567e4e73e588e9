#include "core/editor/about_text.h"

namespace tovrin {

std::string PrepareAboutText(std::string_view text) {
    std::string prepared;
    prepared.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next == '%') {
            prepared += '%';
            ++i;
        } else if (text[i] == '\\' && next == 'n') {
            // Line feed first: the order the text has always been shown with.
            prepared += "\n\r";
            ++i;
        } else {
            prepared += text[i];
        }
    }
    return prepared;
}

} // namespace tovrin
