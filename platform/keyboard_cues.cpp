#include "platform/keyboard_cues.h"

#include "core/draw/contrast.h"
#include "platform/sys_colors.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QWidget>

namespace tovrin {
namespace {

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Alt:
        return true;
    default:
        return false;
    }
}

// Qt keeps the same mark on a window once a Tab has moved the focus in it, and its styles draw
// their focus frames by it; the program sets it for the other keys too.
class CueWatch final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            lastInputWasKey_ = true;
            if (watched->isWidgetType() &&
                IsNavigationKey(static_cast<const QKeyEvent*>(event)->key())) {
                ShowKeyboardCues(static_cast<QWidget*>(watched));
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            lastInputWasKey_ = false;
            break;
        case QEvent::Show:
            if (lastInputWasKey_ && watched->isWidgetType()) {
                auto* widget = static_cast<QWidget*>(watched);
                const Qt::WindowType type = widget->windowType();
                if (widget->isWindow() && type != Qt::Popup && type != Qt::ToolTip) {
                    widget->setAttribute(Qt::WA_KeyboardFocusChange);
                }
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool lastInputWasKey_ = false;
};

QPointer<CueWatch>& Watch() {
    static QPointer<CueWatch> watch;
    return watch;
}

} // namespace

void WatchKeyboardCues() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || !Watch().isNull()) {
        return;
    }
    Watch() = new CueWatch(app);
    app->installEventFilter(Watch().data());
}

bool KeyboardCuesShown(const QWidget* widget) {
    return widget != nullptr && widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void ShowKeyboardCues(QWidget* widget) {
    if (widget == nullptr || KeyboardCuesShown(widget)) {
        return;
    }
    QWidget* window = widget->window();
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    // Only the focused control draws a mark, but a page's buttons are its children too.
    window->update();
    for (QWidget* child : window->findChildren<QWidget*>()) {
        child->update();
    }
}

void DrawFocusFrame(QPainter& painter, const QRect& rect, COLORREF behind) {
    if (rect.width() < 2 || rect.height() < 2) {
        return;
    }
    const COLORREF black = 0;
    painter.save();
    QPen dots(ToQColor(ContrastWanted() ? ReadableOn(black, {behind}, kMarkContrast) : black), 0);
    dots.setDashPattern({1, 1});
    painter.setPen(dots);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace tovrin
