#include "app/reminder_app.h"
#include "controls/sys_colors.h"
#include "platform/qt_translations.h"
#include "platform/session_bus.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // Arguments are ignored, Qt's own options too: any command line starts the program exactly as
    // an empty one does.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    // Before Qt meets the session bus: one that does not answer must never hold the program.
    tovrin::PrepareSessionBus();
    // The journal's menu bar stays in its window, and no menu bar asks the bus for a global menu.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(qtArgc, qtArgv);
    tovrin::FinishSessionBusSetup();
    QApplication::setApplicationName(QStringLiteral("Tovrin"));
    // The program lives in the tray: closing its last window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's buttons and calendar speak the desktop's language, as the picker's month names do.
    tovrin::InstallQtTranslations(app, QLocale());
    // Before any window: the controls paint with these colours for the whole run.
    tovrin::InitSysColors();

    tovrin::CReminderApp theApp;
    return theApp.Main();
}
