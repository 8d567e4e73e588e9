#include "platform/list_view.h"

#include "platform/keyboard_cues.h"
#include "res/window_styles.h"

#include <QApplication>

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace tovrin {
namespace {

std::vector<QString> Texts(const ListView& list, int column = 0) {
    std::vector<QString> out;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        out.push_back(list.GetItemText(row, column));
    }
    return out;
}

// The journal: one column spanning the list, new rows on top, cleared at once.
TEST(ListView, JournalRowsGoOnTopAndClearAtOnce) {
    ListView list(nullptr, WS_VISIBLE | LVS_REPORT);
    list.resize(411, 154);
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
    EXPECT_TRUE(list.showGrid());
    EXPECT_EQ(list.InsertColumn(0, "Message"), 0);
    list.SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    EXPECT_TRUE(list.horizontalHeader()->stretchLastSection());
    list.InsertItem(0, "first");
    list.InsertItem(0, "second");
    list.InsertItem(0, "third");
    EXPECT_EQ(Texts(list), (std::vector<QString>{"third", "second", "first"}));
    list.show();
    EXPECT_GE(list.GetColumnWidth(0), list.viewport()->width() - 1);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    list.InsertItem(0, "again");
    EXPECT_EQ(Texts(list), std::vector<QString>{"again"});
}

// The focused row is no different from any other until the keyboard is used in the window; then
// a dotted frame runs round the whole row. The list scrolls by whole rows.
TEST(ListView, TheCurrentRowHasNoTintAndItsFrameWaitsForTheKeyboard) {
    QWidget window;
    window.resize(300, 130);
    auto* list = new ListView(&window, WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                           LVS_SHOWSELALWAYS);
    list->setGeometry(0, 0, 300, 130);
    list->InsertColumn(0, "Date");
    list->InsertColumn(1, "Message");
    list->SetColumnWidth(0, 80);
    list->SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
    for (int i = 0; i < 12; ++i) {
        list->InsertItem(i, QString());
    }
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    list->setFocus(Qt::MouseFocusReason);
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    ASSERT_EQ(list->GetFocusedRow(), 0);
    ASSERT_EQ(list->GetSelectedRow(), -1);
    const QRect row(0, 0, list->viewport()->width(), list->RowHeight());
    const QColor base = list->palette().color(QPalette::Base);
    const auto others = [&](const QImage& image) {
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y) {
            for (int x = row.left(); x <= row.right(); ++x) {
                n += image.pixelColor(x, y) != base ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_EQ(others(list->viewport()->grab().toImage()), 0);
    ShowKeyboardCues(list);
    const QImage framed = list->viewport()->grab().toImage();
    int dots = 0;
    for (int x = 0; x < row.width(); ++x) {
        dots += framed.pixelColor(x, 0) == QColor(Qt::black) ? 1 : 0;
    }
    EXPECT_GT(dots, row.width() / 3); // across both columns
    EXPECT_EQ(list->verticalScrollMode(), QAbstractItemView::ScrollPerItem);
}

TEST(ListView, OutOfRangeRowsAreRefused) {
    ListView list;
    list.InsertColumn(0, "a");
    EXPECT_EQ(list.InsertItem(-1, "x"), -1);
    EXPECT_EQ(list.InsertItem(99, "end"), 0); // past the end appends
    EXPECT_FALSE(list.SetItemText(1, 0, "x"));
    EXPECT_FALSE(list.SetItemText(0, 1, "x")); // no such column
    EXPECT_EQ(list.GetItemText(5, 0), "");
    EXPECT_FALSE(list.DeleteItem(1));
    EXPECT_FALSE(list.DeleteItem(-1));
    EXPECT_EQ(list.GetItemData(3), 0u);
    EXPECT_EQ(list.GetItemCount(), 1);
}

// The editor's list: two columns, data and an image per row, single selection.
class EditorList : public ::testing::Test {
protected:
    void SetUp() override {
        list.InsertColumn(0, "Date");
        list.InsertColumn(1, "Message");
        list.SetColumnWidth(0, 80);
        list.SetColumnWidth(1, 305);
        for (int i = 0; i < 5; ++i) {
            const int row = list.InsertItem(list.GetItemCount(), QString("d%1").arg(i), i % 2,
                                            static_cast<quintptr>(100 + i));
            list.SetItemText(row, 1, QString("m%1").arg(i));
        }
    }
    ListView list{nullptr, WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                  WS_EX_STATICEDGE};
};

TEST_F(EditorList, ColumnsAndRows) {
    EXPECT_EQ(list.GetColumnCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(0), 80);
    EXPECT_EQ(list.GetColumnWidth(1), 305);
    EXPECT_EQ(list.GetItemText(3, 1), "m3");
    EXPECT_EQ(list.GetItemData(3), 103u);
    EXPECT_EQ(list.GetItemImage(3), 1);
    EXPECT_TRUE(list.SetItemImage(3, ListView::kNoImage));
    EXPECT_EQ(list.GetItemImage(3), ListView::kNoImage);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(EditorList, DeletingTheSelectedRowLeavesNothingSelected) {
    list.SelectRow(2);
    EXPECT_EQ(list.GetSelectedRow(), 2);
    EXPECT_EQ(list.GetFocusedRow(), 2);
    ASSERT_TRUE(list.DeleteItem(2));
    EXPECT_EQ(list.GetSelectedRow(), -1); // the owner picks the next row itself
    EXPECT_EQ(Texts(list), (std::vector<QString>{"d0", "d1", "d3", "d4"}));
    list.SelectRow(2);
    EXPECT_EQ(list.GetItemText(list.GetSelectedRow(), 0), "d3");
}

TEST_F(EditorList, DeletingAnotherRowKeepsTheSelectionOnItsItem) {
    list.SelectRow(3);
    ASSERT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(list.GetSelectedRow(), 2);
    EXPECT_EQ(list.GetItemText(2, 0), "d3");
}

TEST_F(EditorList, SelectRowSelectsOneRowOnly) {
    list.SelectRow(1);
    list.SelectRow(4);
    EXPECT_FALSE(list.IsRowSelected(1));
    EXPECT_TRUE(list.IsRowSelected(4));
    list.SelectRow(-1);
    EXPECT_EQ(list.GetSelectedRow(), -1);
    list.SelectRow(5); // past the end: nothing
    EXPECT_EQ(list.GetSelectedRow(), -1);
}

TEST_F(EditorList, SortingByDataIsStableAndTheSelectionFollowsItsItem) {
    list.SelectRow(1); // d1, data 101
    // Odd data first, then even; equal keys keep their order.
    list.SortItems(
        [](quintptr a, quintptr b) { return static_cast<int>(b % 2) - static_cast<int>(a % 2); });
    EXPECT_EQ(Texts(list), (std::vector<QString>{"d1", "d3", "d0", "d2", "d4"}));
    EXPECT_EQ(Texts(list, 1), (std::vector<QString>{"m1", "m3", "m0", "m2", "m4"}));
    EXPECT_EQ(list.GetSelectedRow(), 0);
    EXPECT_EQ(list.GetFocusedRow(), 0);
}

TEST_F(EditorList, HeaderClicksAndDoubleClicksAreReported) {
    list.resize(400, 300);
    list.show();
    QSignalSpy columns(&list, &ListView::columnClicked);
    QSignalSpy doubles(&list, &ListView::rowDoubleClicked);
    QHeaderView* header = list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    ASSERT_EQ(columns.count(), 1);
    EXPECT_EQ(columns.at(0).at(0).toInt(), 1);

    const QRect second = list.visualRect(list.model()->index(1, 1));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(10, 290));
    ASSERT_EQ(doubles.count(), 2);
    EXPECT_EQ(doubles.at(0).at(0).toInt(), 1);
    EXPECT_EQ(doubles.at(1).at(0).toInt(), -1); // below the last row
}

TEST_F(EditorList, TheImagesKeepTheirPlaceAndTheMaskColourIsTransparent) {
    QImage strip(16, 8, QImage::Format_RGB32);
    strip.fill(Qt::white);
    for (int x = 2; x < 6; ++x) {
        strip.setPixel(x, 4, qRgb(0, 0, 0));
        strip.setPixel(x + 8, 4, qRgb(0, 0, 255));
    }
    list.SetImageList(QPixmap::fromImage(strip), 8, Qt::white);
    const auto image = [this](int row) {
        return list.model()->index(row, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
    };
    EXPECT_EQ(image(1).size(), QSize(8, 8));
    EXPECT_EQ(qAlpha(image(1).pixel(0, 0)), 0);
    EXPECT_EQ(image(1).pixel(3, 4), qRgb(0, 0, 255));
    EXPECT_EQ(image(0).pixel(3, 4), qRgb(0, 0, 0));
    // A row with no image still gets an empty space of the images' size.
    list.SetItemImage(2, ListView::kNoImage);
    EXPECT_EQ(image(2).size(), QSize(8, 8));
    EXPECT_EQ(qAlpha(image(2).pixel(3, 4)), 0);
    EXPECT_FALSE(list.model()->index(0, 1).data(Qt::DecorationRole).isValid());
}

// The current-messages list: no header, fixed 32-pixel rows drawn by the window.
TEST(ListView, OwnerDrawnRowsAreDrawnByTheCallbackOverTheWholeRow) {
    ListView list(nullptr, WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER,
                  WS_EX_STATICEDGE);
    list.resize(612, 265);
    list.SetExtendedStyle(LVS_EX_FLATSB);
    list.InsertColumn(0, "");
    list.SetColumnWidth(0, 607);
    list.SetBkColor(QColor(212, 208, 200));
    struct Drawn {
        QRect rect;
        int row;
        quintptr data;
    };
    std::vector<Drawn> drawn;
    list.SetOwnerDraw(32, [&drawn](QPainter& p, const QRect& rect, int row, quintptr data) {
        drawn.push_back({rect, row, data});
        p.fillRect(rect, data == 1 ? Qt::red : Qt::green);
    });
    list.InsertItem(0, "Today", ListView::kNoImage, 1);
    list.InsertItem(1, "message", ListView::kNoImage, 0);
    EXPECT_TRUE(list.horizontalHeader()->isHidden());
    EXPECT_EQ(list.RowHeight(), 32);

    const QImage shot = list.grab().toImage();
    ASSERT_GE(drawn.size(), 2u);
    const auto first = std::find_if(drawn.begin(), drawn.end(), [](auto& d) { return d.row == 0; });
    ASSERT_NE(first, drawn.end());
    EXPECT_EQ(first->data, 1u);
    EXPECT_EQ(first->rect.height(), 32);
    EXPECT_EQ(first->rect.width(), 607);
    const QPoint inView = list.viewport()->mapTo(&list, QPoint(300, 16));
    EXPECT_EQ(shot.pixelColor(inView), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(inView + QPoint(0, 32)), QColor(Qt::green));
    // Below the rows the background colour shows.
    EXPECT_EQ(shot.pixelColor(inView + QPoint(0, 100)), QColor(212, 208, 200));
}

// The editor with 100,000 reminders: rows kept by the owner, nothing stored per row.
class OwnerRows : public ::testing::Test {
protected:
    void SetUp() override {
        order.resize(kRows);
        std::iota(order.begin(), order.end(), 0);
        list.InsertColumn(0, "Date");
        list.InsertColumn(1, "Message");
        list.SetOwnerData({[this](int row, int column) {
                               if (row < 0 || row >= static_cast<int>(order.size())) {
                                   return QString();
                               }
                               return QString("%1:%2").arg(column).arg(order[row]);
                           },
                           [this](int row) {
                               return row < static_cast<int>(order.size()) ? order[row] % 2
                                                                           : ListView::kNoImage;
                           }},
                          kRows);
    }
    static constexpr int kRows = 100000;
    std::vector<int> order;
    ListView list{nullptr, WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS};
};

TEST_F(OwnerRows, AHundredThousandRowsAskOnlyForWhatIsShown) {
    int asked = 0;
    list.SetOwnerData({[&asked](int row, int column) {
                           ++asked;
                           return QString("%1:%2").arg(column).arg(row);
                       },
                       {}},
                      kRows);
    list.resize(386, 260);
    list.show();
    list.grab();
    EXPECT_EQ(list.GetItemCount(), kRows);
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 500); // a screenful, not a hundred thousand
    list.SelectRow(kRows - 1);
    list.EnsureVisible(kRows - 1);
    EXPECT_EQ(list.GetItemText(kRows - 1, 1), "1:99999");
    EXPECT_EQ(list.InsertItem(0, "stored"), -1); // no stored rows in this mode
}

TEST_F(OwnerRows, TheOwnersChangesReachTheView) {
    list.SelectRow(10);
    // Remove row 5: the selected item moves up with the rest.
    order.erase(order.begin() + 5);
    list.OwnerRowsRemoved(5, 1);
    EXPECT_EQ(list.GetItemCount(), kRows - 1);
    EXPECT_EQ(list.GetSelectedRow(), 9);
    EXPECT_EQ(list.GetItemText(9, 0), "0:10");
    // Append two.
    order.push_back(-1);
    order.push_back(-2);
    list.OwnerRowsInserted(kRows - 1, 2);
    EXPECT_EQ(list.GetItemCount(), kRows + 1);
    EXPECT_EQ(list.GetItemText(kRows, 0), "0:-2");
    // Removing the selected row leaves nothing selected.
    order.erase(order.begin() + 9);
    list.OwnerRowsRemoved(9, 1);
    EXPECT_EQ(list.GetSelectedRow(), -1);
}

TEST_F(OwnerRows, ReorderingWithThePermutationCarriesTheSelection) {
    list.SelectRow(3); // item 3
    std::vector<int> oldOfNew(order.rbegin(), order.rend());
    order = oldOfNew; // the owner reversed its rows
    list.OwnerRowsReordered(oldOfNew);
    EXPECT_EQ(list.GetSelectedRow(), kRows - 1 - 3);
    EXPECT_EQ(list.GetItemText(list.GetSelectedRow(), 0), "0:3");
    EXPECT_EQ(list.GetFocusedRow(), kRows - 1 - 3);
    // Without the permutation the selection keeps its row number.
    std::reverse(order.begin(), order.end());
    list.OwnerRowsReordered();
    EXPECT_EQ(list.GetSelectedRow(), kRows - 1 - 3);
    // A list that is no permutation is not taken as one.
    std::vector<int> bad(kRows, 0);
    list.OwnerRowsReordered(bad);
    EXPECT_EQ(list.GetSelectedRow(), kRows - 1 - 3);
}

TEST_F(OwnerRows, ResetTakesANewCount) {
    list.SelectRow(7);
    order.resize(3);
    list.OwnerRowsReset(3);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetSelectedRow(), -1);
    EXPECT_EQ(list.GetItemImage(1), 1);
}

} // namespace
} // namespace tovrin
