#include "core/lang/codepage.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tovrin {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// UTF-8 form of one character, at most three bytes: windows-1251 holds nothing beyond the Basic
// Multilingual Plane.
struct Utf8Char {
    char bytes[4]{}; // copied whole, used up to size
    std::uint8_t size = 0;
};

Utf8Char EncodeUtf8(char32_t cp) {
    Utf8Char out;
    if (cp < 0x80) {
        out.bytes[0] = static_cast<char>(cp);
        out.size = 1;
    } else if (cp < 0x800) {
        out.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
        out.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        out.size = 2;
    } else {
        out.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
        out.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        out.size = 3;
    }
    return out;
}

// Lower case of the letters windows-1251 can hold: Latin and Cyrillic.
char32_t LowerLetter(char32_t cp) {
    if (cp >= U'A' && cp <= U'Z') {
        return cp + 0x20;
    }
    if (cp >= 0x0400 && cp <= 0x040F) { // Ѐ..Џ, Ё among them
        return cp + 0x50;
    }
    if (cp >= 0x0410 && cp <= 0x042F) { // А..Я
        return cp + 0x20;
    }
    if (cp == 0x0490) { // Ґ
        return 0x0491;
    }
    return cp;
}

// Everything the conversions need, built once from the table below, so that converting 100,000
// reminder texts is a table lookup per character.
struct Tables {
    std::array<char32_t, 128> upperHalf{}; // bytes 0x80..0xFF; 0 where the byte has no character
    std::array<Utf8Char, 128> upperUtf8{};
    std::array<std::pair<char32_t, std::uint8_t>, 128> reverse{}; // sorted by character
    std::size_t reverseCount = 0;
    std::array<std::uint8_t, 256> lower{};
    // The Cyrillic block, where nearly every non-ASCII character of a reminder lies, by index.
    std::array<std::int16_t, 0x60> cyrillic{};

    [[nodiscard]] int ByteOf(char32_t cp) const {
        if (cp >= 0x0400 && cp < 0x0460) {
            return cyrillic[cp - 0x0400];
        }
        return SearchReverse(cp);
    }

    [[nodiscard]] int SearchReverse(char32_t cp) const {
        auto end = reverse.begin() + static_cast<std::ptrdiff_t>(reverseCount);
        auto it = std::lower_bound(reverse.begin(), end, std::pair<char32_t, std::uint8_t>{cp, 0});
        return it != end && it->first == cp ? it->second : -1;
    }
};

// The upper half of windows-1251, bytes 0x80..0xFF, as Unicode characters; 0 for 0x98, the one
// byte the code page leaves without a character. A fixed table rather than the C library's
// converter: a system stripped of its conversion modules (or one that never had them) must still
// show every Cyrillic letter of the user's reminders.
constexpr std::array<char16_t, 128> kUpperHalf{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, // 0xF8
};

Tables BuildTables() {
    Tables t;
    for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
        t.upperHalf[i] = kUpperHalf[i];
    }
    for (int i = 0; i < 128; ++i) {
        char32_t cp = t.upperHalf[i];
        t.upperUtf8[i] = EncodeUtf8(cp != 0 ? cp : kReplacement);
        if (cp != 0) {
            t.reverse[t.reverseCount++] = {cp, static_cast<std::uint8_t>(0x80 + i)};
        }
    }
    std::sort(t.reverse.begin(), t.reverse.begin() + static_cast<std::ptrdiff_t>(t.reverseCount));
    for (char32_t cp = 0x0400; cp < 0x0460; ++cp) {
        t.cyrillic[cp - 0x0400] = static_cast<std::int16_t>(t.SearchReverse(cp));
    }
    for (int b = 0; b < 256; ++b) {
        char32_t cp = b < 0x80 ? static_cast<char32_t>(b) : t.upperHalf[b - 0x80];
        char32_t lowerCp = LowerLetter(cp);
        int lowerByte = lowerCp < 0x80 ? static_cast<int>(lowerCp) : t.ByteOf(lowerCp);
        t.lower[b] = static_cast<std::uint8_t>(cp != 0 && lowerByte >= 0 ? lowerByte : b);
    }
    return t;
}

const Tables& GetTables() {
    static const Tables tables = BuildTables();
    return tables;
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Decodes one character at s[i]. On a malformed sequence it consumes the longest prefix that
// could have begun a valid one (at least one byte) and reports U+FFFD, so one bad sequence
// gives one "?".
char32_t DecodeUtf8(std::string_view s, std::size_t& i, bool& malformed) {
    auto c = static_cast<unsigned char>(s[i++]);
    malformed = false;
    if (c < 0x80) {
        return c;
    }
    int need = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        need = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 2;
        cp = c & 0x0F;
        lo = c == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 3;
        cp = c & 0x07;
        lo = c == 0xF0 ? 0x90 : 0x80;
        hi = c == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        malformed = true;
        return kReplacement;
    }
    for (int k = 0; k < need; ++k) {
        if (i >= s.size()) {
            malformed = true;
            return kReplacement;
        }
        auto cc = static_cast<unsigned char>(s[i]);
        if (!IsContinuation(cc) || (k == 0 && (cc < lo || cc > hi))) {
            malformed = true;
            return kReplacement;
        }
        cp = (cp << 6) | (cc & 0x3F);
        ++i;
    }
    return cp;
}

} // namespace

// Both conversions write into a string sized for the worst case and cut it afterwards: appending
// character by character costs several times the conversion itself.
std::string Cp1251ToUtf8(std::string_view cp1251) {
    const Tables& t = GetTables();
    std::string out(cp1251.size() * 3 + 1, '\0');
    char* o = out.data();
    for (char ch : cp1251) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            *o++ = ch;
        } else {
            const Utf8Char& u = t.upperUtf8[b - 0x80];
            std::memcpy(o, u.bytes, sizeof u.bytes);
            o += u.size;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8, bool* lossy) {
    const Tables& t = GetTables();
    std::string out(utf8.size(), '\0');
    char* o = out.data();
    bool lost = false;
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            *o++ = utf8[i++];
            continue;
        }
        bool malformed = false;
        char32_t cp = 0;
        auto lead = static_cast<unsigned char>(utf8[i]);
        // Cyrillic is two bytes: decode those here, everything else in full.
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() &&
            IsContinuation(static_cast<unsigned char>(utf8[i + 1]))) {
            cp = static_cast<char32_t>(((lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F));
            i += 2;
        } else {
            cp = DecodeUtf8(utf8, i, malformed);
        }
        int b = malformed ? -1 : t.ByteOf(cp);
        lost |= b < 0;
        *o++ = b < 0 ? '?' : static_cast<char>(b);
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    if (lossy != nullptr) {
        *lossy = lost;
    }
    return out;
}

void CharLowerCp1251(std::string& cp1251) {
    const Tables& t = GetTables();
    for (char& ch : cp1251) {
        ch = static_cast<char>(t.lower[static_cast<unsigned char>(ch)]);
    }
}

} // namespace tovrin
