// Draws every picture the program ships (icons, bitmaps, the hand cursor) and writes them as PNG
// files. Run by hand after changing a drawing; its output is committed under res/images/, and the
// program's icon for the desktop menu at its usual sizes under dist/icons/.
//   tovrin_art <output directory> [--preview sheet.png] [--app-icons <directory>]

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

QString outDir;

QImage Blank(int w, int h, QColor fill = Qt::transparent) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

void Save(const QImage& img, const QString& name) {
    const QString path = QDir(outDir).filePath(name);
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// Pixel art: one character per pixel, looked up in a palette; '.' is see-through.
QImage FromGrid(const std::vector<const char*>& rows, const std::map<char, QColor>& palette,
                QColor background = Qt::transparent) {
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(std::strlen(rows[0]));
    QImage img = Blank(w, h, background);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const char c = rows[static_cast<std::size_t>(y)][x];
            if (c != '.') {
                img.setPixelColor(x, y, palette.at(c));
            }
        }
    }
    return img;
}

// The sixteen colours the small menu bitmaps are limited to.
const QColor kBlack(0, 0, 0), kMaroon(128, 0, 0), kGreen(0, 128, 0), kOlive(128, 128, 0),
    kNavy(0, 0, 128), kPurple(128, 0, 128), kTeal(0, 128, 128), kSilver(192, 192, 192),
    kGrey(128, 128, 128), kRed(255, 0, 0), kLime(0, 255, 0), kYellow(255, 255, 0), kBlue(0, 0, 255),
    kFuchsia(255, 0, 255), kAqua(0, 255, 255), kWhite(255, 255, 255);

const std::map<char, QColor> kVga = {
    {'K', kBlack}, {'M', kMaroon},  {'G', kGreen}, {'O', kOlive}, {'N', kNavy}, {'P', kPurple},
    {'T', kTeal},  {'S', kSilver},  {'g', kGrey},  {'R', kRed},   {'L', kLime}, {'Y', kYellow},
    {'B', kBlue},  {'F', kFuchsia}, {'A', kAqua},  {'W', kWhite},
};

// ---- the program's clock (icon 128) ----

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

} // namespace

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

namespace {

// ---- bitmap 171: two 8 x 8 clocks for the reminder list; white is the mask colour ----

QImage ListClocks() {
    return FromGrid(
        {
            "..KKKK....BBBB..",
            ".KffRfK..BffNfB.",
            "KfffRffKBfffNffB",
            "KfffRffKBfffNffB",
            "KfffRRfKBfffNNfB",
            "KffffffKBffffffB",
            ".KffffK..BffffB.",
            "..KKKK....BBBB..",
        },
        {{'K', kBlack}, {'R', kRed}, {'B', kBlue}, {'N', kNavy}, {'f', QColor(255, 255, 200)}},
        Qt::white);
}

// ---- bitmaps 173 to 176: 13 x 13 pictures beside the tray menu's commands ----

QImage BookWithCheck() {
    return FromGrid(
        {
            "...........RR",
            "..........RR.",
            ".........RR..",
            "..RR....RR...",
            "...RR..RR....",
            "....RRRR.....",
            ".NNN.RR..NNN.",
            "NWWWNN.NNWWWN",
            "NWWWWWNWWWWWN",
            "NWSSSWNWSSSWN",
            "NWWWWWNWWWWWN",
            "NWSSSWNWSSSWN",
            "NNNNNNNNNNNNN",
        },
        kVga);
}

QImage Pen() {
    // A pencil along the rising diagonal: lead at the lower left, eraser at the upper right.
    QImage img = Blank(13, 13);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            const int d = x + y - 12;                       // across the pencil
            const double t = (x - y + 12) / 2.0;            // along it, 0 at the lower left corner
            const int half = t < 1.5 ? 0 : t < 3.5 ? 1 : 2; // the sharpened end tapers
            if (t < 0.5 || t > 12 || std::abs(d) > half) {
                continue;
            }
            QColor c = kBlack; // lead, outline and the end cap
            if (std::abs(d) < half && t <= 11.5) {
                if (t < 3.5) {
                    c = kSilver;
                } else if (t < 9.5) {
                    c = d == -1 ? kOlive : kYellow;
                } else if (t < 10.5) {
                    c = kGrey;
                } else {
                    c = kFuchsia;
                }
            }
            img.setPixelColor(x, y, c);
        }
    }
    return img;
}

