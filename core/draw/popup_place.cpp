#include "core/draw/popup_place.h"

#include <algorithm>

namespace tovrin {
namespace {

// One axis: from the pointer onwards if it fits, else back from it, else as far from the screen's
// start as the size allows.
int PlaceAlong(int pointer, int size, int start, int end) {
    if (pointer + size <= end) {
        return pointer;
    }
    if (pointer - size >= start) {
        return pointer - size;
    }
    return std::max(start, end - size);
}

} // namespace

POINT PlacePopupMenu(POINT p, int width, int height, const RECT& screen) {
    return {PlaceAlong(p.x, width, screen.left, screen.right),
            PlaceAlong(p.y, height, screen.top, screen.bottom)};
}

} // namespace tovrin
