#include "controls/hyper_link.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "res/resource.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

// Stands in for the browser: records what the desktop was asked to open.
class OpenRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

class IXHyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(400, 300);
#ifdef _WIN32
        // Windows' shell is asked directly, with the verb "open".
        SetShellHookForTests([this](const QString& verb, const QString& target) {
            EXPECT_EQ(verb, "open");
            recorder.opened.push_back(QUrl(target));
        });
#else
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
#endif
    }
    void TearDown() override {
#ifdef _WIN32
        SetShellHookForTests({});
#else
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
#endif
    }

    QWidget parent;
    OpenRecorder recorder;
};

// The about page's link: created at (43, 112)-(198, 121), 155 wide.
const QRect kAboutLink(QPoint(43, 112), QSize(155, 9));

TEST_F(IXHyperLinkTest, SizesItselfToItsTextKeepingItsCorner) {
    for (const QString& text :
         {QStringLiteral("https://tovrin.org/reminders/and/a/rather/long/path/index.html"),
          QStringLiteral("x")}) {
        IXHyperLink link;
        ASSERT_TRUE(link.Create(text, kAboutLink, &parent));
        EXPECT_EQ(link.pos(), QPoint(43, 112));
        EXPECT_EQ(link.size(), QFontMetrics(link.LinkFont()).size(0, text));
    }
    IXHyperLink longLink;
    longLink.Create(QStringLiteral("https://tovrin.org/reminders/and/a/rather/long/path/"),
                    kAboutLink, &parent);
    EXPECT_GT(longLink.width(), 155);
    IXHyperLink shortLink;
    shortLink.Create(QStringLiteral("x"), kAboutLink, &parent);
    EXPECT_LT(shortLink.width(), 155);
}

TEST_F(IXHyperLinkTest, ThinParentFontPureBlueAndTheHand) {
    parent.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    IXHyperLink link;
    link.Create(QStringLiteral("https://tovrin.org/"), kAboutLink, &parent);
    EXPECT_EQ(link.LinkFont().weight(), QFont::Thin);
    EXPECT_EQ(link.LinkFont().pointSize(), 12);
    EXPECT_EQ(link.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(link.cursor().hotSpot(), LoadCursorResource(IDC_HAND).hotSpot());

    // Pure blue over the grey background: wherever the text covers a pixel, blue outweighs red
    // and green equally; black or coloured text would not.
    const QImage img = link.grab().toImage();
    bool inked = false;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            ASSERT_EQ(c.red(), c.green()) << x << "," << y;
            ASSERT_GE(c.blue(), c.red()) << x << "," << y;
            inked = inked || (c.red() < 100 && c.blue() > 240);
        }
    }
    EXPECT_TRUE(inked);
}

TEST_F(IXHyperLinkTest, OpensItsTextOnLeftButtonReleaseOnly) {
    parent.show();
    IXHyperLink link;
    link.Create(QStringLiteral("https://tovrin.org/"), kAboutLink, &parent);
    const QPoint inside(2, 2);

    QTest::mousePress(&link, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(recorder.opened.isEmpty());
    QTest::mouseRelease(&link, Qt::LeftButton, {}, inside);
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0], QUrl(QStringLiteral("https://tovrin.org/")));

    QTest::mouseClick(&link, Qt::RightButton, {}, inside);
    QTest::mousePress(&link, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(-20, 50)); // wandered off
    EXPECT_EQ(recorder.opened.size(), 1);
}

TEST_F(IXHyperLinkTest, TabReachesTheLinkWhichShowsItAndOpensWithSpace) {
    auto* before = new QWidget(&parent);
    before->setFocusPolicy(Qt::StrongFocus);
    IXHyperLink link;
    link.Create(QStringLiteral("https://tovrin.org/"), kAboutLink, &parent);
    EXPECT_EQ(link.focusPolicy(), Qt::TabFocus); // a click on it leaves the focus where it was
    parent.show();
    QApplication::setActiveWindow(&parent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    before->setFocus();
    const QImage unfocused = link.grab().toImage();
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(link.hasFocus());
    EXPECT_NE(link.grab().toImage(), unfocused);

    QTest::keyClick(&link, Qt::Key_Return); // the page's default button's, not the link's
    QTest::keyClick(&link, Qt::Key_Enter);
    QTest::keyClick(&link, Qt::Key_Space);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(&link, &held);
    QTest::keyClick(&link, Qt::Key_A);
    EXPECT_EQ(recorder.opened.size(), 1);
}

} // namespace
} // namespace tovrin

#include "hyper_link_test.moc"
