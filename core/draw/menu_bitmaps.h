#pragma once

#include <vector>

namespace tovrin {

// Which of a popup menu's positions get which bitmap: the bitmaps follow the commands in order and
// separators never use one up. Returns, for every position, the bitmap's index or -1 for none.
// A bitmapCount of -1 (bitmaps never set) or 0 places nothing; commands beyond the last bitmap
// go without, and surplus bitmaps stay unused.
std::vector<int> PlaceMenuBitmaps(const std::vector<bool>& isSeparator, int bitmapCount);

} // namespace tovrin
