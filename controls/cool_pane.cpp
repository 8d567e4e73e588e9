#include "controls/cool_pane.h"

#include "controls/buffered_dc.h"
#include "controls/gdi_draw.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "platform/command_target.h"
#include "platform/dlg_item.h"
#include "platform/resources.h"
#include "res/resource.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>

namespace tovrin {

namespace {

constexpr int kCaptionWeight = 100;
constexpr COLORREF kBlack = 0;

POINT ToPOINT(QPoint p) {
    return {p.x(), p.y()};
}

} // namespace

IXCoolPane::IXCoolPane()
    : hand_(LoadCursorResource(IDC_HAND)), downArrow_(LoadIconPixmap(IDI_ARROW_DOWN, 16)),
      upArrow_(LoadIconPixmap(IDI_ARROW_UP, 16)) {
    InitSysColors();
    // Every pixel comes from the one off-screen copy per paint; nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

IXCoolPane::~IXCoolPane() = default;

bool IXCoolPane::Create(const QRect& rect, QWidget* parent, int id) {
    if (parent == nullptr) {
        return false;
    }
    setParent(parent);
    setGeometry(rect);
    SetDlgCtrlID(this, id);
    font_ = DeriveFont(parent->font(), 0, kCaptionWeight);
    model_.SetClient(ToRECT(QRect(QPoint(0, 0), rect.size())));
    show();
    return true;
}

void IXCoolPane::AddFolder(const CoolPaneFolder& folder) {
    model_.AddFolder(folder);
    update();
}

QString IXCoolPane::TextFor(int key) {
    if (!textFromParent) {
        return LoadStringResource(key);
    }
    TextSource* source =
        textSource_ != nullptr ? textSource_ : dynamic_cast<TextSource*>(parentWidget());
    return source != nullptr ? source->OnGetText(key) : QString();
}

QFont CaptionMeasureFont() {
    // One font on every desktop, whatever the user's: 16 pixels from ascent to descent, as a
    // fresh drawing surface's default font always measured, so the folders lay out alike on
    // every machine. Pixels, not points, so the desktop's dots per inch change nothing either.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    font.setWeight(QFont::Bold);
    return font;
}

TextExtent IXCoolPane::MeasureCaption(int32_t textId) {
    // Measured in the fixed measuring font, as the captions always were; the pane's own font is
    // only used for drawing them.
    const QFontMetrics metrics{CaptionMeasureFont()};
    return {metrics.horizontalAdvance(TextFor(textId)), metrics.height()};
}

void IXCoolPane::SetPaneTimer(int id, int milliseconds) {
    (id == CoolPaneModel::kHoverTimer ? hoverTimer_ : headerTimer_).start(milliseconds, this);
}

void IXCoolPane::KillPaneTimer(int id) {
    (id == CoolPaneModel::kHoverTimer ? hoverTimer_ : headerTimer_).stop();
}

void IXCoolPane::InvalidatePane(const RECT& r) {
    update(ToQRect(r));
}

void IXCoolPane::InvalidateWholePane() {
    update();
}

void IXCoolPane::SendPaneCommand(int commandId) {
    CommandTarget* target =
        commandTarget_ != nullptr ? commandTarget_ : dynamic_cast<CommandTarget*>(parentWidget());
    if (target != nullptr) {
        target->OnCommand(commandId);
    }
}

void IXCoolPane::RefreshHover() {
    // Runs once the click has been handled, like the mouse move the system would deliver; the
    // command's receiver may have closed the pane's window by then.
    QTimer::singleShot(0, this, [pane = QPointer<IXCoolPane>(this)] {
        if (pane == nullptr) {
            return;
        }
        const QPoint p = pane->mapFromGlobal(QCursor::pos());
        if (pane->rect().contains(p)) {
            pane->Hover(p);
        }
    });
}

bool IXCoolPane::FocusInChild() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus != this && isAncestorOf(focus);
}

void IXCoolPane::Hover(QPoint p) {
    model_.MouseMove(ToPOINT(p), FocusInChild());
    // Only headers get the hand; items keep the arrow.
    setCursor(model_.WantsHandCursor(ToPOINT(p), FocusInChild()) ? hand_
                                                                 : QCursor(Qt::ArrowCursor));
}

void IXCoolPane::mouseMoveEvent(QMouseEvent* event) {
    Hover(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void IXCoolPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
}

void IXCoolPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        model_.ButtonUp(ToPOINT(event->position().toPoint()));
    }
}

