#pragma once

#include "core/draw/blend_color.h"
#include "core/draw/rect.h"

#include <QFont>
#include <QPixmap>
#include <QRect>

class QPainter;

namespace tovrin {

// Pixel-exact drawing in the old device-context manner: rectangles exclude their right and bottom
// edges, lines exclude their end point. The controls are drawn pixel by pixel against these
// rules, so nothing here is anti-aliased.

inline QRect ToQRect(const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}
inline RECT ToRECT(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void FillSolidRect(QPainter& dc, const RECT& r, COLORREF color);
// A one-pixel border just inside r.
void FrameRect(QPainter& dc, const RECT& r, COLORREF color);
// A 3-D frame cx wide and cy high at (x, y): top and left lines in topLeft, bottom and right
// lines (on y + cy - 1 and x + cx - 1) in bottomRight.
void Draw3dRect(QPainter& dc, int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
// A one-pixel horizontal or vertical line from `from` up to, not including, `to`. Slanted lines
// are not needed by any control and draw nothing.
void DrawLine(QPainter& dc, POINT from, POINT to, COLORREF color);

// picture, a strip of cells cell pixels wide, with every pixel of each cell's outline (one that
// touches the mask colour or the cell's edge) made to stand at ratio against behind, the colour
// the picture is shown on; the pixels inside stay as drawn, and so does the mask colour.
QPixmap ReadableOutline(const QPixmap& picture, const QColor& mask, int cell, COLORREF behind,
                        double ratio);

// A font described like base, with weight (100 thin ... 900 heavy) and, when cellHeight is not 0,
// a line height of at most cellHeight pixels: the height a font request has always meant here.
QFont DeriveFont(const QFont& base, int cellHeight, int weight);

} // namespace tovrin
