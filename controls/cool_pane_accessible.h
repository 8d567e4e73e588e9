#pragma once

class QObject;

namespace tovrin {

class IXCoolPane;

// How a screen reader sees the navigation pane: a panel whose children are, folder by folder,
// the folder's header (a button, expanded while its folder is open) followed by the folder's
// items (buttons named with the captions the pane paints). Pressing a header opens its folder;
// pressing an item sends its command, as clicks do. Items of a closed folder, and items scrolled
// out of sight, are invisible. Installed once, by the first pane made.
void InstallCoolPaneAccessible(QObject* pane);

// The reader's child index of folder i's header (item -1) or of its item j; -1 for none.
int PaneChildIndex(const IXCoolPane& pane, int folder, int item);

// Tells a reader that the keyboard is on another item of the open folder.
void NotifyPaneFocus(IXCoolPane& pane);
// Tells a reader that another folder opened, or the open one scrolled: headers' expanded and
// items' invisible states changed.
void NotifyPaneShown(IXCoolPane& pane);

} // namespace tovrin
