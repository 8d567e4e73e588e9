#pragma once

namespace tovrin {

// A rectangle as the drawing code has always measured it: left and top inside, right and bottom
// just outside. Layout arithmetic is written against this, so it stays free of any toolkit.
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    friend constexpr bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const POINT&, const POINT&) = default;
};

constexpr bool IsRectEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Left and top edges belong to the rectangle, right and bottom edges do not.
constexpr bool PtInRect(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

constexpr RECT OffsetRect(const RECT& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// An empty operand adds nothing; two empty operands give an empty rectangle.
constexpr RECT UnionRect(const RECT& a, const RECT& b) {
    if (IsRectEmpty(a)) {
        return IsRectEmpty(b) ? RECT{} : b;
    }
    if (IsRectEmpty(b)) {
        return a;
    }
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

constexpr POINT CenterPoint(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace tovrin
