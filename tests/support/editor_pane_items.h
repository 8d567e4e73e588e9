#pragma once

#include "controls/cool_pane.h"
#include "res/resource.h"

#include <array>

namespace tovrin {

// The editor's two folders of pane items, for tests that lay the pane out as the editor does.
// Each pane needs a copy of its own: it writes each item's layout into the items.
struct EditorPaneItems {
    std::array<CoolPaneItem, 3> records{{{IDI_NEW_RECORD, 9, ID_PANE_ADD, {}, {}},
                                         {IDI_CHANGE_RECORD, 10, ID_PANE_MODIFY, {}, {}},
                                         {IDI_DELETE, 11, ID_PANE_DELETE, {}, {}}}};
    std::array<CoolPaneItem, 3> program{{{IDI_SETTINGS, 12, ID_PANE_SETTINGS, {}, {}},
                                         {IDI_HELP, 13, ID_PANE_HELP, {}, {}},
                                         {IDI_ABOUT, 14, ID_PANE_ABOUT, {}, {}}}};
};

} // namespace tovrin
