#pragma once

#include <cstdint>

namespace tovrin {

// A colour as 0x00BBGGRR: red in the low byte. Stored colours and the system colour table keep
// this form, so values compare equal to the ones the program has always computed.
using COLORREF = std::uint32_t;

constexpr COLORREF MakeColorRef(int red, int green, int blue) {
    return static_cast<COLORREF>(red & 0xFF) | (static_cast<COLORREF>(green & 0xFF) << 8) |
           (static_cast<COLORREF>(blue & 0xFF) << 16);
}
constexpr int RedOf(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// percent % of a mixed with the rest of b, channel by channel. Only the low 8 bits of percent
// count, and the top byte of either colour is ignored; the result's top byte is 0.
COLORREF BlendColor(COLORREF a, COLORREF b, int percent);

} // namespace tovrin
