#include "core/draw/contrast.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

constexpr COLORREF kWhite = MakeColorRef(255, 255, 255);
constexpr COLORREF kBlack = 0;

TEST(Contrast, RatiosOfKnownPairs) {
    EXPECT_DOUBLE_EQ(ContrastRatio(kBlack, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kBlack), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(MakeColorRef(10, 200, 30), MakeColorRef(10, 200, 30)), 1.0);
    // The usual examples: #777 on white just misses 4.5, #767676 just makes it.
    EXPECT_NEAR(ContrastRatio(MakeColorRef(0x77, 0x77, 0x77), kWhite), 4.48, 0.01);
    EXPECT_GE(ContrastRatio(MakeColorRef(0x76, 0x76, 0x76), kWhite), 4.5);
    EXPECT_NEAR(ContrastRatio(MakeColorRef(0, 0, 255), kWhite), 8.59, 0.01);
    // The top byte is no part of a colour.
    EXPECT_DOUBLE_EQ(RelativeLuminance(0xFF000000u), 0.0);
}

TEST(Contrast, ReadableOnMovesOnlyWhatDoesNotReadAndAsLittleAsItTakes) {
    const COLORREF dark = MakeColorRef(0x22, 0x20, 0x20);
    // Already readable: untouched.
    EXPECT_EQ(ReadableOn(kWhite, {dark}, kMarkContrast), kWhite);
    EXPECT_EQ(ReadableOn(kBlack, {kWhite}, kTextContrast), kBlack);
    // Black on a dark face goes light, red stays a red, and both just reach the ratio.
    for (const COLORREF wanted : {kBlack, MakeColorRef(255, 0, 0), MakeColorRef(0, 0, 255)}) {
        const COLORREF got = ReadableOn(wanted, {dark}, kTextContrast);
        EXPECT_GE(ContrastRatio(got, dark), kTextContrast);
        EXPECT_LT(ContrastRatio(got, dark), kTextContrast + 0.3) << std::hex << got;
    }
    const COLORREF red = ReadableOn(MakeColorRef(255, 0, 0), {dark}, kTextContrast);
    EXPECT_EQ(RedOf(red), 255);
    EXPECT_GT(RedOf(red), GreenOf(red) + 80);
    // Against several backgrounds at once: the worst of them counts.
    const COLORREF got =
        ReadableOn(MakeColorRef(0, 128, 0), {dark, MakeColorRef(90, 90, 60)}, kMarkContrast);
    EXPECT_GE(LeastContrast(got, {dark, MakeColorRef(90, 90, 60)}), kMarkContrast);
}

TEST(Contrast, WhereNothingReachesTheNearestEndAndThePairMovesTheBand) {
    const COLORREF grey = MakeColorRef(128, 128, 128);
    // No colour stands 21:1 from mid grey: black comes nearest.
    EXPECT_EQ(ReadableOn(MakeColorRef(120, 0, 0), {grey}, 21.0), kBlack);
    const TextOnBand pair = ReadablePair(MakeColorRef(140, 140, 140), grey, kTextContrast);
    EXPECT_GE(ContrastRatio(pair.text, pair.band), kTextContrast);
    // A band that the text alone can carry stays as it was.
    EXPECT_EQ(ReadablePair(kWhite, MakeColorRef(61, 61, 61), kMarkContrast).band,
              MakeColorRef(61, 61, 61));
    EXPECT_TRUE(IsDarkScheme(MakeColorRef(0x22, 0x20, 0x20), kWhite));
    EXPECT_FALSE(IsDarkScheme(MakeColorRef(239, 239, 239), kBlack));
}

} // namespace
} // namespace tovrin