void IXCoolPane::timerEvent(QTimerEvent* event) {
    const int id = event->timerId() == hoverTimer_.timerId()    ? CoolPaneModel::kHoverTimer
                   : event->timerId() == headerTimer_.timerId() ? CoolPaneModel::kHeaderTimer
                                                                : 0;
    if (id == 0) {
        QWidget::timerEvent(event);
        return;
    }
    model_.Timer(id, ToPOINT(mapFromGlobal(QCursor::pos())));
}

void IXCoolPane::resizeEvent(QResizeEvent* event) {
    model_.SetClient(ToRECT(rect()));
    model_.Relayout();
    QWidget::resizeEvent(event);
}

void IXCoolPane::paintEvent(QPaintEvent*) {
    QPainter target(this);
    const RECT c = ToRECT(rect());
    CBufferedDC dc(&target, rect());
    dc.save();
    // Dark top and left edges, light bottom and right ones: the pane looks sunken.
    DrawLine(dc, {0, c.bottom - 1}, {0, c.top}, sysColors.shadow);
    DrawLine(dc, {0, c.top}, {c.right - 1, c.top}, sysColors.shadow);
    dc.setFont(font_);
    dc.setPen(Qt::black);
    // In order, so the open folder's items lie over the headers above and under those below.
    for (int i = 0; i < model_.FolderCount(); ++i) {
        DrawFolder(dc, i);
    }
    DrawLine(dc, {0, c.bottom - 1}, {c.right, c.bottom - 1}, sysColors.window);
    DrawLine(dc, {c.right - 1, c.bottom - 1}, {c.right - 1, c.top - 1}, sysColors.window);
    dc.restore();
}

void IXCoolPane::DrawFolder(QPainter& dc, int i) {
    const RECT h = model_.HeaderRectOf(i, HeaderUse::Paint);
    FillSolidRect(dc, {h.left + 2, h.top + 2, h.right - 3, h.bottom}, sysColors.face);
    Draw3dRect(dc, h.left + 1, h.top + 1, h.Width() - 2, kPaneHeaderHeight, sysColors.window,
               sysColors.shadow);
    const CoolPaneFolder& folder = model_.Folder(i);
    dc.drawText(ToQRect(h), Qt::AlignCenter | Qt::TextSingleLine, TextFor(folder.nameId));
    if (i == model_.hotHeader()) {
        DrawLine(dc, {h.left, h.bottom}, {h.right - 1, h.bottom}, kBlack);
        DrawLine(dc, {h.right - 2, h.bottom}, {h.right - 2, h.top}, kBlack);
    }
    if (i != model_.openFolder()) {
        return;
    }
    const int offset = model_.scrollOffset();
    int j = 0;
    for (const CoolPaneItem& item : ItemsOf(folder)) {
        if (OffsetRect(item.textBox, 0, offset).bottom < folder.area.top) {
            ++j;
            continue;
        }
        if (OffsetRect(item.iconCell, 0, offset).top > folder.area.bottom) {
            break;
        }
        DrawItem(dc, item, j++);
    }
    if (model_.DownArrowShown()) {
        const RECT r = DownArrowRect(folder.area);
        dc.drawPixmap(r.left, r.top, downArrow_);
    }
    if (model_.UpArrowShown()) {
        const RECT r = UpArrowRect(folder.area);
        dc.drawPixmap(r.left, r.top, upArrow_);
    }
}

void IXCoolPane::DrawItem(QPainter& dc, const CoolPaneItem& item, int j) {
    const RECT icon = OffsetRect(item.iconCell, 0, model_.scrollOffset());
    if (j == model_.hotItem()) {
        FillSolidRect(dc, icon, sysColors.hotFill);
        FrameRect(dc, icon, sysColors.highlight);
    }
    const QPixmap picture = LoadIconPixmap(item.iconId & 0xFFFF, kPaneIconSize);
    if (!picture.isNull()) {
        dc.drawPixmap(icon.left, icon.top, picture);
    }
    dc.drawText(ToQRect(OffsetRect(item.textBox, 0, model_.scrollOffset())),
                Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, TextFor(item.textId));
}

} // namespace tovrin
