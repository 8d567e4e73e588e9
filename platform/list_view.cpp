#include "platform/list_view.h"

#include "platform/keyboard_cues.h"
#include "platform/list_model.h"
#include "platform/list_view_accessible.h"
#include "platform/reader_news.h"
#include "platform/sys_colors.h"
#include "res/window_styles.h"

#include <QBitmap>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tovrin {

// Hands each row of an owner-drawn list to the owner's callback once, over the row's full width.
class ListView::OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(ListView* view, DrawRow draw)
        : QStyledItemDelegate(view), view_(view), draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != 0 || !draw_) {
            return;
        }
        const int width = std::max(option.rect.width(), view_->horizontalHeader()->length());
        const QRect row(option.rect.left(), option.rect.top(), width, option.rect.height());
        painter->save();
        painter->setClipRect(row.intersected(view_->viewport()->rect()));
        draw_(*painter, row, index.row(), view_->GetItemData(index.row()));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(view_->RowHeight());
        return size;
    }

private:
    ListView* view_;
    DrawRow draw_;
};

// The style's item painting, without the marks a list view of the classic kind never draws: no
// tint or frame for the current cell (the list draws the focused row's frame itself, when the
// keyboard asks for it) and no highlight under the pointer.
class ListView::PlainDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    }
};

ListView::ListView(QWidget* parent, uint32_t style, uint32_t exStyle)
    : QTableView(parent), model_(new ListModel(this)), style_(style) {
    setModel(model_);
    setItemDelegate(new PlainDelegate(this));
    WatchKeyboardCues();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode((style & LVS_SINGLESEL) != 0 ? QAbstractItemView::SingleSelection
                                                  : QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control, as in any dialog.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setShowGrid(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Up and down by whole rows, as a report list scrolls: never half a row at the top.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy((style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);

    if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    } else if ((exStyle & WS_EX_STATICEDGE) != 0) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else if ((style & WS_BORDER) != 0) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }

    verticalHeader()->hide();
    // Fixed heights keep a long list cheap: nothing is measured per row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);

    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsClickable((style & LVS_NOSORTHEADER) == 0);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setVisible((style & LVS_NOCOLUMNHEADER) == 0);
    connect(header, &QHeaderView::sectionClicked, this, &ListView::columnClicked);

    ApplySelectionPalette();
    ApplyRowHeight();
    InstallListViewAccessible(this);
}

ListView::~ListView() = default;

void ListView::SetRowReading(std::function<QString(int row, int column)> spoken) {
    model_->SetSpoken(std::move(spoken));
}

QAccessible::Role ListView::RowRole(int row) const {
    return rowRole_ ? rowRole_(row) : QAccessible::ListItem;
}

bool ListView::IsOwnerDrawn() const {
    return (style_ & LVS_OWNERDRAWFIXED) != 0;
}

void ListView::SetExtendedStyle(uint32_t exStyle) {
    lvExStyle_ = exStyle;
    setShowGrid((exStyle & LVS_EX_GRIDLINES) != 0);
}

void ListView::SetBkColor(const QColor& color) {
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, color);
    }
    setPalette(p);
    ApplySelectionPalette();
}

void ListView::SetImageList(const QPixmap& strip, int imageSize, const QColor& mask) {
    std::vector<QPixmap> images;
    if (imageSize > 0 && !strip.isNull()) {
        QPixmap masked = strip;
        masked.setMask(strip.createMaskFromColor(mask, Qt::MaskInColor));
        for (int x = 0; x + imageSize <= strip.width(); x += imageSize) {
            images.push_back(masked.copy(x, 0, imageSize, std::min(imageSize, strip.height())));
        }
    }
    imageSize_ = images.empty() ? 0 : imageSize;
    setIconSize(QSize(imageSize_, imageSize_));
    model_->SetImages(std::move(images), imageSize_);
    ApplyRowHeight();
}

