#pragma once

#include "core/draw/blend_color.h"

#include <QColor>

namespace tovrin {

// The system colours by their traditional index, so drawing code can name the colour it means
// ("the button face", "grey text") rather than a palette role.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// The colour for index as 0x00BBGGRR, read now from the application's palette (active group
// unless noted in sys_colors.cpp). An unknown index gives 0 (black). Before a QGuiApplication
// exists the classic desktop colours stand in.
COLORREF GetSysColor(int index);

inline QColor ToQColor(COLORREF c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// Opaque colours only: a translucent colour is taken as if drawn over white.
COLORREF ToColorRef(const QColor& c);

// Whether the desktop asks for colours that stand out: a dark palette (its window text lighter than
// its windows) or the system's high-contrast setting. Read now; false before a QGuiApplication
// exists. The fixed colours of the owner-drawn controls were chosen for a light desktop, and only
// where this holds do they give way to colours that read against what is behind them.
bool ContrastWanted();

// The system's own high-contrast switch where it has one (Windows: the accessibility setting);
// false elsewhere, where desktops give high contrast as a palette.
bool SystemHighContrast();

} // namespace tovrin
