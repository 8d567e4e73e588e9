#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

namespace tovrin {

// An off-screen drawing surface. A paint routine draws everything into it, and when it goes out
// of scope the finished picture reaches the target in one copy, so overlapping fills, frames and
// texts never flicker on screen and nothing is erased separately.
//
// The surface's (0, 0) is the covered rectangle's top-left corner: callers draw relative to it.
// Before any drawing the surface is uniformly the system's button face colour, read at set-up.
class CBufferedDC : public QPainter {
public:
    // covered: the target-space rectangle the surface stands for; an empty one means the
    // target's clip box (the whole device when the target does not clip).
    CBufferedDC(QPainter* target, const QRect& covered = QRect());
    ~CBufferedDC();
    CBufferedDC(const CBufferedDC&) = delete;
    CBufferedDC& operator=(const CBufferedDC&) = delete;

    // False when there was nothing to draw on (no active target, or an empty covered area):
    // drawing then goes nowhere and nothing is copied.
    bool IsValid() const { return copyPending_; }
    const QRect& Covered() const { return covered_; }

private:
    QPainter* target_;
    QImage bitmap_;
    bool copyPending_ = false;
    QRect covered_;
};

} // namespace tovrin
