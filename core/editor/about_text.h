#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// The about page's free text as the language file gives it, made ready to show: each "%%" becomes
// one "%", and each backslash followed by the letter n becomes a line feed and then a carriage
// return. Every other character stays as it is: the text comes from a file the user can edit and
// is never used as a format.
std::string PrepareAboutText(std::string_view text);

} // namespace tovrin
