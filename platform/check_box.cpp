#include "platform/check_box.h"

#include "res/window_styles.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace tovrin {

CheckBox::CheckBox(QWidget* parent, uint32_t style)
    : QCheckBox(parent), automatic_((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
    setFocusPolicy((style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
}

void CheckBox::nextCheckState() {
    if (automatic_) {
        QCheckBox::nextCheckState();
    }
}

void CheckBox::paintEvent(QPaintEvent* event) {
    if (!text().isEmpty()) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int styled = style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, this);
    const int side = std::min({styled, width(), height()});
    option.rect = QRect((width() - side) / 2, (height() - side) / 2, side, side);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool CheckBox::hitButton(const QPoint& pos) const {
    return text().isEmpty() ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

} // namespace tovrin
