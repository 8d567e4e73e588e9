#include "platform/push_button.h"

#include "res/window_styles.h"

#include <QKeyEvent>

namespace tovrin {

PushButton::PushButton(QWidget* parent, uint32_t style) : QPushButton(parent) {
    setAutoDefault(false);
    setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    setFocusPolicy((style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
}

void PushButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore(); // up to the dialog
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace tovrin
