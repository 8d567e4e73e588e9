#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <vector>

class QAction;
class QWidget;

namespace tovrin {

// The program's resources by number (res/resource.h), shipped inside the binary.

// Every size the icon has; a null icon for an unknown id.
QIcon LoadIconResource(int id);
// The icon drawn at size x size pixels (0: its own, natural size); null for an unknown id.
// A size the icon was not drawn at is scaled from the nearest larger drawing.
QPixmap LoadIconPixmap(int id, int size = 0);
// The size an icon shows at when nobody asks for one: 16 for the caption bar icons, 32 for the
// program's icon and the pane-only icons; 0 for an unknown id.
int IconNaturalSize(int id);
QPixmap LoadBitmapResource(int id);
// An arrow cursor for an unknown id.
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

// Appends items to a QMenu or QMenuBar: commands become actions carrying their id, separators
// separators, popups submenus owned by menu.
void AppendMenuItems(QWidget& menu, const std::vector<MenuItemTemplate>& items);
// The command id an action was built with; 0 for separators, submenus and foreign actions.
int MenuCommandId(const QAction* action);
// Replaces the text of the entry at position (separators count), keeping its command id, the way
// the windows put their language texts into menus. False when there is no such position.
bool SetMenuItemText(QWidget& menu, int position, const QString& text);

} // namespace tovrin