void ListView::SetOwnerDraw(int rowHeight, DrawRow draw) {
    ownerRowHeight_ = std::max(1, rowHeight);
    delete ownerDraw_;
    ownerDraw_ = new OwnerDrawDelegate(this, std::move(draw));
    setItemDelegate(ownerDraw_);
    ApplyRowHeight();
}

int ListView::RowHeight() const {
    return verticalHeader()->defaultSectionSize();
}

int ListView::InsertColumn(int column, const QString& title, int format) {
    Qt::Alignment alignment = Qt::AlignLeft;
    // The first column is always left-aligned, whatever is asked.
    if (column > 0 && format == LVCFMT_RIGHT) {
        alignment = Qt::AlignRight;
    } else if (column > 0 && format == LVCFMT_CENTER) {
        alignment = Qt::AlignHCenter;
    }
    return model_->InsertColumn(column, title, alignment);
}

void ListView::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= GetColumnCount()) {
        return;
    }
    QHeaderView* header = horizontalHeader();
    if (width == LVSCW_AUTOSIZE_USEHEADER && column == GetColumnCount() - 1) {
        header->setStretchLastSection(true);
        return;
    }
    if (column == GetColumnCount() - 1) {
        header->setStretchLastSection(false);
    }
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        resizeColumnToContents(column);
        if (width == LVSCW_AUTOSIZE_USEHEADER) {
            setColumnWidth(column, std::max(columnWidth(column), header->sectionSizeHint(column)));
        }
        return;
    }
    setColumnWidth(column, std::max(0, width));
}

int ListView::GetColumnWidth(int column) const {
    return columnWidth(column);
}

int ListView::GetColumnCount() const {
    return model_->columnCount();
}

int ListView::InsertItem(int row, const QString& text, int image, quintptr data) {
    if (row < 0) {
        return -1;
    }
    return model_->InsertRow(row, text, image, data);
}

bool ListView::SetItemText(int row, int column, const QString& text) {
    return model_->SetText(row, column, text);
}

QString ListView::GetItemText(int row, int column) const {
    return model_->Text(row, column);
}

bool ListView::SetItemImage(int row, int image) {
    return model_->SetImage(row, image);
}

int ListView::GetItemImage(int row) const {
    return model_->Image(row);
}

bool ListView::SetItemData(int row, quintptr data) {
    return model_->SetData(row, data);
}

quintptr ListView::GetItemData(int row) const {
    return model_->Data(row);
}

bool ListView::DeleteItem(int row) {
    const bool hit = SelectionIn(row, row);
    const bool removed = model_->RemoveRow(row);
    DropSelectionIf(removed && hit);
    return removed;
}

void ListView::DeleteAllItems() {
    model_->Clear();
}

void ListView::ReserveItems(int rows) {
    model_->Reserve(rows);
}

void ListView::SortItems(const std::function<int(quintptr, quintptr)>& compare) {
    if (compare) {
        model_->Sort(compare);
    }
}

void ListView::SetOwnerData(OwnerData source, int count) {
    model_->SetOwnerData(ListModel::OwnerData{std::move(source.text), std::move(source.image)},
                         count);
}

bool ListView::IsOwnerData() const {
    return model_->IsOwnerData();
}

void ListView::OwnerRowsReset(int count) {
    model_->OwnerReset(count);
}

void ListView::OwnerRowsInserted(int first, int count) {
    model_->OwnerInserted(first, count);
}

void ListView::OwnerRowsRemoved(int first, int count) {
    const bool hit = count > 0 && SelectionIn(first, first + count - 1);
    model_->OwnerRemoved(first, count);
    DropSelectionIf(hit);
}

bool ListView::SelectionIn(int first, int last) const {
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && range.top() <= last && range.bottom() >= first) {
            return true;
        }
    }
    return false;
}

// Qt moves a single selection on to the next row when the selected one goes; the windows expect
// nothing selected then, and choose the next row themselves.
void ListView::DropSelectionIf(bool removedSelected) {
    if (removedSelected && selectionMode() == QAbstractItemView::SingleSelection) {
        selectionModel()->clearSelection();
    }
}

