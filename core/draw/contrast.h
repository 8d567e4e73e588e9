#pragma once

#include "core/draw/blend_color.h"

#include <initializer_list>

namespace tovrin {

// How far apart two colours read, by the accessibility guidelines' measure: relative luminance
// from 0 (black) to 1 (white), and the ratio (lighter + 0.05) / (darker + 0.05), from 1 for equal
// colours to 21 for black on white.
double RelativeLuminance(COLORREF c);
double ContrastRatio(COLORREF a, COLORREF b);

// The least a mark may stand from what is behind it: lines, frames and pictures' outlines.
inline constexpr double kMarkContrast = 4.5;
// What text aims at: the same least ratio must still hold at the thin, smoothed edges of a glyph,
// which never reach the text colour in full.
inline constexpr double kTextContrast = 7.0;
// And text in a thin face, whose one-pixel strokes are mostly smoothed edge.
inline constexpr double kThinTextContrast = 12.0;

// The least ratio of c against any of behind (21 when behind is empty).
double LeastContrast(COLORREF c, std::initializer_list<COLORREF> behind);

// wanted itself when it already stands at ratio against every colour of behind; otherwise wanted
// mixed as little as it takes toward white or toward black, whichever gets there with less change,
// so a red stays a red as long as it can. Where neither end gets there, the end that comes nearest.
COLORREF ReadableOn(COLORREF wanted, std::initializer_list<COLORREF> behind, double ratio);

// Text over a band where both may move: the text first, and only where even white or black text
// cannot reach ratio the band as well, away from the text.
struct TextOnBand {
    COLORREF text = 0;
    COLORREF band = 0;
};
TextOnBand ReadablePair(COLORREF text, COLORREF band, double ratio);

// Whether a palette is dark: its text lighter than the surface it is written on.
bool IsDarkScheme(COLORREF surface, COLORREF text);

} // namespace tovrin
