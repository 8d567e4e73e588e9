#include "controls/buffered_dc.h"
#include "platform/sys_colors.h"

#include <QImage>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QColor Face() {
    return ToQColor(GetSysColor(COLOR_BTNFACE));
}

QImage RedTarget() {
    QImage img(60, 40, QImage::Format_ARGB32);
    img.fill(kRed);
    return img;
}

TEST(CBufferedDC, UntouchedAreaShowsTheFaceColourAfterTheCopy) {
    QImage img = RedTarget();
    {
        QPainter target(&img);
        CBufferedDC dc(&target, QRect(0, 0, 60, 40));
        EXPECT_TRUE(dc.IsValid());
        // Nothing reaches the target before the surface goes out of scope.
        dc.fillRect(QRect(0, 0, 60, 40), kBlue);
        EXPECT_EQ(img.pixelColor(30, 20), kRed);
        dc.fillRect(QRect(0, 0, 60, 40), Face());
    }
    for (QPoint p : {QPoint(0, 0), QPoint(59, 39), QPoint(30, 20)}) {
        EXPECT_EQ(img.pixelColor(p), Face());
    }
}

TEST(CBufferedDC, SurfaceOriginIsTheCoveredRectanglesCorner) {
    QImage img = RedTarget();
    {
        QPainter target(&img);
        CBufferedDC dc(&target, QRect(10, 20, 30, 15));
        dc.fillRect(QRect(0, 0, 1, 1), kBlue);
        dc.fillRect(QRect(29, 14, 1, 1), Qt::green);
        dc.fillRect(QRect(35, 0, 10, 10), kBlue); // off the surface: goes nowhere
    }
    EXPECT_EQ(img.pixelColor(10, 20), kBlue);
    EXPECT_EQ(img.pixelColor(39, 34), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(15, 25), Face());
    for (QPoint outside :
         {QPoint(9, 20), QPoint(10, 19), QPoint(40, 20), QPoint(10, 35), QPoint(50, 5)}) {
        EXPECT_EQ(img.pixelColor(outside), kRed) << outside.x() << "," << outside.y();
    }
}

TEST(CBufferedDC, EmptyRectangleCoversTheClipBox) {
    QImage img = RedTarget();
    {
        QPainter target(&img);
        target.setClipRect(QRect(5, 6, 20, 10));
        CBufferedDC dc(&target);
        EXPECT_EQ(dc.Covered(), QRect(5, 6, 20, 10));
    }
    EXPECT_EQ(img.pixelColor(5, 6), Face());
    EXPECT_EQ(img.pixelColor(24, 15), Face());
    EXPECT_EQ(img.pixelColor(4, 6), kRed);
    EXPECT_EQ(img.pixelColor(25, 15), kRed);

    QImage whole = RedTarget();
    QPainter target(&whole);
    CBufferedDC dc(&target, QRect());
    EXPECT_EQ(dc.Covered(), QRect(0, 0, 60, 40));
}

TEST(CBufferedDC, WithoutATargetDrawingGoesNowhere) {
    QPainter inactive;
    {
        CBufferedDC dc(&inactive, QRect(0, 0, 10, 10));
        EXPECT_FALSE(dc.IsValid());
        dc.fillRect(QRect(0, 0, 10, 10), kBlue);
    }
    CBufferedDC none(nullptr);
    EXPECT_FALSE(none.IsValid());

    QImage img = RedTarget();
    {
        QPainter target(&img);
        CBufferedDC huge(&target, QRect(0, 0, 1 << 20, 1 << 20));
        EXPECT_FALSE(huge.IsValid());
    }
    EXPECT_EQ(img.pixelColor(0, 0), kRed);
}

} // namespace
} // namespace tovrin
