#pragma once

#include "core/draw/blend_color.h"

class QPainter;
class QRect;
class QWidget;

namespace tovrin {

// Focus marks (the dotted frame round a focused button, box, pane item or list row) show in a
// window only once the keyboard has been used to move about in it: a Tab, an arrow, Home, End,
// Page Up or Down, or Alt. A window that opens while the last input was a key shows them from the
// start. Until then a click leaves no frame behind, and once shown they stay for the window's
// life.
//
// Watches the whole application; every window built from a template calls it, and it is safe to
// call again.
void WatchKeyboardCues();

// Whether focus marks show in widget's window.
bool KeyboardCuesShown(const QWidget* widget);

// Shows them in widget's window from now on, and repaints the window.
void ShowKeyboardCues(QWidget* widget);

// The classic dotted focus frame, just inside rect: black, or where the desktop wants contrast
// (ContrastWanted) a colour that reads against behind, what the frame is drawn over.
void DrawFocusFrame(QPainter& painter, const QRect& rect, COLORREF behind);

} // namespace tovrin
