#include "controls/hyper_link.h"

#include "controls/gdi_draw.h"
#include "controls/hyper_link_accessible.h"
#include "controls/sys_colors.h"
#include "platform/dlg_item.h"
#include "platform/keyboard_cues.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/sys_colors.h"
#include "res/resource.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tovrin {

namespace {
constexpr int kLinkWeight = 100;
constexpr COLORREF kLinkBlue = MakeColorRef(0, 0, 255);
} // namespace

IXHyperLink::IXHyperLink() {
    InitSysColors();
    setFocusPolicy(Qt::TabFocus);
    InstallHyperLinkAccessible(this);
}

void IXHyperLink::Open() {
    ShellOpen(windowTitle());
}

IXHyperLink::~IXHyperLink() = default;

bool IXHyperLink::Create(const QString& text, const QRect& rect, QWidget* parent, int id) {
    if (parent == nullptr) {
        return false;
    }
    setParent(parent);
    setWindowTitle(text);
    SetDlgCtrlID(this, id);
    font_ = DeriveFont(parent->font(), 0, kLinkWeight);
    setCursor(LoadCursorResource(IDC_HAND));
    // No word wrap: the control is exactly as large as its text, wherever it was put.
    const QSize size = QFontMetrics(font_).size(0, text);
    setGeometry(QRect(rect.topLeft(), size));
    show();
    return true;
}

void IXHyperLink::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    dc.setFont(font_);
    // Drawn straight onto its page, whose face is what the blue must read against.
    dc.setPen(ToQColor(sysColors.Readable(kLinkBlue, {sysColors.face}, kThinTextContrast)));
    dc.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, windowTitle());
    if (hasFocus() && KeyboardCuesShown(this)) {
        DrawFocusFrame(dc, rect(), sysColors.face);
    }
}

void IXHyperLink::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Space, as on a button; Enter stays the page's, whose default button it presses.
    const bool press = key == Qt::Key_Space;
    const Qt::KeyboardModifiers chords = event->modifiers() & ~Qt::KeypadModifier;
    if (!press || chords != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    // A held key opens the page once, not once per repeat.
    if (!event->isAutoRepeat()) {
        Open();
    }
}

void IXHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    // A press that wandered off the link before the release does not count as a click on it.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Open();
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace tovrin
