// Draws every picture the program ships (icons, bitmaps, the hand cursor) and writes them as PNG
// files. Run by hand after changing a drawing; its output is committed under res/images/, and the
// program's icon for the desktop menu at its usual sizes under dist/icons/.
// The Windows icon file goes to dist/windows/.
//   tovrin_art <output directory> [--preview sheet.png] [--app-icons <directory>]
//              [--windows-icon <file.ico>]

#include "res/art/art.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

using namespace art;

namespace {

// Every picture enlarged on one sheet, for looking at them before committing.
void Preview(const QString& file) {
    const QStringList names = QDir(outDir).entryList({QStringLiteral("*.png")}, QDir::Files);
    const int zoom = 6, cell = 64 * zoom / 2 + 24, columns = 6;
    const int rowsNeeded = (static_cast<int>(names.size()) + columns - 1) / columns;
    QImage sheet = Blank(columns * cell, rowsNeeded * (cell + 16), QColor(236, 236, 236));
    QPainter p(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QImage img(QDir(outDir).filePath(names[i]));
        const int z = img.width() > 32 ? zoom / 2 : zoom;
        const QPoint at((i % columns) * cell + 8, (i / columns) * (cell + 16) + 20);
        p.setPen(Qt::black);
        p.drawText(at + QPoint(0, -6), names[i]);
        p.fillRect(QRect(at, img.size() * z), QColor(200, 200, 200));
        p.drawImage(QRect(at, img.size() * z), img);
        p.drawImage(at + QPoint(img.width() * z + 4, 0), img);
    }
    p.end();
    sheet.save(file);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The output directory, then options that each take one value.
    bool understood = argc >= 2 && argc % 2 == 0;
    QString preview, appIcons, windowsIcon;
    for (int i = 2; understood && i + 1 < argc; i += 2) {
        const QString option = QString::fromLatin1(argv[i]);
        if (option == QStringLiteral("--preview")) {
            preview = QString::fromLocal8Bit(argv[i + 1]);
        } else if (option == QStringLiteral("--app-icons")) {
            appIcons = QString::fromLocal8Bit(argv[i + 1]);
        } else if (option == QStringLiteral("--windows-icon")) {
            windowsIcon = QString::fromLocal8Bit(argv[i + 1]);
        } else {
            understood = false;
        }
    }
    if (!understood) {
        std::fprintf(stderr,
                     "usage: %s <output directory> [--preview sheet.png] [--app-icons <directory>] "
                     "[--windows-icon <file.ico>]\n",
                     argv[0]);
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    MakeAppIcon();
    MakeWindowIcons();
    MakeBitmaps();
    if (!appIcons.isEmpty()) {
        MakeDesktopIcons(appIcons);
    }
    if (!windowsIcon.isEmpty()) {
        MakeWindowsIcon(windowsIcon);
    }
    if (!preview.isEmpty()) {
        Preview(preview);
    }
    return 0;
}
