#include "core/draw/contrast.h"

#include <array>
#include <cmath>

namespace tovrin {
namespace {

// The linear light of each 8-bit sRGB value, computed once.
const std::array<double, 256>& LinearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (std::size_t v = 0; v < t.size(); ++v) {
            const double s = static_cast<double>(v) / 255.0;
            t[v] = s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

int Toward(int from, int to, int step) {
    return from + (to - from) * step / 255;
}

COLORREF Mix(COLORREF c, int end, int step) {
    return MakeColorRef(Toward(RedOf(c), end, step), Toward(GreenOf(c), end, step),
                        Toward(BlueOf(c), end, step));
}

struct Found {
    int step = 256; // 256: not reached
    COLORREF color = 0;
    double least = 0;
};

// The first step toward end (0 black, 255 white) at which c reaches ratio against behind.
Found Search(COLORREF c, int end, std::initializer_list<COLORREF> behind, double ratio) {
    Found best;
    for (int step = 0; step <= 255; ++step) {
        const COLORREF mixed = Mix(c, end, step);
        const double least = LeastContrast(mixed, behind);
        if (least >= ratio) {
            return {step, mixed, least};
        }
        if (least > best.least) {
            best.least = least;
            best.color = mixed;
        }
    }
    return best;
}

} // namespace

double RelativeLuminance(COLORREF c) {
    const auto& lin = LinearTable();
    return 0.2126 * lin[static_cast<std::size_t>(RedOf(c))] +
           0.7152 * lin[static_cast<std::size_t>(GreenOf(c))] +
           0.0722 * lin[static_cast<std::size_t>(BlueOf(c))];
}

double ContrastRatio(COLORREF a, COLORREF b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

double LeastContrast(COLORREF c, std::initializer_list<COLORREF> behind) {
    double least = 21.0;
    for (const COLORREF b : behind) {
        const double r = ContrastRatio(c, b);
        least = r < least ? r : least;
    }
    return least;
}

COLORREF ReadableOn(COLORREF wanted, std::initializer_list<COLORREF> behind, double ratio) {
    wanted &= 0xFFFFFF;
    if (LeastContrast(wanted, behind) >= ratio) {
        return wanted;
    }
    const Found lighter = Search(wanted, 255, behind, ratio);
    const Found darker = Search(wanted, 0, behind, ratio);
    if (lighter.step > 255 && darker.step > 255) {
        return lighter.least >= darker.least ? lighter.color : darker.color;
    }
    return lighter.step <= darker.step ? lighter.color : darker.color;
}

TextOnBand ReadablePair(COLORREF text, COLORREF band, double ratio) {
    band &= 0xFFFFFF;
    const COLORREF readable = ReadableOn(text, {band}, ratio);
    if (ContrastRatio(readable, band) >= ratio) {
        return {readable, band};
    }
    // The text went as far as it can (white or black): the band leaves it the rest of the way.
    return {readable, ReadableOn(band, {readable}, ratio)};
}

bool IsDarkScheme(COLORREF surface, COLORREF text) {
    return RelativeLuminance(text) > RelativeLuminance(surface);
}

} // namespace tovrin
