#include "controls/gdi_draw.h"

#include "core/draw/contrast.h"
#include "platform/sys_colors.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tovrin {

void FillSolidRect(QPainter& dc, const RECT& r, COLORREF color) {
    if (!IsRectEmpty(r)) {
        dc.fillRect(ToQRect(r), ToQColor(color));
    }
}

void FrameRect(QPainter& dc, const RECT& r, COLORREF color) {
    if (IsRectEmpty(r)) {
        return;
    }
    FillSolidRect(dc, {r.left, r.top, r.right, r.top + 1}, color);
    FillSolidRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillSolidRect(dc, {r.left, r.top, r.left + 1, r.bottom}, color);
    FillSolidRect(dc, {r.right - 1, r.top, r.right, r.bottom}, color);
}

void Draw3dRect(QPainter& dc, int x, int y, int cx, int cy, COLORREF topLeft,
                COLORREF bottomRight) {
    FillSolidRect(dc, {x, y, x + cx - 1, y + 1}, topLeft);
    FillSolidRect(dc, {x, y, x + 1, y + cy - 1}, topLeft);
    FillSolidRect(dc, {x + cx - 1, y, x + cx, y + cy}, bottomRight);
    FillSolidRect(dc, {x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void DrawLine(QPainter& dc, POINT from, POINT to, COLORREF color) {
    if (from.y == to.y && from.x != to.x) {
        // Rightwards covers from.x .. to.x - 1, leftwards to.x + 1 .. from.x.
        const int left = from.x < to.x ? from.x : to.x + 1;
        const int right = from.x < to.x ? to.x : from.x + 1;
        FillSolidRect(dc, {left, from.y, right, from.y + 1}, color);
    } else if (from.x == to.x && from.y != to.y) {
        const int top = from.y < to.y ? from.y : to.y + 1;
        const int bottom = from.y < to.y ? to.y : from.y + 1;
        FillSolidRect(dc, {from.x, top, from.x + 1, bottom}, color);
    }
}

QPixmap ReadableOutline(const QPixmap& picture, const QColor& mask, int cell, COLORREF behind,
                        double ratio) {
    const QImage in = picture.toImage().convertToFormat(QImage::Format_RGB32);
    QImage out = in;
    const QRgb hole = mask.rgb();
    const int w = in.width();
    const int h = in.height();
    cell = cell > 0 ? cell : w;
    auto outside = [&](int x, int y, int cx) {
        return x < cx || x >= cx + cell || x >= w || y < 0 || y >= h || in.pixel(x, y) == hole;
    };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb c = in.pixel(x, y);
            const int cx = x - x % cell;
            if (c == hole || !(outside(x - 1, y, cx) || outside(x + 1, y, cx) ||
                               outside(x, y - 1, cx) || outside(x, y + 1, cx))) {
                continue;
            }
            const COLORREF readable =
                ReadableOn(MakeColorRef(qRed(c), qGreen(c), qBlue(c)), {behind}, ratio);
            // Never the mask colour itself, which would punch a hole where the outline was.
            const QRgb moved = qRgb(RedOf(readable), GreenOf(readable), BlueOf(readable));
            out.setPixel(x, y,
                         moved == hole ? qRgb(qRed(hole), qGreen(hole), qBlue(hole) ^ 1) : moved);
        }
    }
    return QPixmap::fromImage(out);
}

QFont DeriveFont(const QFont& base, int cellHeight, int weight) {
    QFont font = base;
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    if (cellHeight > 0) {
        // Fonts are asked for by their em size; step down until a line fits the cell.
        for (int px = cellHeight; px > 1; --px) {
            font.setPixelSize(px);
            if (QFontMetrics(font).height() <= cellHeight) {
                break;
            }
        }
    }
    return font;
}

} // namespace tovrin
