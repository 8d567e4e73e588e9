// The program carries its own windows-1251 table; the C library's converter is the reference it
// must agree with, in both directions, character by character.
#include "core/lang/codepage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <string>

namespace tovrin {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Usable()) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or nothing when the converter refuses any of it.
    bool Convert(const std::string& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string input = in;
        char buffer[16];
        char* inPtr = input.data();
        char* outPtr = buffer;
        std::size_t inLeft = input.size();
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return false;
        }
        out.assign(buffer, sizeof buffer - outLeft);
        return true;
    }

private:
    iconv_t cd_;
};

std::string Utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(CodepageTable, ReadsEveryByteAsTheSystemConverterDoes) {
    Converter toUtf8("UTF-8", "WINDOWS-1251");
    if (!toUtf8.Usable()) {
        GTEST_SKIP() << "this system has no windows-1251 converter to compare with";
    }
    int undefined = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        std::string expected;
        if (!toUtf8.Convert(byte, expected)) {
            expected = "\xEF\xBF\xBD";
            ++undefined;
        }
        EXPECT_EQ(Cp1251ToUtf8(byte), expected) << "byte " << b;
    }
    EXPECT_EQ(undefined, 1); // 0x98 alone
}

TEST(CodepageTable, WritesEveryCharacterAsTheSystemConverterDoes) {
    Converter toCp1251("WINDOWS-1251", "UTF-8");
    if (!toCp1251.Usable()) {
        GTEST_SKIP() << "this system has no windows-1251 converter to compare with";
    }
    int held = 0;
    for (char32_t cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000) {
            continue;
        }
        const std::string utf8 = Utf8Of(cp);
        std::string expected;
        const bool fits = toCp1251.Convert(utf8, expected) && expected.size() == 1;
        bool lossy = false;
        const std::string got = Utf8ToCp1251(utf8, &lossy);
        if (fits) {
            ++held;
            EXPECT_EQ(got, expected) << "U+" << std::hex << static_cast<unsigned>(cp);
            EXPECT_FALSE(lossy) << "U+" << std::hex << static_cast<unsigned>(cp);
        } else {
            EXPECT_EQ(got, "?") << "U+" << std::hex << static_cast<unsigned>(cp);
            EXPECT_TRUE(lossy) << "U+" << std::hex << static_cast<unsigned>(cp);
        }
    }
    EXPECT_EQ(held, 127 + 127); // ASCII without NUL, and the upper half without 0x98
}

} // namespace
} // namespace tovrin
