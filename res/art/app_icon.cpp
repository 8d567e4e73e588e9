// The program's own clock, for the tray, the windows and the desktop's menus.

#include "res/art/art.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace art {

namespace {

void DrawAlarmClock(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    p.scale(s, s);
    const QColor rim(31, 78, 150), bell(214, 160, 20), bellDark(150, 105, 0);
    // Bells and legs first, so the body overlaps them.
    p.setPen(QPen(bellDark, 3));
    p.setBrush(bell);
    p.drawChord(QRectF(3, 3, 22, 22), 45 * 16, 180 * 16);
    p.drawChord(QRectF(39, 3, 22, 22), -45 * 16, 180 * 16);
    p.setPen(QPen(rim, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 52), QPointF(10, 60));
    p.drawLine(QPointF(48, 52), QPointF(54, 60));
    // Body and face.
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QPointF(32, 35), 26, 26);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(32, 35), 20, 20);
    // Hour marks.
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 12; i += 3) {
        const double a = i * M_PI / 6;
        p.drawLine(QPointF(32 + 15 * std::sin(a), 35 - 15 * std::cos(a)),
                   QPointF(32 + 19 * std::sin(a), 35 - 19 * std::cos(a)));
    }
    // Hands at ten past ten: black hour hand, red minute hand.
    p.setPen(QPen(Qt::black, 4.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 35),
               QPointF(32 - 10 * std::sin(M_PI / 3), 35 - 10 * std::cos(M_PI / 3)));
    p.setPen(QPen(QColor(220, 20, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 35),
               QPointF(32 + 15 * std::sin(M_PI / 3), 35 - 15 * std::cos(M_PI / 3)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(32, 35), 3, 3);
}

void Disc(QImage& img, double cx, double cy, double r, QColor c) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (std::hypot(x - cx, y - cy) <= r) {
                img.setPixelColor(x, y, c);
            }
        }
    }
}

void Pixels(QImage& img, std::initializer_list<QPoint> points, QColor c) {
    for (const QPoint& pt : points) {
        img.setPixelColor(pt, c);
    }
}

// At 16 pixels the drawing above turns to mush; this one is placed pixel by pixel.
QImage AppClock16() {
    QImage img = Blank(16, 16);
    const QColor rim(31, 78, 150), bell(214, 160, 20), bellDark(150, 105, 0);
    Disc(img, 2, 2.5, 2.4, bellDark);
    Disc(img, 12, 2.5, 2.4, bellDark);
    Disc(img, 2, 2.5, 1.3, bell);
    Disc(img, 12, 2.5, 1.3, bell);
    Pixels(img, {{2, 14}, {1, 15}, {12, 14}, {13, 15}}, rim);
    Disc(img, 7, 8, 6.6, rim);
    Disc(img, 7, 8, 4.9, Qt::white);
    const QColor tick(120, 120, 120);
    Pixels(img, {{7, 4}, {7, 12}, {3, 8}, {11, 8}}, tick);
    Pixels(img, {{7, 8}, {8, 8}, {9, 8}}, Qt::black);
    Pixels(img, {{7, 5}, {7, 6}, {7, 7}}, QColor(220, 20, 20));
    return img;
}

} // namespace

QImage AppClock(int size) {
    if (size == 16) {
        return AppClock16();
    }
    QImage img = Blank(size, size);
    QPainter p(&img);
    DrawAlarmClock(p, size);
    return img;
}

void MakeAppIcon() {
    for (int size : {16, 22, 24, 32, 48, 64}) {
        Save(AppClock(size), QStringLiteral("icon_128_%1.png").arg(size));
    }
}

// The same clock for the desktop's menus and panels, which pick the size they need from the
// hicolor theme's set; the large ones are drawn, not scaled up from the tray's.
void MakeDesktopIcons(const QString& dir) {
    QDir().mkpath(dir);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString path = QDir(dir).filePath(QStringLiteral("tovrin-%1.png").arg(size));
        if (!AppClock(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            std::exit(1);
        }
    }
}

} // namespace art
