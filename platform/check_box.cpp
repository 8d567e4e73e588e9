#include "platform/check_box.h"

#include "platform/check_box_accessible.h"
#include "platform/keyboard_cues.h"
#include "res/window_styles.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace tovrin {

CheckBox::CheckBox(QWidget* parent, uint32_t style)
    : QCheckBox(parent), automatic_((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
    setFocusPolicy((style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    InstallCheckBoxAccessible(this);
}

void CheckBox::nextCheckState() {
    if (automatic_) {
        QCheckBox::nextCheckState();
    }
}

void CheckBox::paintEvent(QPaintEvent*) {
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
    if (!text().isEmpty()) {
        painter.drawControl(QStyle::CE_CheckBox, option);
        return;
    }
    const int styled = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int side = std::min({styled, width(), height()});
    option.rect = QRect((width() - side) / 2, (height() - side) / 2, side, side);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    if (hasFocus() && KeyboardCuesShown(this)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.state |= QStyle::State_KeyboardFocusChange;
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return text().isEmpty() ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

} // namespace tovrin
