#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tovrin {

namespace {

// Qt's Russian translation leaves the OK button in Latin letters, the one Latin word in an
// otherwise Russian box; Russian writes it in Cyrillic.
class CyrillicOkTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        (void)disambiguation;
        (void)n;
        if (qstrcmp(context, "QPlatformTheme") == 0 && qstrcmp(sourceText, "OK") == 0) {
            return QStringLiteral("ОК");
        }
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale) {
    // Owned by the application, so it lives exactly as long as the texts it translates.
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    // Installed last, so asked first.
    if (locale.language() == QLocale::Russian) {
        QCoreApplication::installTranslator(new CyrillicOkTranslator(&app));
    }
    return true;
}

} // namespace tovrin
