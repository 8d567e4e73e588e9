#pragma once

#include <QAccessible>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QTableView>

#include <cstdint>
#include <functional>
#include <span>

class QPainter;

namespace tovrin {

class ListModel;

// Column formats and the column width that fills the rest of the list.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// The report-view list the windows use. Rows come in two ways:
//  - stored: InsertItem / SetItemText / SetItemData / DeleteItem, one item per row, for short
//    lists (the journal, the current messages);
//  - kept by the owner: SetOwnerData with a row count and a callback for a row's text and image;
//    the owner changes its rows and says what changed (OwnerRows*). Nothing is stored per row,
//    so 100,000 rows cost no more than a screenful. Sorting is then the owner's: it permutes its
//    rows and calls OwnerRowsReordered.
// Style bits: LVS_SINGLESEL, LVS_SHOWSELALWAYS (otherwise the selection is not drawn while the
// list has no focus), LVS_NOCOLUMNHEADER, LVS_OWNERDRAWFIXED (rows drawn by SetOwnerDraw's
// callback); WS_EX_STATICEDGE / WS_EX_CLIENTEDGE / WS_BORDER frames. Extended styles: grid lines;
// a selected row is always highlighted whole (full-row select); flat scroll bars are what Qt's
// scroll bars look like anyway.
class ListView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kNoImage = -1;

    struct OwnerData {
        // Asked only for rows below the count the view was last told.
        std::function<QString(int row, int column)> text;
        // The image of a row for column 0, or kNoImage; may be left empty.
        std::function<int(int row)> image;
    };
    // Draws one whole row (all columns) of an owner-drawn list. rect is in the list's viewport
    // coordinates; selection and focus are not drawn by the list.
    using DrawRow =
        std::function<void(QPainter& painter, const QRect& rect, int row, quintptr data)>;

    explicit ListView(QWidget* parent = nullptr, uint32_t style = 0, uint32_t exStyle = 0);
    ~ListView() override;

    // Look.
    void SetExtendedStyle(uint32_t exStyle); // LVS_EX_* bits, replacing the previous ones
    uint32_t ExtendedStyle() const { return lvExStyle_; }
    void SetBkColor(const QColor& color);
    // Images of imageSize x imageSize side by side in strip; pixels of the mask colour are
    // transparent. Shown before the text of column 0.
    void SetImageList(const QPixmap& strip, int imageSize, const QColor& mask);
    // Rows of fixed height, each painted by draw (owner-drawn lists).
    void SetOwnerDraw(int rowHeight, DrawRow draw);
    int RowHeight() const;

    // Columns.
    int InsertColumn(int column, const QString& title, int format = LVCFMT_LEFT);
    // Pixels, or LVSCW_AUTOSIZE (fit the contents), or LVSCW_AUTOSIZE_USEHEADER (the last
    // column: fill the rest of the list's width, and keep filling it).
    void SetColumnWidth(int column, int width);
    int GetColumnWidth(int column) const;
    int GetColumnCount() const;

    // Stored rows. Row arguments out of range are refused (false, -1 or empty).
    int InsertItem(int row, const QString& text, int image = kNoImage, quintptr data = 0);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemImage(int row, int image);
    int GetItemImage(int row) const;
    bool SetItemData(int row, quintptr data);
    quintptr GetItemData(int row) const;
    bool DeleteItem(int row);
    void DeleteAllItems();
    // Room for this many stored rows, before a long fill.
    void ReserveItems(int rows);
    // Stable ascending sort by the rows' data values; compare returns <0, 0 or >0. The selected
    // row stays selected wherever it moves.
    void SortItems(const std::function<int(quintptr, quintptr)>& compare);

    // Rows kept by the owner.
    void SetOwnerData(OwnerData source, int count);
    bool IsOwnerData() const;
    void OwnerRowsReset(int count);               // everything changed
    void OwnerRowsInserted(int first, int count); // after the owner inserted them
    void OwnerRowsRemoved(int first, int count);  // after the owner removed them
    void OwnerRowsChanged(int first, int last);   // texts or images of these rows
    // After the owner permuted its rows: oldRowOfNewRow[n] is where row n was. With it the
    // selection follows its item; without it (empty) the selection stays on its row number.
    void OwnerRowsReordered(std::span<const int> oldRowOfNewRow = {});

    int GetItemCount() const;

    // How a screen reader hears the rows. spoken(row, column) may say more than a cell shows (an
    // empty text leaves the cell's own). An owner-drawn list is read row by row, and role(row)
    // says what each row is (a list item when not set).
    void SetRowReading(std::function<QString(int row, int column)> spoken);
    void SetRowRoles(std::function<QAccessible::Role(int row)> role) { rowRole_ = std::move(role); }
    QAccessible::Role RowRole(int row) const;
    bool IsOwnerDrawn() const;

    // Selection and focus.
    int GetSelectedRow() const; // the first selected row, -1 for none
    int GetFocusedRow() const;  // -1 for none
    bool IsRowSelected(int row) const;
    // Selects row alone and gives it the focus mark; -1 clears the selection.
    void SelectRow(int row);
    void EnsureVisible(int row);
    // The row at a point of the viewport, -1 for none.
    int HitTest(const QPoint& viewportPoint) const;

signals:
    // A double click in the list; row -1 when it was not on a row.
    void rowDoubleClicked(int row);
    // A click on a column's header.
    void columnClicked(int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    class OwnerDrawDelegate;
    class PlainDelegate;

    void TellReaderTheCurrentRow();

    bool SelectionIn(int first, int last) const;
    void DropSelectionIf(bool removedSelected);
    void ApplyRowHeight();
    void ApplySelectionPalette();

    ListModel* model_;
    OwnerDrawDelegate* ownerDraw_ = nullptr;
    uint32_t style_;
    uint32_t lvExStyle_ = 0;
    int ownerRowHeight_ = 0;
    int imageSize_ = 0;
    std::function<QAccessible::Role(int row)> rowRole_;
};

} // namespace tovrin
