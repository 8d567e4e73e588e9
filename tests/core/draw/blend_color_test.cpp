#include "core/draw/blend_color.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(BlendColor, HotFillExampleMixesWindowAndHighlight) {
    const COLORREF white = MakeColorRef(255, 255, 255);
    const COLORREF navy = MakeColorRef(0, 0, 128);
    EXPECT_EQ(BlendColor(white, navy, 80), MakeColorRef(204, 204, 229));
}

// Whole-number results must not slip to the integer below (100 % of 255 is 255, not 254).
TEST(BlendColor, FullAndZeroPercentGiveTheOperandsForEveryChannelValue) {
    for (int v = 0; v < 256; ++v) {
        const COLORREF c = MakeColorRef(v, 255 - v, v / 2);
        const COLORREF other = MakeColorRef(17, 200, 99);
        ASSERT_EQ(BlendColor(c, other, 100), c) << v;
        ASSERT_EQ(BlendColor(other, c, 0), c) << v;
    }
}

TEST(BlendColor, OnlyLowByteOfPercentAndNoTopByteCount) {
    const COLORREF a = MakeColorRef(10, 100, 250);
    const COLORREF b = MakeColorRef(250, 30, 0);
    const COLORREF expected = BlendColor(a, b, 37);
    EXPECT_EQ(BlendColor(a, b, 0x100 + 37), expected);
    EXPECT_EQ(BlendColor(a, b, -256 + 37), expected);
    EXPECT_EQ(BlendColor(a | 0xFF000000u, b | 0x5A000000u, 37), expected);
    EXPECT_EQ(expected & 0xFF000000u, 0u);
}

TEST(BlendColor, TruncatesTowardZero) {
    // 50 % of 255 and 0 is 127.5: truncated, not rounded.
    EXPECT_EQ(BlendColor(MakeColorRef(255, 0, 0), 0, 50), MakeColorRef(127, 0, 0));
    // Beyond 100 % the weight of b turns negative and the low byte of the truncated sum is kept:
    // 0 * 2.55 + 255 * -1.55 = -395.25, truncated -395, low byte 0x75.
    EXPECT_EQ(BlendColor(0, MakeColorRef(255, 0, 0), 255), MakeColorRef(0x75, 0, 0));
}

} // namespace
} // namespace tovrin
