#include "core/store/save_result.h"

#include <cerrno>
#include <initializer_list>
#include <string_view>
#include <system_error>
#include <utility>

namespace tovrin {
namespace {

// Puts values in place of %1, %2, ... in one pass, so a file name that itself holds "%2" stays
// as it is. A "%" followed by anything else is kept.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string out;
    out.reserve(pattern.size() + 64);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            out += values.begin()[index];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

std::string SaveResult::Message(const SaveTexts& texts) const {
    if (ok) {
        return {};
    }
    // The category's message is thread-safe, unlike strerror.
    const std::string reason = std::generic_category().message(error);
    // Through a link, the user needs to know which file was meant.
    const std::string named = target.empty() ? file : FillIn(texts.link, {file, target});
    switch (step) {
    case SaveStep::Rename:
        return FillIn(texts.replace, {named, reason});
    case SaveStep::SyncDirectory:
        return FillIn(texts.unconfirmed, {named, reason});
    case SaveStep::CreateTemporary:
        return FillIn(texts.temporary, {named, reason});
    case SaveStep::Target:
        return FillIn(error == EACCES ? texts.readOnly : texts.write, {named, reason});
    default:
        return FillIn(texts.write, {named, reason});
    }
}

SaveResult SaveResult::Success(std::string file) {
    SaveResult result;
    result.file = std::move(file);
    return result;
}

SaveResult SaveResult::Failure(std::string file, SaveStep step, int error) {
    SaveResult result;
    result.ok = false;
    result.error = error;
    result.step = step;
    result.file = std::move(file);
    return result;
}

} // namespace tovrin
