#include "controls/buffered_dc.h"

#include "platform/sys_colors.h"

#include <QPaintDevice>

namespace tovrin {
namespace {

QRect ClipBox(const QPainter& target) {
    if (target.hasClipping()) {
        return target.clipBoundingRect().toAlignedRect();
    }
    const QPaintDevice* device = target.device();
    return QRect(0, 0, device->width(), device->height());
}

// Bounds the surface, so a corrupt rectangle cannot ask for gigabytes.
constexpr int kMaxSide = 16384;

} // namespace

CBufferedDC::CBufferedDC(QPainter* target, const QRect& covered) : target_(target) {
    if (target_ == nullptr || !target_->isActive()) {
        bitmap_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        begin(&bitmap_);
        return;
    }
    covered_ = covered.isEmpty() ? ClipBox(*target_) : covered;
    const QPaintDevice* device = target_->device();
    const qreal ratio = device->devicePixelRatioF();
    const int w = covered_.width();
    const int h = covered_.height();
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) {
        bitmap_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        begin(&bitmap_);
        return;
    }
    bitmap_ = QImage(qRound(w * ratio), qRound(h * ratio), QImage::Format_ARGB32_Premultiplied);
    bitmap_.setDevicePixelRatio(ratio);
    begin(&bitmap_);
    // Like any fresh device context the surface starts with the default font, not the target's:
    // the navigation pane measures its captions with exactly that font.
    fillRect(QRect(0, 0, w, h), ToQColor(GetSysColor(COLOR_BTNFACE)));
    copyPending_ = true;
}

CBufferedDC::~CBufferedDC() {
    end();
    if (copyPending_) {
        target_->save();
        target_->setCompositionMode(QPainter::CompositionMode_Source);
        target_->drawImage(covered_.topLeft(), bitmap_);
        target_->restore();
    }
}

} // namespace tovrin
