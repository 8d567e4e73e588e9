#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace tovrin {

// The program's 8-bit texts (language file, reminder texts) are windows-1251; the widgets speak
// QString.

QString FromCp1251(std::string_view cp1251);
// A character windows-1251 cannot hold becomes "?"; *lossy (when given) tells whether that
// happened.
std::string ToCp1251(const QString& text, bool* lossy = nullptr);

// Lower-cases windows-1251 text in place, Latin and Cyrillic letters alike.
void CharLowerA(std::string& cp1251);

} // namespace tovrin
