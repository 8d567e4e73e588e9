#include "controls/static_bar.h"
#include "controls/sys_colors.h"
#include "platform/dlg_item.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

class IXStaticTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitSysColors();
        parent.resize(520, 300);
    }
    QImage Grab(IXStatic& bar) {
        return bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The icon as the bar should show it: drawn over the grey band.
    QImage IconOverBand(int id) {
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(ToQColor(sysColors.grayText));
        QPainter p(&expected);
        p.drawPixmap(0, 0, LoadIconPixmap(id));
        return expected;
    }
    QWidget parent;
};

TEST_F(IXStaticTest, PaintsTheBandTheTextAndTheIconAtTheRightEnd) {
    IXStatic bar;
    bar.SetIcon(IDI_BAR_TOP);
    ASSERT_TRUE(bar.Create(QStringLiteral("Редактор"), QRect(0, 0, 518, 27), &parent));
    const QImage img = Grab(bar);
    ASSERT_EQ(img.size(), QSize(518, 27));
    EXPECT_EQ(img.pixelColor(2, 2), ToQColor(sysColors.grayText));
    EXPECT_EQ(img.pixelColor(300, 20), ToQColor(sysColors.grayText));
    // x = 518 - 16 - 8, y = (0 + 27 - 16) / 2.
    EXPECT_EQ(img.copy(494, 5, 16, 16), IconOverBand(IDI_BAR_TOP));
    // The title is drawn in the window colour, starting 8 pixels in.
    bool textSeen = false;
    for (int x = 0; x < 120 && !textSeen; ++x) {
        for (int y = 0; y < 27 && !textSeen; ++y) {
            textSeen = img.pixelColor(x, y) == ToQColor(sysColors.window);
            EXPECT_TRUE(!textSeen || x >= 8) << x;
        }
    }
    EXPECT_TRUE(textSeen);
}

TEST_F(IXStaticTest, WithoutIconOnlyBandAndText) {
    IXStatic bar;
    bar.Create(QString(), QRect(0, 0, 200, 26), &parent);
    const QImage img = Grab(bar);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            ASSERT_EQ(img.pixelColor(x, y), ToQColor(sysColors.grayText));
        }
    }
}

TEST_F(IXStaticTest, IconsReplaceEachOtherAndAMissingOneCountsAs16) {
    IXStatic bar;
    bar.SetIcon(IDI_NEW_RECORD);
    bar.Create(QStringLiteral("x"), QRect(8, 11, 368, 26), &parent);
    bar.SetIcon(IDI_CHANGE_RECORD);
    EXPECT_EQ(Grab(bar).copy(368 - 16 - 8, 5, 16, 16), IconOverBand(IDI_CHANGE_RECORD));

    bar.SetIcon(9999);
    EXPECT_FALSE(bar.HasIcon());
    EXPECT_EQ(bar.IconWidth(), 16);
    EXPECT_EQ(bar.IconHeight(), 16);
}

TEST_F(IXStaticTest, BoundBarTakesThePlaceholdersExactPlace) {
    QWidget placeholder(&parent);
    placeholder.setGeometry(17, 45, 300, 22);
    SetDlgCtrlID(&placeholder, IDC_SETTINGS_BAR);

    IXStatic bound(IDC_SETTINGS_BAR);
    bound.Create(QStringLiteral("x"), QRect(0, 0, 10, 10), &parent);
    EXPECT_EQ(bound.geometry(), QRect(17, 45, 300, 22));

    IXStatic unbound(IDC_ABOUT_BAR); // no such control: the given rectangle stands
    unbound.Create(QStringLiteral("x"), QRect(1, 2, 30, 20), &parent);
    EXPECT_EQ(unbound.geometry(), QRect(1, 2, 30, 20));
    EXPECT_EQ(GetDlgCtrlID(&unbound), IDC_STATIC);
}

TEST_F(IXStaticTest, TextIsReadAtEveryPaint) {
    IXStatic bar;
    bar.Create(QStringLiteral("One"), QRect(0, 0, 300, 27), &parent);
    const QImage before = Grab(bar);
    bar.SetWindowText(QStringLiteral("Something else entirely"));
    EXPECT_NE(Grab(bar), before);
    EXPECT_EQ(bar.GetWindowText(), QStringLiteral("Something else entirely"));
}

TEST_F(IXStaticTest, FontIsTheParentsMadeTwentyHighAndExtraBold) {
    parent.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    IXStatic bar;
    bar.Create(QStringLiteral("x"), QRect(0, 0, 100, 27), &parent);
    EXPECT_EQ(bar.CaptionFont().family(), parent.font().family());
    EXPECT_EQ(bar.CaptionFont().weight(), QFont::ExtraBold);
    const int height = QFontMetrics(bar.CaptionFont()).height();
    EXPECT_LE(height, 20);
    EXPECT_GE(height, 17);
}

TEST_F(IXStaticTest, APaletteChangedWhileRunningReachesTheBarsMadeAfterIt) {
    const QColor band = ToQColor(sysColors.grayText);
    const QPalette saved = QApplication::palette();
    QPalette changed = saved;
    changed.setColor(QPalette::PlaceholderText, QColor(200, 0, 0));
    changed.setColor(QPalette::Base, QColor(0, 90, 0));
    QApplication::setPalette(changed);
    IXStatic bar;
    bar.Create(QString(), QRect(0, 0, 50, 20), &parent);
    const QColor painted = Grab(bar).pixelColor(10, 10);
    QApplication::setPalette(saved);
    EXPECT_EQ(painted, QColor(200, 0, 0));
    EXPECT_EQ(ToQColor(sysColors.grayText), band);
}

TEST_F(IXStaticTest, CreateNeedsAParent) {
    IXStatic bar;
    EXPECT_FALSE(bar.Create(QStringLiteral("x"), QRect(0, 0, 10, 10), nullptr));
}

} // namespace
} // namespace tovrin
