// The icons of the windows, the pane and the caption bars.

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

// ---- record icons (129 new, 130 changed): a note sheet with a badge ----

void DrawSheet(QPainter& p) {
    // In a 32-unit square, snapped so the 16-pixel version keeps one-pixel lines.
    QPainterPath sheet;
    sheet.moveTo(5, 2);
    sheet.lineTo(20, 2);
    sheet.lineTo(27, 9);
    sheet.lineTo(27, 30);
    sheet.lineTo(5, 30);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(255, 255, 250));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(20, 2);
    fold.lineTo(20, 9);
    fold.lineTo(27, 9);
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(fold);
    p.setPen(QPen(QColor(70, 110, 200), 2, Qt::SolidLine, Qt::FlatCap));
    for (int y : {14, 19, 24}) {
        p.drawLine(QPointF(9, y), QPointF(23, y));
    }
}

QImage NewRecord(int size) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    p.scale(size / 32.0, size / 32.0);
    DrawSheet(p);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 100, 0), 2));
    p.setBrush(QColor(30, 160, 50));
    p.drawEllipse(QPointF(23, 23), 8, 8);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(23, 18), QPointF(23, 28));
    p.drawLine(QPointF(18, 23), QPointF(28, 23));
    return img;
}

QImage ChangeRecord(int size) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    p.scale(size / 32.0, size / 32.0);
    DrawSheet(p);
    p.setRenderHint(QPainter::Antialiasing);
    // A pencil lying from the lower left up to the right, over the sheet.
    p.translate(19, 19);
    p.rotate(-45);
    const QColor outline(60, 40, 0);
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(245, 190, 30));
    p.drawRect(QRectF(-9, -3.5, 18, 7));
    p.setBrush(QColor(230, 110, 120));
    p.drawRect(QRectF(9, -3.5, 4, 7));
    QPainterPath tip;
    tip.moveTo(-9, -3.5);
    tip.lineTo(-15, 0);
    tip.lineTo(-9, 3.5);
    tip.closeSubpath();
    p.setBrush(QColor(240, 215, 170));
    p.drawPath(tip);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath lead;
    lead.moveTo(-13, -1.2);
    lead.lineTo(-15.5, 0);
    lead.lineTo(-13, 1.2);
    lead.closeSubpath();
    p.drawPath(lead);
    return img;
}

// ---- settings (142): a gear ----

QImage Gear(int size) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    QPainterPath teeth;
    const int n = 8;
    for (int i = 0; i < n; ++i) {
        const double a0 = (i - 0.22) * 2 * M_PI / n;
        const double a1 = (i + 0.22) * 2 * M_PI / n;
        const double b0 = (i + 0.30) * 2 * M_PI / n;
        const double b1 = (i + 0.70) * 2 * M_PI / n;
        auto at = [](double a, double r) {
            return QPointF(16 + r * std::cos(a), 16 + r * std::sin(a));
        };
        if (i == 0) {
            teeth.moveTo(at(a0, 15));
        } else {
            teeth.lineTo(at(a0, 15));
        }
        teeth.lineTo(at(a1, 15));
        teeth.lineTo(at(b0, 11));
        teeth.lineTo(at(b1, 11));
    }
    teeth.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(16, 16), 5, 5);
    QLinearGradient steel(0, 0, 32, 32);
    steel.setColorAt(0, QColor(170, 180, 195));
    steel.setColorAt(1, QColor(90, 100, 115));
    p.setPen(QPen(QColor(50, 55, 65), size > 16 ? 1.5 : 2));
    p.setBrush(steel);
    p.drawPath(teeth.subtracted(hole));
    return img;
}

// ---- help (143) and about (144): a blue disc with a white sign ----

QImage SignDisc(int size, const QString& sign, QColor top, QColor bottom) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = size / 32.0;
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(140), 1.5 * s));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s, 30 * s));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(static_cast<int>(std::lround(24 * s)));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0.5 * s, size, size), Qt::AlignCenter, sign);
    return img;
}

// ---- delete (148): a waste bin ----

QImage Bin16() {
    return FromGrid(
        {
            "................",
            "......kkkkk.....",
            "..kkkkkkkkkkkkk.",
            "..kRRRRRRRRRRRk.",
            "..kkkkkkkkkkkkk.",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "...kWSgSgSgSSk..",
            "....kSgSgSgSk...",
            "....kkkkkkkkk...",
            "................",
            "................",
        },
        {{'k', QColor(45, 50, 60)},
         {'R', QColor(180, 40, 40)},
         {'W', QColor(240, 242, 245)},
         {'S', QColor(195, 200, 210)},
         {'g', QColor(110, 115, 125)}});
}

