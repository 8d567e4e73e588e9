#include "controls/cool_pane.h"

#include "controls/buffered_dc.h"
#include "controls/cool_pane_accessible.h"
#include "controls/gdi_draw.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "platform/command_target.h"
#include "platform/dlg_item.h"
#include "platform/fonts.h"
#include "platform/keyboard_cues.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"
#include "res/resource.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>

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
    // A tab stop, so the commands are there without a mouse.
    setFocusPolicy(Qt::StrongFocus);
    WatchKeyboardCues();
    InstallCoolPaneAccessible(this);
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

QString IXCoolPane::TextFor(int key) const {
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
    return CreateFont(-14, FW_BOLD, QStringLiteral("Arial"));
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
        // The keyboard goes on from the item last clicked.
        if (model_.hotItem() != -1) {
            focusItem_ = model_.hotItem();
            focusFolder_ = model_.openFolder();
        }
        const QPointer<IXCoolPane> self(this);
        const auto before = Shown();
        model_.ButtonUp(ToPOINT(event->position().toPoint()));
        // The command sent may have closed the window, and the pane with it.
        if (self != nullptr) {
            TellIfShownChanged(before);
        }
    }
}

void IXCoolPane::TellIfShownChanged(std::pair<int, int> before) {
    if (Shown() != before) {
        NotifyPaneShown(*this);
    }
}

void IXCoolPane::OpenFolderAt(int i) {
    const auto before = Shown();
    if (model_.OpenFolder(i)) {
        SetFocusItem(0);
    }
    TellIfShownChanged(before);
}

void IXCoolPane::PressItem(int i, int j) {
    if (i < 0 || i >= model_.FolderCount()) {
        return;
    }
    const auto items = ItemsOf(model_.Folder(i));
    if (j < 0 || j >= static_cast<int>(items.size())) {
        return;
    }
    OpenFolderAt(i);
    SetFocusItem(j);
    SendPaneCommand(items[static_cast<std::size_t>(j)].commandId & 0xFFFF);
}

bool IXCoolPane::ItemInSight(int j) const {
    if (j < 0 || j >= OpenItemCount()) {
        return false;
    }
    const CoolPaneFolder& folder = model_.Folder(model_.openFolder());
    const CoolPaneItem& item = ItemsOf(folder)[static_cast<std::size_t>(j)];
    // The same test the painting makes.
    return OffsetRect(item.textBox, 0, model_.scrollOffset()).bottom >= folder.area.top &&
           OffsetRect(item.iconCell, 0, model_.scrollOffset()).top <= folder.area.bottom;
}

int IXCoolPane::OpenItemCount() const {
    const int open = model_.openFolder();
    if (open < 0 || open >= model_.FolderCount()) {
        return 0;
    }
    return static_cast<int>(ItemsOf(model_.Folder(open)).size());
}

int IXCoolPane::FocusItem() const {
    // Another folder opened by a click starts at its first item.
    if (focusFolder_ != model_.openFolder()) {
        return 0;
    }
    return std::clamp(focusItem_, 0, std::max(OpenItemCount() - 1, 0));
}

QRect IXCoolPane::FocusFrame(int j) const {
    const int open = model_.openFolder();
    if (j < 0 || j >= OpenItemCount()) {
        return {};
    }
    const CoolPaneItem& item = ItemsOf(model_.Folder(open))[static_cast<std::size_t>(j)];
    const RECT both = OffsetRect(UnionRect(item.iconCell, item.textBox), 0, model_.scrollOffset());
    // Clear of the hot item's frame, inside the pane's sunken edge.
    return ToQRect(both)
        .adjusted(-3, -3, 3, 3)
        .intersected(rect().adjusted(2, 1, -2, -2))
        .intersected(ToQRect(model_.Folder(open).area));
}

void IXCoolPane::SetFocusItem(int j) {
    const int count = OpenItemCount();
    if (count == 0) {
        return;
    }
    focusItem_ = std::clamp(j, 0, count - 1);
    focusFolder_ = model_.openFolder();
    const auto before = Shown();
    model_.ScrollIntoView(focusItem_);
    update();
    TellIfShownChanged(before);
    if (hasFocus()) {
        NotifyPaneFocus(*this);
    }
}

void IXCoolPane::MoveFocusItem(int step) {
    const int open = model_.openFolder();
    const int j = FocusItem() + step;
    if (j >= 0 && j < OpenItemCount()) {
        SetFocusItem(j);
        return;
    }
    // Past either end of a folder the next or previous folder opens.
    if (model_.OpenFolder(step > 0 ? open + 1 : open - 1)) {
        SetFocusItem(step > 0 ? 0 : OpenItemCount() - 1);
    }
}

void IXCoolPane::PressFocusItem() {
    const int count = OpenItemCount();
    if (count == 0) {
        return;
    }
    const int j = FocusItem();
    SendPaneCommand(
        ItemsOf(model_.Folder(model_.openFolder()))[static_cast<std::size_t>(j)].commandId &
        0xFFFF);
}

void IXCoolPane::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers chords = event->modifiers() & ~Qt::KeypadModifier;
    if (chords != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const auto before = Shown();
    switch (event->key()) {
    case Qt::Key_Down:
        MoveFocusItem(1);
        break;
    case Qt::Key_Up:
        MoveFocusItem(-1);
        break;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (model_.OpenFolder(model_.openFolder() + (event->key() == Qt::Key_PageDown ? 1 : -1))) {
            SetFocusItem(0);
        }
        break;
    case Qt::Key_Home:
        SetFocusItem(0);
        break;
    case Qt::Key_End:
        SetFocusItem(OpenItemCount() - 1);
        break;
    case Qt::Key_Space:
        // As a focused button is pressed: Space only, Enter being no command key here. A held
        // key sends its command once.
        if (!event->isAutoRepeat()) {
            PressFocusItem();
        }
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    TellIfShownChanged(before);
}

void IXCoolPane::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
    // After the pane's own focus news, which the toolkit sends once this handler is done: the
    // reader then moves on to the item the keys act on.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) {
            NotifyPaneFocus(*this);
        }
    });
}

void IXCoolPane::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
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
    // Names and captions all lie on the face.
    dc.setPen(ToQColor(sysColors.Readable(kBlack, {sysColors.face}, kThinTextContrast)));
    // In order, so the open folder's items lie over the headers above and under those below.
    for (int i = 0; i < model_.FolderCount(); ++i) {
        DrawFolder(dc, i);
    }
    // A dotted frame round the focused item, once the keyboard has been used in the window: a
    // click leaves none behind.
    if (hasFocus() && OpenItemCount() > 0 && KeyboardCuesShown(this)) {
        DrawFocusFrame(dc, FocusFrame(FocusItem()), sysColors.face);
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
        const COLORREF edge = sysColors.Readable(kBlack, {sysColors.face}, kMarkContrast);
        DrawLine(dc, {h.left, h.bottom}, {h.right - 1, h.bottom}, edge);
        DrawLine(dc, {h.right - 2, h.bottom}, {h.right - 2, h.top}, edge);
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
