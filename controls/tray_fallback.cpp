#include "controls/tray_fallback.h"

#include "platform/resources.h"
#include "res/resource.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace tovrin {

namespace {
constexpr int kPad = 6;
constexpr int kIcon = 32;
constexpr int kArrow = 16;
constexpr int kMaxTextWidth = 320;
} // namespace

CTrayFallbackWnd::CTrayFallbackWnd(const QIcon& icon, const QString& tip,
                                   std::function<void(QPoint)> onMenu)
    : QWidget(nullptr, Qt::Window), icon_(icon), onMenu_(std::move(onMenu)) {
    setWindowIcon(icon_);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(LoadCursorResource(IDC_HAND));
    SetTip(tip);
    // Out of the way of the journal, which pops up at the bottom right.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width() - 8, area.top() + 8);
    }
}

CTrayFallbackWnd::~CTrayFallbackWnd() = default;

void CTrayFallbackWnd::SetTip(const QString& tip) {
    tip_ = tip.isEmpty() ? QGuiApplication::applicationDisplayName() : tip;
    setWindowTitle(tip_);
    FitToText();
    update();
}

void CTrayFallbackWnd::FitToText() {
    const int text = std::min(QFontMetrics(font()).horizontalAdvance(tip_), kMaxTextWidth);
    setFixedSize(kPad + kIcon + kPad + text + kPad + kArrow + kPad, kPad + kIcon + kPad);
}

void CTrayFallbackWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    icon_.paint(&p, QRect(kPad, kPad, kIcon, kIcon));
    const QRect textBox(kPad + kIcon + kPad, 0, width() - 4 * kPad - kIcon - kArrow, height());
    p.setPen(palette().windowText().color());
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetrics(font()).elidedText(tip_, Qt::ElideRight, textBox.width()));
    p.drawPixmap(width() - kPad - kArrow, (height() - kArrow) / 2,
                 LoadIconPixmap(IDI_ARROW_DOWN, kArrow));
}

void CTrayFallbackWnd::RequestMenu(QPoint globalPos) {
    // The menu runs its own loop; start it from the event loop rather than from inside this
    // window's handler, so whatever the chosen command does to this window is safe.
    QTimer::singleShot(0, this, [self = QPointer<CTrayFallbackWnd>(this), globalPos] {
        if (self != nullptr && self->onMenu_) {
            self->onMenu_(globalPos);
        }
    });
}

void CTrayFallbackWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    QWidget::mousePressEvent(event);
}

// As on the tray icon: the menu opens when a click on this window ends, never on the press.
void CTrayFallbackWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && std::exchange(leftPressed_, false) &&
        rect().contains(event->position().toPoint())) {
        RequestMenu(event->globalPosition().toPoint());
    }
    QWidget::mouseReleaseEvent(event);
}

void CTrayFallbackWnd::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        RequestMenu(mapToGlobal(QPoint(0, height())));
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CTrayFallbackWnd::closeEvent(QCloseEvent* event) {
    event->ignore();
    showMinimized();
}

} // namespace tovrin