QImage EnvelopeWithClock() {
    QImage img = FromGrid(
        {
            ".............",
            "KKKKKKKKKKK..",
            "KKWWWWWWWKK..",
            "KWKWWWWWKWK..",
            "KWWKWWWKWWK..",
            "KWWWKKKWWWK..",
            "KWWWWWWWWWK..",
            "KWWWWWWWWWK..",
            "KKKKKKKKKKK..",
            ".............",
            ".............",
            ".............",
            ".............",
        },
        kVga);
    const QImage clock = FromGrid(
        {
            "..BBB..",
            ".BWRWB.",
            "BWWRWWB",
            "BWWRRWB",
            "BWWWWWB",
            ".BWWWB.",
            "..BBB..",
        },
        kVga);
    QPainter p(&img);
    p.drawImage(6, 6, clock);
    return img;
}

QImage GreenCross() {
    return FromGrid(
        {
            ".............",
            ".GG.......GG.",
            ".GLG.....GLG.",
            "..GLG...GLG..",
            "...GLG.GLG...",
            "....GLGLG....",
            ".....GLG.....",
            "....GLGLG....",
            "...GLG.GLG...",
            "..GLG...GLG..",
            ".GLG.....GLG.",
            ".GG.......GG.",
            ".............",
        },
        kVga);
}

// ---- cursor 157: a pointing hand, the finger tip at (5, 0) ----

QImage Hand() {
    const std::vector<const char*> rows = {
        ".....KK..........", "....KWWK.........", "....KWWK.........", "....KWWK.........",
        "....KWWK.........", "....KWWKKK.......", "....KWWKWWKKK....", "....KWWKWWKWWKKK.",
        "....KWWKWWKWWKWWK", ".KK.KWWKWWKWWKWWK", "KWWKKWWWWWWWWWWWK", "KWWWKWWWWWWWWWWWK",
        ".KWWWWWWWWWWWWWWK", "..KWWWWWWWWWWWWWK", "..KWWWWWWWWWWWWWK", "...KWWWWWWWWWWWK.",
        "...KWWWWWWWWWWWK.", "....KWWWWWWWWWK..", "....KWWWWWWWWWK..", "....KKKKKKKKKKK..",
    };
    QImage img = Blank(32, 32);
    QPainter p(&img);
    p.drawImage(0, 0, FromGrid(rows, kVga));
    return img;
}

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
    QString preview, appIcons;
    for (int i = 2; understood && i + 1 < argc; i += 2) {
        const QString option = QString::fromLatin1(argv[i]);
        if (option == QStringLiteral("--preview")) {
            preview = QString::fromLocal8Bit(argv[i + 1]);
        } else if (option == QStringLiteral("--app-icons")) {
            appIcons = QString::fromLocal8Bit(argv[i + 1]);
        } else {
            understood = false;
        }
    }
    if (!understood) {
        std::fprintf(
            stderr,
            "usage: %s <output directory> [--preview sheet.png] [--app-icons <directory>]\n",
            argv[0]);
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    MakeAppIcon();
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
    Save(ListClocks(), QStringLiteral("bitmap_171.png"));
    Save(BookWithCheck(), QStringLiteral("bitmap_173.png"));
    Save(Pen(), QStringLiteral("bitmap_174.png"));
    Save(EnvelopeWithClock(), QStringLiteral("bitmap_175.png"));
    Save(GreenCross(), QStringLiteral("bitmap_176.png"));
    Save(Hand(), QStringLiteral("cursor_157.png"));
    if (!appIcons.isEmpty()) {
        MakeDesktopIcons(appIcons);
    }
    if (!preview.isEmpty()) {
        Preview(preview);
    }
    return 0;
}
