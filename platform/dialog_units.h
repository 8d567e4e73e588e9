#pragma once

#include "res/dialogs.h"

namespace tovrin {

// The base units of the templates' font, "MS Sans Serif" 8: a dialog unit is a quarter of an
// average character's width (6 pixels) and an eighth of its height (13 pixels). Fixed rather than
// measured from whichever font stands in for it, so every window keeps the pixel layout it was
// designed for.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// a * b / c rounded to the nearest integer, halves away from zero, as the dialog manager rounds.
constexpr int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

constexpr int DluToPixelsX(int x) {
    return MulDiv(x, kBaseUnitX, 4);
}
constexpr int DluToPixelsY(int y) {
    return MulDiv(y, kBaseUnitY, 8);
}

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Position and size are converted each on its own, the way a template's controls are created.
constexpr PixelRect MapDialogRect(const DlgRect& r) {
    return {DluToPixelsX(r.x), DluToPixelsY(r.y), DluToPixelsX(r.cx), DluToPixelsY(r.cy)};
}

} // namespace tovrin
