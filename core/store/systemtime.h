#pragma once

#include <cstdint>

namespace tovrin {

// The local date-time record every reminder and every reading of the clock uses: eight unsigned
// 16-bit fields, in this order, exactly as they lie in the store file.
struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;     // 1-12
    uint16_t wDayOfWeek = 0; // 0 = Sunday
    uint16_t wDay = 0;       // 1-31
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;

    friend bool operator==(const SYSTEMTIME&, const SYSTEMTIME&) = default;
};

static_assert(sizeof(SYSTEMTIME) == 16);

} // namespace tovrin
