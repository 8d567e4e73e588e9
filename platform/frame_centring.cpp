#include "platform/frame_centring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tovrin {
namespace {

// The frame around the last window whose frame was known. Every framed window of the program
// gets the same decorations, so the next one can be placed right from its first showing.
QMargins lastFrame;

QRect WorkArea(const QWidget& window) {
    const QWidget* parent = window.parentWidget();
    QScreen* screen = parent != nullptr ? parent->screen() : window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QMargins FrameOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// Waits on the shown window for its frame, moves it once the frame is known, then goes. A window
// that never gets a frame (no window manager) keeps where it was put, and the watch ends with it.
class FrameWatch : public QObject {
public:
    explicit FrameWatch(QWidget& window) : QObject(&window), window_(&window) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
        case QEvent::WindowActivate:
            break;
        default:
            return false;
        }
        if (watched == window_ && window_->isVisible() && !FrameOf(*window_).isNull()) {
            lastFrame = FrameOf(*window_);
            const QRect area = WorkArea(*window_);
            if (area.isValid()) {
                const QPoint at = CentredFramePosition(area, window_->frameGeometry().size());
                if (window_->pos() != at) {
                    window_->move(at); // a top-level window's position is its frame's
                }
            }
            window_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

QPoint CentredFramePosition(const QRect& area, const QSize& frameSize) {
    const int x = area.x() + (area.width() - frameSize.width()) / 2;
    const int y = area.y() + (area.height() - frameSize.height()) / 2;
    return {std::max(x, area.x()), std::max(y, area.y())};
}

void CentreInWorkArea(QWidget& window) {
    const QRect area = WorkArea(window);
    if (!area.isValid()) {
        return;
    }
    const QSize framed = window.size().grownBy(lastFrame);
    // A top-level window's position is its frame's, also before it has one.
    window.move(CentredFramePosition(area, framed));
    new FrameWatch(window);
}

} // namespace tovrin
