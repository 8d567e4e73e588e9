#pragma once

namespace tovrin {

// A window that takes commands by number: menu items, buttons, tray menu entries and navigation
// pane items all end up here, the way every dialog of the program has always received them.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual void OnCommand(int id) = 0;
};

} // namespace tovrin
