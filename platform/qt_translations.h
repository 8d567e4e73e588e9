#pragma once

class QCoreApplication;
class QLocale;

namespace tovrin {

// Qt's own texts (the boxes' buttons, the calendar of the date picker) in the desktop's language,
// from Qt's translations installed with Qt, so a Russian window does not show "Cancel" beside
// Russian words. False, and Qt's English kept, when the desktop's language has no translation or
// Qt's translations are not installed.
bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale);

} // namespace tovrin
