#include "controls/cool_pane.h"
#include "controls/gdi_draw.h"
#include "controls/hyper_link.h"
#include "controls/static_bar.h"
#include "controls/sys_colors.h"
#include "controls/text_source.h"
#include "platform/fonts.h"
#include "platform/keyboard_cues.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"
#include "res/resource.h"
#include "support/contrast_measure.h"
#include "support/editor_pane_items.h"
#include "support/scoped_palette.h"
#include "ui/notify_dlg.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace tovrin {
namespace {

// The owner-drawn controls under the light palette the tests run with, a dark one (a theme tool's
// "darker" scheme) and a high-contrast one (black, white and yellow).
QPalette Scheme(QRgb window, QRgb base, QRgb text, QRgb dark, QRgb highlight, QRgb grey) {
    QPalette p(QColor::fromRgb(text), QColor::fromRgb(window), QColor::fromRgb(0x979797),
               QColor::fromRgb(dark), QColor::fromRgb(0x4a4947), QColor::fromRgb(text),
               QColor::fromRgb(0xffffff), QColor::fromRgb(base), QColor::fromRgb(window));
    p.setColor(QPalette::Highlight, QColor::fromRgb(highlight));
    p.setColor(QPalette::PlaceholderText, QColor::fromRgba(grey));
    return p;
}
QPalette Darker() {
    return Scheme(0x222020, 0x3d3d3d, 0xffffff, 0x302f2e, 0x12608a, 0x80ffffff);
}
QPalette HighContrast() {
    return Scheme(0x000000, 0x000000, 0xffffff, 0x808080, 0xffff00, 0xffc0c0c0);
}

class PaneOwner : public QWidget, public TextSource {
public:
    QString OnGetText(int key) override { return QStringLiteral("Folder text %1").arg(key); }
};

QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The first 16 hex digits of the MD5 of the pixels, row by row.
[[maybe_unused]] QString Sum(const QImage& image) {
    const QImage rgb = Rgb(image);
    QCryptographicHash hash(QCryptographicHash::Md5);
    for (int y = 0; y < rgb.height(); ++y) {
        hash.addData(
            QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4));
    }
    return QString::fromLatin1(hash.result().toHex().left(16));
}

// The pane of the editor, with the keyboard's frame on its first item and the pointer on the
// lower folder's header.
QImage PaneScene() {
    InitSysColors();
    EditorPaneItems items;
    auto& [records, program] = items;
    PaneOwner owner;
    owner.resize(300, 300);
    IXCoolPane pane;
    pane.textFromParent = true;
    pane.Create(QRect(0, 0, 124, 240), &owner, IDC_PANE);
    pane.AddFolder({34, 3, records.data(), {}, 0, 0});
    pane.AddFolder({35, 3, program.data(), {}, 0, 0});
    owner.show();
    QApplication::setActiveWindow(&owner);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&owner));
    pane.setFocus(Qt::TabFocusReason);
    ShowKeyboardCues(&pane);
    QTest::mouseMove(&pane, QPoint(60, 228));
    return Rgb(pane.grab().toImage());
}

// The pointer on the lower folder's header, whose bottom and right edges then turn dark (or, on a
// dark desktop, light).
QImage HoveredPane() {
    QWidget owner;
    IXCoolPane pane;
    pane.Create(QRect(0, 0, 124, 240), &owner, IDC_PANE);
    pane.AddFolder({34, 0, nullptr, {}, 0, 0});
    pane.AddFolder({35, 0, nullptr, {}, 0, 0});
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 228), QPointF(60, 228), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&pane, &move);
    EXPECT_EQ(pane.Model().hotHeader(), 1);
    return Rgb(pane.grab().toImage());
}

QImage BarScene() {
    InitSysColors();
    QWidget parent;
    parent.resize(520, 60);
    IXStatic bar;
    bar.SetIcon(IDI_BAR_TOP);
    bar.Create(QStringLiteral("Редактор напоминаний"), QRect(0, 0, 518, 27), &parent);
    return Rgb(bar.grab().toImage());
}

// The link on its page, framed as when the keyboard brought the focus to it.
QImage LinkScene() {
    QWidget page;
    page.resize(260, 40);
    page.setAutoFillBackground(true);
    IXHyperLink link;
    link.Create(QStringLiteral("https://tovrin.example.org/"), QRect(10, 10, 200, 12), &page);
    page.show();
    QApplication::setActiveWindow(&page);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
    link.setFocus(Qt::TabFocusReason);
    ShowKeyboardCues(&link);
    return Rgb(page.grab().toImage());
}

