#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <vector>

namespace tovrin {

// The program's resources by number (res/resource.h), shipped inside the binary.

// Every size the icon has; a null icon for an unknown id.
QIcon LoadIconResource(int id);
// The icon drawn at size x size pixels (0: its own, natural size); null for an unknown id.
QPixmap LoadIconPixmap(int id, int size = 0);
QPixmap LoadBitmapResource(int id);
QCursor LoadCursorResource(int id);
// An entry of the string table; empty for an unknown id.
QString LoadStringResource(int id);

struct MenuItemTemplate {
    int id = 0;   // command id; 0 for separators and popups
    QString text; // default (Russian) text, replaced at run time
    bool separator = false;
    std::vector<MenuItemTemplate> popup; // non-empty: a submenu
};

struct MenuTemplate {
    std::vector<MenuItemTemplate> items; // the menu bar's entries, or a popup menu's submenus
};

// nullptr for an unknown id. The data lives as long as the program.
const MenuTemplate* LoadMenuResource(int id);

} // namespace tovrin
