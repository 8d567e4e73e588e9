#pragma once

class QWidget;

namespace tovrin {

// Controls made from a dialog template carry their template id, so code can find them the way the
// windows always have: by number.
void SetDlgCtrlID(QWidget* control, int id);
int GetDlgCtrlID(const QWidget* control);
// The control of dialog with that id, or nullptr. Only the dialog's own controls count: its
// direct children, and those of its client area when a menu bar sits above them; controls of a
// page inside the dialog belong to the page.
QWidget* GetDlgItem(const QWidget* dialog, int id);

// Marks the widget that holds a dialog's controls under its menu bar.
inline constexpr const char* kClientAreaProperty = "tovrinClientArea";

} // namespace tovrin
