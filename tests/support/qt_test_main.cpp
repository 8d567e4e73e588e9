#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run; the offscreen platform is set by CTest and
// here as well, so a test binary started by hand behaves the same.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef _WIN32
    // The offscreen platform on Windows reads the fonts of one folder and knows no others: the
    // system's, unless the tests name theirs (Wine has no Arial, but the Liberation faces).
    if (qgetenv("QT_QPA_FONTDIR").isEmpty()) {
        const QByteArray named = qgetenv("TOVRIN_TEST_FONTS");
        qputenv("QT_QPA_FONTDIR", named.isEmpty() ? qgetenv("WINDIR") + "\\Fonts" : named);
    }
#endif
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