// A day's heading and a message under it, as the current messages draw them.
QImage RowScene(bool header) {
    QImage image(512, 32, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    CNotifyDlg::DrawRow(painter, image.rect(),
                        header ? QStringLiteral("Сегодня вторник, 8 Декабрь 2026")
                               : QStringLiteral("Позвонить Ане насчёт билетов на поезд"),
                        header, CreateFont(-23, FW_THIN, QStringLiteral("Times New Roman")),
                        CreateFont(-14, FW_BOLD, QStringLiteral("Times New Roman")),
                        CSysColors().face);
    return image;
}

// The clocks of the editor's list on the list's own background.
QImage ClocksScene() {
    const COLORREF base = ToColorRef(QApplication::palette().color(QPalette::Base));
    QPixmap clocks = LoadBitmapResource(IDB_CLOCKS);
    if (ContrastWanted()) {
        clocks = ReadableOutline(clocks, Qt::white, 8, base, kMarkContrast);
    }
    clocks.setMask(clocks.createMaskFromColor(Qt::white, Qt::MaskInColor));
    QImage image(clocks.size(), QImage::Format_RGB32);
    image.fill(ToQColor(base));
    QPainter(&image).drawPixmap(0, 0, clocks);
    return image;
}

// The worst ratio of each kind in the scenes of the palette now set.
struct Ratios {
    double paneNames, paneFocus, paneHover, bar, link, linkFocus, heading, message, clocks;
};

Ratios Measure() {
    using test::TextContrast;
    Ratios r{};
    const QImage pane = PaneScene();
    // The first header's name, the second item's caption (below its icon at 92..124), the focus
    // frame's top side (3 pixels above the first icon) and the hover line on y = 238.
    r.paneNames = std::min(TextContrast(pane, QRect(3, 3, 118, 17)),
                           TextContrast(pane, QRect(3, 125, 118, 16)));
    r.paneFocus = TextContrast(pane, QRect(20, 23, 80, 4));
    r.paneHover = TextContrast(HoveredPane(), QRect(10, 235, 100, 4));
    r.bar = TextContrast(BarScene(), QRect(8, 0, 300, 27));
    const QImage link = LinkScene();
    r.link = TextContrast(link, QRect(11, 11, 180, 10));
    r.linkFocus = TextContrast(link, QRect(14, 7, 100, 4));
    r.heading = TextContrast(RowScene(true), QRect(0, 0, 512, 32));
    r.message = TextContrast(RowScene(false), QRect(0, 0, 512, 32));
    const QImage clocks = ClocksScene();
    r.clocks = test::OutlineContrast(clocks, clocks.rect(), test::PixelRef(clocks, 0, 0));
    return r;
}

using test::ScopedPalette;

void ExpectReadable(const Ratios& r) {
    for (const double v : {r.paneNames, r.paneFocus, r.paneHover, r.bar, r.link, r.linkFocus,
                           r.heading, r.message, r.clocks}) {
        EXPECT_GE(v, kMarkContrast);
    }
    std::printf("names %.2f focus %.2f hover %.2f bar %.2f link %.2f link-focus %.2f heading %.2f "
                "message %.2f clocks %.2f\n",
                r.paneNames, r.paneFocus, r.paneHover, r.bar, r.link, r.linkFocus, r.heading,
                r.message, r.clocks);
}

TEST(ReadableColours, TheLightDesktopKeepsEveryColourToThePixel) {
#ifndef _WIN32
    // Checksums of the same scenes drawn by the program before it knew of dark desktops. They hold
    // the text's own pixels, which only FreeType with these fonts draws so; Windows draws its text
    // otherwise, and keeps the checks below.
    EXPECT_EQ(Sum(PaneScene()), "022c4163a23da7c4");
    EXPECT_EQ(Sum(BarScene()), "8ced8f1ffff75d07");
    EXPECT_EQ(Sum(LinkScene()), "3237eb981d08cc8d");
    EXPECT_EQ(Sum(RowScene(true)), "34b2700e1573656e");
    EXPECT_EQ(Sum(RowScene(false)), "6e5564002cca40c2");
#endif
    EXPECT_EQ(HoveredPane().pixelColor(10, 238), QColor(Qt::black));
    EXPECT_EQ(ClocksScene().copy(0, 0, 16, 8), [] {
        QImage plain =
            LoadBitmapResource(IDB_CLOCKS).toImage().convertToFormat(QImage::Format_RGB32);
        return plain;
    }());
}

TEST(ReadableColours, DarkAndHighContrastDesktopsReadEverywhere) {
    {
        ScopedPalette dark(Darker());
        ExpectReadable(Measure());
    }
    ScopedPalette contrast(HighContrast());
    ExpectReadable(Measure());
}

TEST(ReadableColours, TheHeadingsBandStillFadesFromItsColourIntoTheFace) {
    ScopedPalette dark(Darker());
    const QImage row = RowScene(true);
    const QColor left = row.pixelColor(0, 31);
    const QColor right = row.pixelColor(511, 31);
    EXPECT_EQ(right, ToQColor(CSysColors().face));
    // Yellow: red and green above blue at the left end, and lighter than the face.
    EXPECT_GT(left.red(), left.blue() + 10);
    EXPECT_GT(left.green(), left.blue() + 10);
    EXPECT_GT(left.lightness(), right.lightness());
}

} // namespace
} // namespace tovrin
