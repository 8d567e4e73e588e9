#pragma once

#include "core/draw/rect.h"

namespace tovrin {

// Where a popup menu of width x height opens for a pointer at p on a screen: its top-left corner
// at the pointer, turned to open to the left of the pointer where it would pass the screen's right
// edge, and upwards where it would pass the bottom, so a corner always meets the pointer. Only a
// menu too big for either side is pushed against the screen's edge instead. Returns the top-left
// corner.
POINT PlacePopupMenu(POINT p, int width, int height, const RECT& screen);

} // namespace tovrin