void ListView::OwnerRowsChanged(int first, int last) {
    model_->OwnerChanged(first, last);
}

void ListView::OwnerRowsReordered(std::span<const int> oldRowOfNewRow) {
    model_->OwnerReordered(oldRowOfNewRow);
}

int ListView::GetItemCount() const {
    return model_->rowCount();
}

int ListView::GetSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

int ListView::GetFocusedRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool ListView::IsRowSelected(int row) const {
    return row >= 0 && row < GetItemCount() && selectionModel()->isRowSelected(row, {});
}

void ListView::SelectRow(int row) {
    if (row < 0 || row >= GetItemCount() || GetColumnCount() == 0) {
        selectionModel()->clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                 QItemSelectionModel::Rows);
}

void ListView::EnsureVisible(int row) {
    if (row >= 0 && row < GetItemCount() && GetColumnCount() > 0) {
        scrollTo(model_->index(row, 0), QAbstractItemView::EnsureVisible);
    }
}

int ListView::HitTest(const QPoint& viewportPoint) const {
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : -1;
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit rowDoubleClicked(HitTest(event->position().toPoint()));
    }
}

void ListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    // The focused row's dotted frame, across every column, once the keyboard has been used in
    // the window; an owner-drawn list draws its own rows whole.
    if (ownerDraw_ != nullptr || !hasFocus() || !KeyboardCuesShown(this) || GetColumnCount() == 0) {
        return;
    }
    const int row = GetFocusedRow();
    if (row < 0) {
        return;
    }
    const QRect first = visualRect(model_->index(row, 0));
    if (!first.isValid()) {
        return;
    }
    const int right = std::min(first.left() + horizontalHeader()->length(), viewport()->width());
    QPainter painter(viewport());
    const bool selected = selectionModel() != nullptr && selectionModel()->isRowSelected(row, {});
    DrawFocusFrame(painter, QRect(first.topLeft(), QPoint(right - 1, first.bottom())),
                   ToColorRef(palette().color(selected ? QPalette::Highlight : QPalette::Base)));
}

// The frame runs across the row; Qt repaints only the current cell on these.
void ListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    viewport()->update();
}

void ListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
    // After the toolkit's own news of the list taking the keys, which would otherwise be the
    // last a reader heard.
    QMetaObject::invokeMethod(this, &ListView::TellReaderTheCurrentRow, Qt::QueuedConnection);
}

// The toolkit tells a reader of the current row only when the row changes: coming back to the
// list, or opening a window on it, the user would hear the list's name and not where the keys are.
void ListView::TellReaderTheCurrentRow() {
    const QModelIndex current = currentIndex();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(this);
    if (!hasFocus() || !current.isValid() || list == nullptr) {
        return;
    }
    QAccessibleTableInterface* table = list->tableInterface();
    QAccessibleInterface* item =
        table != nullptr ? table->cellAt(current.row(), current.column()) : list->focusChild();
    const int entry = item != nullptr ? list->indexOfChild(item) : -1;
    if (entry >= 0) {
        QAccessibleEvent news(this, QAccessible::Focus);
        news.setChild(entry);
        TellReader(news);
    }
}

void ListView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyRowHeight();
    }
}

void ListView::ApplyRowHeight() {
    int height = ownerRowHeight_;
    if (height <= 0) {
        // A line of text with a little air, and room for the images.
        height = std::max(fontMetrics().height() + 4, imageSize_ + 2);
    }
    verticalHeader()->setDefaultSectionSize(height);
}

// Without LVS_SHOWSELALWAYS the selection is hidden while another control has the focus.
void ListView::ApplySelectionPalette() {
    if ((style_ & LVS_SHOWSELALWAYS) != 0) {
        return;
    }
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Inactive, QPalette::Base));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Inactive, QPalette::Text));
    setPalette(p);
}

} // namespace tovrin
