#include "platform/sys_colors.h"

#include "core/draw/contrast.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace tovrin {
namespace {

struct RoleOf {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup A = QPalette::Active;

// The palette role nearest in meaning to each colour; the comments name the choice where it is
// not plain. Index 25 has never had a colour.
constexpr int kColorCount = 31;
std::optional<RoleOf> RoleFor(int index) {
    switch (index) {
    case COLOR_SCROLLBAR:
        return RoleOf{A, QPalette::Midlight};
    case COLOR_BACKGROUND:
        return RoleOf{A, QPalette::Dark};
    case COLOR_ACTIVECAPTION:
        return RoleOf{A, QPalette::Highlight};
    case COLOR_INACTIVECAPTION:
        return RoleOf{A, QPalette::Mid};
    case COLOR_MENU:
        return RoleOf{A, QPalette::Window}; // menus paint on the window role
    case COLOR_WINDOW:
        return RoleOf{A, QPalette::Base}; // the white of lists and edits
    case COLOR_WINDOWFRAME:
        return RoleOf{A, QPalette::Shadow};
    case COLOR_MENUTEXT:
        return RoleOf{A, QPalette::WindowText};
    case COLOR_WINDOWTEXT:
        return RoleOf{A, QPalette::Text};
    case COLOR_CAPTIONTEXT:
        return RoleOf{A, QPalette::HighlightedText};
    case COLOR_ACTIVEBORDER:
        return RoleOf{A, QPalette::Button};
    case COLOR_INACTIVEBORDER:
        return RoleOf{A, QPalette::Button};
    case COLOR_APPWORKSPACE:
        return RoleOf{A, QPalette::Mid};
    case COLOR_HIGHLIGHT:
        return RoleOf{A, QPalette::Highlight};
    case COLOR_HIGHLIGHTTEXT:
        return RoleOf{A, QPalette::HighlightedText};
    // The dialogs' own background: the kit's controls paint their faces on it, so it must be
    // the colour the windows paint, which many styles give a lighter button than.
    case COLOR_BTNFACE:
        return RoleOf{A, QPalette::Window};
    case COLOR_BTNSHADOW:
        return RoleOf{A, QPalette::Dark};
    // Greyed text is what the placeholder role is for; it is translucent, see ToColorRef.
    case COLOR_GRAYTEXT:
        return RoleOf{A, QPalette::PlaceholderText};
    case COLOR_BTNTEXT:
        return RoleOf{A, QPalette::ButtonText};
    case COLOR_INACTIVECAPTIONTEXT:
        return RoleOf{A, QPalette::Window};
    case COLOR_BTNHIGHLIGHT:
        return RoleOf{A, QPalette::Light};
    case COLOR_3DDKSHADOW:
        return RoleOf{A, QPalette::Shadow};
    case COLOR_3DLIGHT:
        return RoleOf{A, QPalette::Midlight};
    case COLOR_INFOTEXT:
        return RoleOf{A, QPalette::ToolTipText};
    case COLOR_INFOBK:
        return RoleOf{A, QPalette::ToolTipBase};
    case COLOR_HOTLIGHT:
        return RoleOf{A, QPalette::Link};
    case COLOR_GRADIENTACTIVECAPTION:
        return RoleOf{A, QPalette::Highlight};
    case COLOR_GRADIENTINACTIVECAPTION:
        return RoleOf{A, QPalette::Mid};
    case COLOR_MENUHILIGHT:
        return RoleOf{A, QPalette::Highlight};
    case COLOR_MENUBAR:
        return RoleOf{A, QPalette::Window};
    default:
        return std::nullopt;
    }
}

// The classic desktop scheme, for code that runs before the application object exists.
constexpr std::array<COLORREF, kColorCount> kClassic = {
    MakeColorRef(212, 208, 200), MakeColorRef(58, 110, 165),
    MakeColorRef(10, 36, 106),   MakeColorRef(128, 128, 128),
    MakeColorRef(212, 208, 200), MakeColorRef(255, 255, 255),
    MakeColorRef(0, 0, 0),       MakeColorRef(0, 0, 0),
    MakeColorRef(0, 0, 0),       MakeColorRef(255, 255, 255),
    MakeColorRef(212, 208, 200), MakeColorRef(212, 208, 200),
    MakeColorRef(128, 128, 128), MakeColorRef(10, 36, 106),
    MakeColorRef(255, 255, 255), MakeColorRef(212, 208, 200),
    MakeColorRef(128, 128, 128), MakeColorRef(128, 128, 128),
    MakeColorRef(0, 0, 0),       MakeColorRef(212, 208, 200),
    MakeColorRef(255, 255, 255), MakeColorRef(64, 64, 64),
    MakeColorRef(212, 208, 200), MakeColorRef(0, 0, 0),
    MakeColorRef(255, 255, 225), 0,
    MakeColorRef(0, 0, 128),     MakeColorRef(166, 202, 240),
    MakeColorRef(192, 192, 192), MakeColorRef(49, 106, 197),
    MakeColorRef(212, 208, 200),
};

// A translucent colour as it shows when drawn over an opaque background.
COLORREF Over(const QColor& fg, const QColor& bg) {
    const QColor f = fg.toRgb();
    const QColor b = bg.toRgb();
    const int a = f.alpha();
    auto mix = [a](int top, int under) { return (top * a + under * (255 - a) + 127) / 255; };
    return MakeColorRef(mix(f.red(), b.red()), mix(f.green(), b.green()), mix(f.blue(), b.blue()));
}

} // namespace

COLORREF ToColorRef(const QColor& c) {
    return Over(c, Qt::white);
}

bool ContrastWanted() {
    if (QGuiApplication::instance() == nullptr) {
        return false;
    }
    const QPalette palette = QGuiApplication::palette();
    return IsDarkScheme(ToColorRef(palette.color(A, QPalette::Window)),
                        ToColorRef(palette.color(A, QPalette::WindowText))) ||
           SystemHighContrast();
}

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= kColorCount) {
        return 0;
    }
    const std::optional<RoleOf> role = RoleFor(index);
    if (!role) {
        return 0;
    }
    if (QGuiApplication::instance() == nullptr) {
        return kClassic[static_cast<std::size_t>(index)];
    }
    const QPalette palette = QGuiApplication::palette();
    if (index == COLOR_GRAYTEXT) {
        // Translucent text over the window colour: what greyed text actually looks like.
        return Over(palette.color(role->group, role->role), palette.color(A, QPalette::Base));
    }
    return ToColorRef(palette.color(role->group, role->role));
}

} // namespace tovrin
