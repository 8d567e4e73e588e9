// The drawing program's shared canvas helpers.

#include "res/art/art.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace art {

QString outDir;

QImage Blank(int w, int h, QColor fill) {
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

QImage FromGrid(const std::vector<const char*>& rows, const std::map<char, QColor>& palette,
                QColor background) {
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

const std::map<char, QColor> kVga = {
    {'K', kBlack}, {'M', kMaroon},  {'G', kGreen}, {'O', kOlive}, {'N', kNavy}, {'P', kPurple},
    {'T', kTeal},  {'S', kSilver},  {'g', kGrey},  {'R', kRed},   {'L', kLime}, {'Y', kYellow},
    {'B', kBlue},  {'F', kFuchsia}, {'A', kAqua},  {'W', kWhite},
};

} // namespace art
