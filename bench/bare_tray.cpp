// The yardstick for Tovrin's start-up and idle cost: a Qt program that does only what any tray
// program must (a tray icon, a four-item menu, a one-second timer) and tells the start-up
// benchmark, the same way Tovrin does, when its event loop runs. Given `--rows N` it also shows a
// window listing N rows, as Tovrin shows its current messages when something is due.
#include <QApplication>
#include <QDateTime>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>

int main(int argc, char** argv) {
    int rows = 0;
    if (argc == 3 && std::strcmp(argv[1], "--rows") == 0) {
        rows = std::atoi(argv[2]);
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QMenu menu;
    menu.addAction(QStringLiteral("Journal"));
    menu.addAction(QStringLiteral("Editor"));
    menu.addAction(QStringLiteral("Current messages"));
    menu.addAction(QStringLiteral("Exit"), &app, &QApplication::quit);
    QPixmap picture(22, 22);
    picture.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(picture)};
    tray.setContextMenu(&menu);
    tray.setToolTip(QStringLiteral("Bare tray program"));
    tray.show();

    std::unique_ptr<QListWidget> list;
    if (rows > 0) {
        list = std::make_unique<QListWidget>();
        list->setWindowTitle(QStringLiteral("Current messages"));
        list->resize(612, 297);
        for (int i = 0; i < rows; ++i) {
            list->addItem(QStringLiteral("Due reminder %1").arg(i));
        }
        list->show();
    }

    QTimer tick;
    int minute = -1;
    QObject::connect(&tick, &QTimer::timeout,
                     [&minute] { minute = QDateTime::currentDateTime().time().minute(); });
    tick.start(1000);

    if (const char* fd = std::getenv("TOVRIN_READY_FD")) {
        const int ready = std::atoi(fd);
        QTimer::singleShot(0, [ready] {
            [[maybe_unused]] const ssize_t n = ::write(ready, "ready\n", 6);
            ::close(ready);
        });
    }
    return app.exec();
}
