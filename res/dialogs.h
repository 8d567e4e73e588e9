#pragma once

#include "res/window_styles.h"

#include <cstdint>
#include <span>

// The program's dialog templates as data: what a resource script would hold, in dialog units.
// platform/dialog.h turns one into a window.
namespace tovrin {

enum class ControlKind { Static, Edit, Button, DateTimePicker, ListView };

// x, y, width, height in dialog units.
struct DlgRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ControlTemplate {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    const char* text = ""; // UTF-8; replaced at run time from the language file
    DlgRect rect;
    uint32_t style = 0; // WS_* and the kind's own bits (SS_*, ES_*, BS_*, LVS_*, DTS_*)
    uint32_t exStyle = 0;
};

struct DialogTemplate {
    int id = 0;
    const char* title = ""; // UTF-8
    DlgRect rect;
    uint32_t style = 0; // WS_POPUP | WS_CAPTION ... for a window, WS_CHILD | DS_CONTROL for a page
    int menuId = 0;     // 0: no menu bar
    const char* fontFace = "MS Sans Serif";
    int fontPointSize = 8;
    std::span<const ControlTemplate> controls;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool VisibleAtCreation() const { return (style & WS_VISIBLE) != 0; }
    bool Centred() const { return (style & DS_CENTER) != 0; }
};

// nullptr for an id that is not a dialog template.
const DialogTemplate* FindDialogTemplate(int id);
std::span<const DialogTemplate> AllDialogTemplates();

} // namespace tovrin
