#pragma once

#include "core/draw/blend_color.h"
#include "core/draw/contrast.h"

#include <initializer_list>

namespace tovrin {

// A snapshot of the system colours the owner-drawn controls paint with.
class CSysColors {
public:
    struct Unread {};

    // Reads the seventeen colours now, in the order below, then derives hotFill.
    CSysColors();
    // All zero until Read(): for the program-wide table, which exists before the application.
    explicit CSysColors(Unread) {}
    virtual ~CSysColors() = default;

    void Read();

    COLORREF face = 0;                // COLOR_BTNFACE
    COLORREF shadow = 0;              // COLOR_BTNSHADOW
    COLORREF darkShadow = 0;          // COLOR_3DDKSHADOW
    COLORREF lightEdge = 0;           // COLOR_BTNHIGHLIGHT
    COLORREF buttonText = 0;          // COLOR_BTNTEXT
    COLORREF grayText = 0;            // COLOR_GRAYTEXT
    COLORREF highlight = 0;           // COLOR_HIGHLIGHT
    COLORREF highlightText = 0;       // COLOR_HIGHLIGHTTEXT
    COLORREF menu = 0;                // COLOR_MENU
    COLORREF menuText = 0;            // COLOR_MENUTEXT
    COLORREF window = 0;              // COLOR_WINDOW
    COLORREF windowFrame = 0;         // COLOR_WINDOWFRAME
    COLORREF windowText = 0;          // COLOR_WINDOWTEXT
    COLORREF activeCaption = 0;       // COLOR_ACTIVECAPTION
    COLORREF inactiveCaption = 0;     // COLOR_INACTIVECAPTION
    COLORREF captionText = 0;         // COLOR_CAPTIONTEXT
    COLORREF inactiveCaptionText = 0; // COLOR_INACTIVECAPTIONTEXT
    // A pale tint of the selection colour behind a hot pane item: 80 % window, 20 % highlight.
    COLORREF hotFill = 0;
    // The desktop wants colours that stand out (a dark or a high-contrast scheme).
    bool contrast = false;

    // A fixed colour of the controls as it is on a light desktop; where contrast is wanted, the
    // nearest colour that stands at ratio against every colour of behind.
    COLORREF Readable(COLORREF fixed, std::initializer_list<COLORREF> behind, double ratio) const {
        return contrast ? ReadableOn(fixed, behind, ratio) : fixed;
    }
};

// The colours the controls paint with. They are read by InitSysColors(), and again whenever the
// application's palette changes (the user picking another theme), so the windows opened from
// then on meet the desktop's new colours.
extern CSysColors sysColors;

// Fills sysColors from the application's palette and from then on follows its changes. The
// program calls it right after it makes its QApplication and before it opens any window; the
// controls call it as well when they are made, which only reads the colours if nobody has yet.
// Returns the table.
const CSysColors& InitSysColors();

} // namespace tovrin
