// The small bitmaps: the list's clocks, the tray menu's pictures and the hand cursor.

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
} // namespace

void MakeBitmaps() {
    Save(ListClocks(), QStringLiteral("bitmap_171.png"));
    Save(BookWithCheck(), QStringLiteral("bitmap_173.png"));
    Save(Pen(), QStringLiteral("bitmap_174.png"));
    Save(EnvelopeWithClock(), QStringLiteral("bitmap_175.png"));
    Save(GreenCross(), QStringLiteral("bitmap_176.png"));
    Save(Hand(), QStringLiteral("cursor_157.png"));
}

} // namespace art