QImage Bin(int size) {
    if (size == 16) {
        return Bin16();
    }
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QColor outline(45, 50, 60);
    const double w = size > 16 ? 1.5 : 2;
    QLinearGradient metal(6, 0, 26, 0);
    metal.setColorAt(0, QColor(200, 205, 215));
    metal.setColorAt(0.5, QColor(235, 238, 242));
    metal.setColorAt(1, QColor(150, 155, 165));
    QPainterPath body;
    body.moveTo(7, 10);
    body.lineTo(25, 10);
    body.lineTo(23, 30);
    body.lineTo(9, 30);
    body.closeSubpath();
    p.setPen(QPen(outline, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(metal);
    p.drawPath(body);
    for (double x : {12.5, 16.0, 19.5}) {
        p.drawLine(QPointF(x, 14), QPointF(x, 26));
    }
    p.setBrush(QColor(180, 40, 40));
    p.drawRoundedRect(QRectF(4, 5.5, 24, 4), 1, 1);
    p.drawRoundedRect(QRectF(12, 2, 8, 3.5), 1, 1);
    return img;
}

// ---- caption bar icons, 16 x 16 (136 a bell, 137 a calendar page) ----

QImage Bell16() {
    return FromGrid(
        {
            "................",
            ".......kk.......",
            "......kYYk......",
            ".....kYWYYk.....",
            "....kYWYYYYk....",
            "....kYWYYYYk....",
            "....kYWYYYYk....",
            "...kYWYYYYYOk...",
            "...kYYYYYYYOk...",
            "..kYYYYYYYYYOk..",
            ".kYYYYYYYYYYYOk.",
            ".kkkkkkkkkkkkkk.",
            "......kOOk......",
            ".......kk.......",
            "................",
            "................",
        },
        {{'k', QColor(110, 70, 0)},
         {'Y', QColor(245, 195, 40)},
         {'O', QColor(205, 145, 10)},
         {'W', QColor(255, 245, 190)}});
}

QImage Calendar16() {
    return FromGrid(
        {
            "................",
            "...k.......k....",
            ".kkRkkkkkkkRkk..",
            ".kRRRRRRRRRRRk..",
            ".kRRRRRRRRRRRk..",
            ".kkkkkkkkkkkkk..",
            ".kWWWWWWWWWWWk..",
            ".kWgWgWgWgWgWk..",
            ".kWWWWWWWWWWWk..",
            ".kWgWgWgWRRWWk..",
            ".kWWWWWWWRRWWk..",
            ".kWgWgWgWgWgWk..",
            ".kWWWWWWWWWWWk..",
            ".kkkkkkkkkkkkk..",
            "................",
            "................",
        },
        {{'k', QColor(60, 60, 70)},
         {'R', QColor(200, 40, 40)},
         {'W', Qt::white},
         {'g', QColor(150, 150, 160)}});
}

// ---- pane scroll arrows (158 down, 159 up), 16 x 16 grey triangles ----

QImage Triangle16(bool down) {
    std::vector<const char*> rows = {
        "................", "................", "................", "................",
        "................", "...ggggggggg....", "....ggggggg.....", ".....ggggg......",
        "......ggg.......", ".......g........", "................", "................",
        "................", "................", "................", "................",
    };
    if (!down) {
        std::reverse(rows.begin(), rows.end());
        std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    }
    return FromGrid(rows, {{'g', QColor(128, 128, 128)}});
}

} // namespace

void MakeWindowIcons() {
    for (int size : {16, 32}) {
        Save(NewRecord(size), QStringLiteral("icon_129_%1.png").arg(size));
        Save(ChangeRecord(size), QStringLiteral("icon_130_%1.png").arg(size));
        Save(Gear(size), QStringLiteral("icon_142_%1.png").arg(size));
        Save(SignDisc(size, QStringLiteral("?"), QColor(90, 150, 235), QColor(20, 70, 170)),
             QStringLiteral("icon_143_%1.png").arg(size));
        Save(SignDisc(size, QStringLiteral("i"), QColor(80, 170, 230), QColor(10, 90, 170)),
             QStringLiteral("icon_144_%1.png").arg(size));
        Save(Bin(size), QStringLiteral("icon_148_%1.png").arg(size));
    }
    Save(Bell16(), QStringLiteral("icon_136_16.png"));
    Save(Calendar16(), QStringLiteral("icon_137_16.png"));
    Save(Triangle16(true), QStringLiteral("icon_158_16.png"));
    Save(Triangle16(false), QStringLiteral("icon_159_16.png"));
}

} // namespace art
