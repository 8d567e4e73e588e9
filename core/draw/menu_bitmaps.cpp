#include "core/draw/menu_bitmaps.h"

namespace tovrin {

std::vector<int> PlaceMenuBitmaps(const std::vector<bool>& isSeparator, int bitmapCount) {
    std::vector<int> placed(isSeparator.size(), -1);
    int next = 0;
    for (std::size_t j = 0; j < isSeparator.size() && next < bitmapCount; ++j) {
        if (!isSeparator[j]) {
            placed[j] = next++;
        }
    }
    return placed;
}

} // namespace tovrin
