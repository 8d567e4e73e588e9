#pragma once

#include "core/draw/blend_color.h"

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
};

// The colours the controls paint with for the whole run. They are read once, by InitSysColors(),
// and never refreshed, so every window of a run looks the same even if the desktop's colours
// change under it.
extern CSysColors sysColors;

// Fills sysColors from the application's palette. The program calls it right after it makes its
// QApplication and before it opens any window; the controls call it as well when they are made,
// which only reads the colours if nobody has yet. Returns the table.
const CSysColors& InitSysColors();

} // namespace tovrin
