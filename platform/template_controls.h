#pragma once

#include "res/dialogs.h"

#include <QString>

class QWidget;

namespace tovrin {

// Makes the control a template line describes, as a child of parent: its kind's widget with the
// style bits applied, its text, its id (GetDlgItem finds it), its pixel rectangle, hidden without
// WS_VISIBLE and disabled with WS_DISABLED. Static -> StaticControl, Edit -> EditControl,
// Button -> PushButton or CheckBox by its BS_ type, DateTimePicker, ListView.
QWidget* CreateTemplateControl(const ControlTemplate& control, QWidget* parent);

// The text of any control or window the way the windows set and read it: a static's or a
// button's text, an edit's contents, a window's title.
void SetWindowText(QWidget* window, const QString& text);
QString GetWindowText(const QWidget* window);

} // namespace tovrin
