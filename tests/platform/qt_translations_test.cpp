#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

class QtTranslations : public ::testing::Test {
protected:
    ~QtTranslations() override {
        // Later tests see Qt's English again.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    static QStringList BoxButtons() {
        QMessageBox box;
        const QString ok = box.addButton(QMessageBox::Ok)->text();
        const QString cancel = box.addButton(QMessageBox::Cancel)->text();
        return {ok, cancel};
    }
};

TEST_F(QtTranslations, ARussianDesktopGetsRussianButtons) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QDir(dir).exists(QStringLiteral("qtbase_ru.qm"))) {
        GTEST_SKIP() << "Qt's translations are not installed in " << dir.toStdString()
                     << " (Debian: qt6-translations-l10n)";
    }
    ASSERT_TRUE(InstallQtTranslations(*qApp, QLocale(QLocale::Russian, QLocale::Russia)));
    // Qt's own Russian keeps "OK" in Latin letters; the box writes it in Cyrillic.
    EXPECT_EQ(BoxButtons(), (QStringList{QStringLiteral("ОК"), QStringLiteral("Отмена")}));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
}

TEST_F(QtTranslations, ALanguageWithoutATranslationKeepsQtsEnglish) {
    EXPECT_FALSE(InstallQtTranslations(*qApp, QLocale(QLocale::Swahili, QLocale::Kenya)));
    EXPECT_TRUE(qApp->findChildren<QTranslator*>().isEmpty());
    const QStringList buttons = BoxButtons();
    EXPECT_EQ(buttons[0], QStringLiteral("OK"));
    EXPECT_EQ(buttons[1], QStringLiteral("Cancel"));
}

} // namespace
} // namespace tovrin
