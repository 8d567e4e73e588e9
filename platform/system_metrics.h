#pragma once

namespace tovrin {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// The primary screen's size in pixels, and the standard icon sizes (32 and 16); 0 for anything
// else, or when there is no screen.
int GetSystemMetrics(int index);

} // namespace tovrin
