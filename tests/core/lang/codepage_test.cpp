#include "core/lang/codepage.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(Codepage, EveryDefinedByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x98) {
            all.push_back(static_cast<char>(b));
        }
    }
    bool lossy = true;
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all), &lossy), all);
    EXPECT_FALSE(lossy);
    // Landmarks of the table, so a shifted or missing upper half cannot pass as a round trip.
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF\xA8\xB8\x88\xB9\x97\xAB"), "АЯаяЁё€№—«");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Codepage, WhatCannotBeHeldBecomesOneQuestionMarkEach) {
    struct Case {
        std::string utf8;
        std::string cp1251;
    } cases[] = {
        {"é日😀ж", "???\xE6"},         // not in windows-1251, 2 to 4 bytes long
        {"\xEF\xBF\xBD", "?"},        // what an undefined byte reads as
        {"a\x80z", "a?z"},            // stray continuation byte
        {"a\xD0", "a?"},              // cut at the end
        {"\xD0z", "?z"},              // cut by an ASCII byte, which survives
        {"\xC0\xAF", "??"},           // overlong "/"
        {"\xED\xA0\x80", "???"},      // surrogate
        {"\xF4\x90\x80\x80", "????"}, // beyond U+10FFFF
        {"\xE2\x82", "?"},            // cut three-byte sequence
    };
    for (const auto& c : cases) {
        bool lossy = false;
        EXPECT_EQ(Utf8ToCp1251(c.utf8, &lossy), c.cp1251) << c.utf8;
        EXPECT_TRUE(lossy) << c.utf8;
    }
}

TEST(Codepage, LowerCasesLatinAndEveryCyrillicCapitalOnly) {
    // Ё and the capitals of the other Cyrillic alphabets in the upper half, then A-Z and А-Я.
    std::string upper = "\xA8\x80\x81\x8A\x8C\x8D\x8E\x8F\xA1\xA3\xA5\xAA\xAF\xB2\xBD";
    std::string lower = "\xB8\x90\x83\x9A\x9C\x9D\x9E\x9F\xA2\xBC\xB4\xBA\xBF\xB3\xBE";
    for (int b = 0; b < 32; ++b) {
        upper += {static_cast<char>(0xC0 + b), static_cast<char>('A' + b % 26)};
        lower += {static_cast<char>(0xE0 + b), static_cast<char>('a' + b % 26)};
    }
    const std::string capitals = upper;
    CharLowerCp1251(upper);
    EXPECT_EQ(upper, lower);

    for (int b = 0; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        if (capitals.find(one[0]) == std::string::npos) {
            CharLowerCp1251(one);
            EXPECT_EQ(static_cast<unsigned char>(one[0]), b);
        }
    }
}

} // namespace
} // namespace tovrin
