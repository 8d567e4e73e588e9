#include "core/lang/codepage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iconv.h>
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

// Everything the conversions need, built once from the C library's converter so that converting
// 100,000 reminder texts is a table lookup per character rather than a converter call per text.
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

char32_t ConvertOne(iconv_t cd, std::uint8_t byte) {
    char in = static_cast<char>(byte);
    unsigned char out[8]{};
    char* inPtr = &in;
    auto* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        sizeof out - outLeft != 4) {
        return 0;
    }
    char32_t cp = out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
    return cp < 0x80 || cp > 0xFFFF ? 0 : cp;
}

// Without the C library's converter (a system stripped of its conversion modules) the upper half
// stays undefined: Cyrillic then shows as U+FFFD and saves as "?", visibly wrong rather than
// silently mistranslated.
void FillUpperHalf(Tables& t) {
    iconv_t cd = iconv_open("UTF-32LE", "WINDOWS-1251");
    const auto noConverter = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    if (cd == noConverter) {
        return;
    }
    for (int i = 0; i < 128; ++i) {
        t.upperHalf[i] = ConvertOne(cd, static_cast<std::uint8_t>(0x80 + i));
    }
    iconv_close(cd);
}

Tables BuildTables() {
    Tables t;
    FillUpperHalf(t);
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
