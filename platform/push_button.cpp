#include "platform/push_button.h"

#include "platform/keyboard_cues.h"
#include "res/window_styles.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

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

void PushButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The focus frame shows once the keyboard has been used in the window, whatever the style
    // makes of the focus by itself.
    if (hasFocus() && KeyboardCuesShown(this)) {
        option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    } else {
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
    }
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace tovrin
