#pragma once

class QWidget;

namespace tovrin {

// Controls made from a dialog template carry their template id, so code can find them the way the
// windows always have: by number.
void SetDlgCtrlID(QWidget* control, int id);
int GetDlgCtrlID(const QWidget* control);
// The direct or indirect child of dialog with that id, or nullptr.
QWidget* GetDlgItem(const QWidget* dialog, int id);

} // namespace tovrin
