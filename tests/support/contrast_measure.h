#pragma once

#include "core/draw/contrast.h"

#include <QHash>
#include <QImage>
#include <QRect>

#include <algorithm>

namespace tovrin::test {

inline COLORREF PixelRef(const QImage& image, int x, int y) {
    const QRgb c = image.pixel(x, y);
    return MakeColorRef(qRed(c), qGreen(c), qBlue(c));
}

// The background of each column of r: its most frequent colour. Bands run across, so a column's
// background holds for every pixel of the column.
inline std::vector<COLORREF> ColumnBackgrounds(const QImage& image, const QRect& r) {
    std::vector<COLORREF> backs;
    for (int x = r.left(); x <= r.right(); ++x) {
        QHash<COLORREF, int> counts;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            ++counts[PixelRef(image, x, y)];
        }
        auto most = std::max_element(counts.begin(), counts.end());
        backs.push_back(most == counts.end() ? 0 : most.key());
    }
    return backs;
}

// How well text (or a line) in r reads: r is cut into words, runs of columns that hold anything
// but their background with gaps of fewer than three columns inside; a word reads as well as its
// strongest pixel against the background under it, since the smoothed edges of thin strokes never
// reach the text colour; the worst word is the answer. 0 when r holds nothing but background.
inline double TextContrast(const QImage& image, QRect r) {
    r = r.intersected(image.rect());
    const std::vector<COLORREF> backs = ColumnBackgrounds(image, r);
    double worst = 0;
    double run = 0;
    int gap = 0;
    auto close = [&] {
        if (run > 0) {
            worst = worst == 0 ? run : std::min(worst, run);
        }
        run = 0;
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        const COLORREF back = backs[static_cast<std::size_t>(x - r.left())];
        double best = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const COLORREF c = PixelRef(image, x, y);
            if (c != back) {
                best = std::max(best, ContrastRatio(c, back));
            }
        }
        if (best == 0) {
            if (++gap == 3) {
                close();
            }
        } else {
            gap = 0;
            run = std::max(run, best);
        }
    }
    close();
    return worst;
}

// How well a picture stands out from a plain background: the worst of its pixels that touch the
// background (its outline). 0 when r holds no picture.
inline double OutlineContrast(const QImage& image, QRect r, COLORREF back) {
    r = r.intersected(image.rect());
    double worst = 0;
    auto isBack = [&](int x, int y) { return !r.contains(x, y) || PixelRef(image, x, y) == back; };
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (isBack(x, y)) {
                continue;
            }
            if (isBack(x - 1, y) || isBack(x + 1, y) || isBack(x, y - 1) || isBack(x, y + 1)) {
                const double c = ContrastRatio(PixelRef(image, x, y), back);
                worst = worst == 0 ? c : std::min(worst, c);
            }
        }
    }
    return worst;
}

} // namespace tovrin::test
