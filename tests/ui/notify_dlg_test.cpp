#include "controls/static_bar.h"
#include "core/lang/codepage.h"
#include "platform/fonts.h"
#include "platform/list_view.h"
#include "platform/sys_colors.h"
#include "ui/notify_dlg.h"
#include "window_fixture.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <memory>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;

class NotifyTest : public test::WindowTest {
protected:
    std::unique_ptr<CNotifyDlg> Open() {
        auto dlg = std::make_unique<CNotifyDlg>(owner_.get());
        EXPECT_TRUE(dlg->Create(owner_.get()));
        return dlg;
    }

    static QStringList Shown(const CNotifyDlg& dlg) {
        QStringList rows;
        for (int i = 0; i < dlg.List()->GetItemCount(); ++i) {
            rows << (dlg.List()->GetItemData(i) != 0 ? "# " : "") + dlg.List()->GetItemText(i, 0);
        }
        return rows;
    }

    std::unique_ptr<QWidget> owner_ = std::make_unique<QWidget>();
};

TEST_F(NotifyTest, NothingDueStaysHiddenAndLeavesAnEmptyStoreBehind) {
    auto dlg = Open();
    EXPECT_EQ(dlg->NothingDue(), 1);
    EXPECT_EQ(dlg->DueCount(), 0);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(std::filesystem::exists(kStorePath));
    EXPECT_EQ(std::filesystem::file_size(kStorePath), 0u);

    // Timed reminders never count, even on today's date.
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 18, 0), "timed"),
              Rec(MODE_DAILY, At(2026, 12, 8, 18, 0), "daily")});
    EXPECT_EQ(Open()->NothingDue(), 1);
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(NotifyTest, ListsDayHeadersAndMessagesForTheWholeWindow) {
    notifyDays = 2;
    PutStore({Rec(MODE_MONTHLY, At(2026, 1, 10), "Pay the rent"),
              Rec(MODE_YEARLY, At(1990, 12, 8), "Birthday"),
              Rec(MODE_ONCE, At(2026, 12, 8, 18, 0), "Timed, never here"),
              Rec(MODE_NONE, At(2026, 12, 10, 23, 59, 59), "Last day of the window"),
              Rec(MODE_NONE, At(2026, 12, 11, 0, 0, 0), "Just past it"),
              Rec(MODE_NONE, At(2026, 12, 8, 0, 0, 0), "Dated today")});
    auto dlg = Open();
    EXPECT_EQ(dlg->NothingDue(), 0);
    EXPECT_EQ(dlg->DueCount(), 4);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(Shown(*dlg), (QStringList{"# Сегодня, вторник, 8 декабря 2026", "Birthday",
                                        "Dated today", "# Скоро: Четверг, 10 декабря 2026",
                                        "Pay the rent", "Last day of the window"}));
    EXPECT_EQ(dlg->windowTitle(), "Tovrin v3.3");
    EXPECT_EQ(dlg->CaptionBar()->GetWindowText(), "Текущие сообщения");
    EXPECT_EQ(dlg->List()->RowHeight(), 32);
    EXPECT_EQ(dlg->HeaderFont().pixelSize(), 23);
    EXPECT_EQ(dlg->HeaderFont().weight(), QFont::Thin);
    EXPECT_EQ(dlg->MessageFont().pixelSize(), 14);
    EXPECT_EQ(dlg->MessageFont().weight(), QFont::Bold);
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(NotifyTest, AMissingNameCostsOneBoxHoweverManyRowsUseIt) {
    // The language file without December.
    std::string lang;
    for (const std::uint8_t byte : test::ReadBytes("Base/default.lng")) {
        lang.push_back(static_cast<char>(byte));
    }
    const std::string december = "33=" + Utf8ToCp1251("декабря");
    const std::size_t at = lang.find(december);
    ASSERT_NE(at, std::string::npos);
    lang.erase(at, december.size());
    test::WriteText("Base/default.lng", lang);

    notifyDays = 5;
    PutStore({Rec(MODE_NONE, At(2026, 12, 8, 10, 0), "a"),
              Rec(MODE_NONE, At(2026, 12, 9, 10, 0), "b"),
              Rec(MODE_NONE, At(2026, 12, 11, 10, 0), "c")});
    auto dlg = Open();
    EXPECT_EQ(dlg->DueCount(), 3);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].text, "Error");
    EXPECT_EQ(quits_.Count(), 1);
    EXPECT_EQ(dlg->List()->GetItemText(0, 0), "Сегодня, вторник, 8  2026");
}

TEST_F(NotifyTest, EnterAndEscapeLeaveItOpenAndClosingDestroysIt) {
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Birthday")});
    auto dlg = Open();
    dlg->List()->setFocus();
    QTest::keyClick(dlg->List(), Qt::Key_Escape);
    QTest::keyClick(dlg->List(), Qt::Key_Return);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->IsWindow());

    dlg->close();
    EXPECT_FALSE(dlg->IsWindow());
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(NotifyTest, RowsFadeFromTheirColourIntoTheButtonFace) {
    const COLORREF face = MakeColorRef(212, 208, 200);
    QImage image(512, 32, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        CNotifyDlg::DrawRow(painter, QRect(0, 0, 512, 32), QString(), true, QFont(), QFont(), face);
    }
    EXPECT_EQ(image.pixelColor(0, 10), QColor(255, 255, 128));
    EXPECT_EQ(image.pixelColor(511, 10), ToQColor(face));
    EXPECT_EQ(image.pixelColor(256, 31),
              ToQColor(BlendColor(MakeColorRef(255, 255, 192), face, 50)));

    image.fill(Qt::black);
    {
        QPainter painter(&image);
        CNotifyDlg::DrawRow(painter, QRect(0, 0, 512, 32), "MMMMMMMM", false, QFont(),
                            CreateFont(-14, FW_BOLD, "Times New Roman"), face);
    }
    EXPECT_EQ(image.pixelColor(0, 31), QColor(128, 128, 255));
    // The text is centred across the top half of the row, in dark green.
    int green = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 512; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 100 && c.red() < 60 && c.blue() < 60) {
                ++green;
                EXPECT_LT(y, 20);
                EXPECT_GT(x, 160);
                EXPECT_LT(x, 352);
            }
        }
    }
    EXPECT_GT(green, 20);
}

} // namespace
} // namespace tovrin
