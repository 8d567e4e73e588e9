#include "controls/static_bar.h"

#include "controls/gdi_draw.h"
#include "controls/static_bar_accessible.h"
#include "controls/sys_colors.h"
#include "platform/dlg_item.h"
#include "platform/reader_news.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>

namespace tovrin {

namespace {
constexpr int kCaptionCellHeight = 20;
constexpr int kCaptionWeight = 800;
constexpr int kMargin = 8;
constexpr int kFallbackIconSize = 16;
} // namespace

IXStatic::IXStatic(int controlId) : controlId_(controlId) {
    InitSysColors();
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallStaticBarAccessible(this);
}

IXStatic::~IXStatic() = default;

bool IXStatic::SetIcon(int iconId) {
    icon_ = LoadIconPixmap(iconId);
    iconWidth_ = icon_.isNull() ? kFallbackIconSize : icon_.width();
    iconHeight_ = icon_.isNull() ? kFallbackIconSize : icon_.height();
    update();
    return true;
}

bool IXStatic::Create(const QString& text, const QRect& rect, QWidget* parent, int id) {
    if (parent == nullptr) {
        return false;
    }
    QRect place = rect;
    if (controlId_ != 0) {
        // Bars bound to a template placeholder take its exact place, whatever the caller passed.
        // Without such a control the caller's rectangle stands.
        if (const QWidget* placeholder = GetDlgItem(parent, controlId_)) {
            const QWidget* holder = placeholder->parentWidget();
            const QPoint corner =
                holder == parent ? placeholder->pos() : placeholder->mapTo(parent, QPoint(0, 0));
            place = QRect(corner, placeholder->size());
        }
    }
    setParent(parent);
    setGeometry(place);
    setWindowTitle(text);
    SetDlgCtrlID(this, id);
    font_ = DeriveFont(parent->font(), kCaptionCellHeight, kCaptionWeight);
    show();
    return true;
}

void IXStatic::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange) {
        update();
        // A page's new title is heard as well as seen.
        QAccessibleEvent named(this, QAccessible::NameChanged);
        TellReader(named);
    }
    QWidget::changeEvent(event);
}

void IXStatic::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    const RECT client = ToRECT(rect());
    // The grey band and its title in the window colour; on a dark or high-contrast desktop both
    // may move, the title first, until the title reads.
    const TextOnBand colours =
        sysColors.contrast ? ReadablePair(sysColors.window, sysColors.grayText, kTextContrast)
                           : TextOnBand{sysColors.window, sysColors.grayText};
    FillSolidRect(dc, client, colours.band);
    dc.setFont(font_);
    dc.setPen(ToQColor(colours.text));
    // A long title is not clipped away from the icon: it runs on underneath it.
    dc.drawText(ToQRect({client.left + kMargin, client.top, client.right, client.bottom}),
                Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, windowTitle());
    if (!icon_.isNull()) {
        dc.drawPixmap(client.right - iconWidth_ - kMargin,
                      (client.top + client.bottom - iconHeight_) / 2, icon_);
    }
}

} // namespace tovrin
