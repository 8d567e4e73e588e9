#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// The program's 8-bit texts (language file, reminder texts) are windows-1251; the user interface
// works in UTF-8 (and QString above that).

// Every windows-1251 byte has a character, except 0x98, which becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

// A character windows-1251 cannot hold, or a malformed UTF-8 sequence, becomes "?"; *lossy (when
// given) tells whether that happened.
std::string Utf8ToCp1251(std::string_view utf8, bool* lossy = nullptr);

// Lower-cases windows-1251 text in place, Latin and Cyrillic letters alike (what the current
// messages window does to weekday names).
void CharLowerCp1251(std::string& cp1251);

} // namespace tovrin
