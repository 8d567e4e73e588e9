#include "platform/list_model.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace tovrin {

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return IsOwnerData() ? ownerCount_ : static_cast<int>(rows_.size());
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !ValidRow(index.row())) {
        return {};
    }
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Text(row, column);
    case Qt::AccessibleTextRole:
        return spoken_ ? spoken_(row, column) : QString();
    case Qt::DecorationRole: {
        // With an image list, the first column always keeps the image's place, so texts line up
        // whether a row has an image or not.
        if (column != 0 || images_.empty()) {
            return {};
        }
        const int image = Image(row);
        return image >= 0 && image < static_cast<int>(images_.size()) ? images_[image] : blank_;
    }
    case Qt::TextAlignmentRole:
        if (column >= 0 && column < columnCount()) {
            return QVariant::fromValue(columns_[column].alignment | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return columns_[section].title;
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
    }
    return {};
}

int ListModel::InsertColumn(int column, const QString& title, Qt::Alignment alignment) {
    const int at = std::clamp(column, 0, columnCount());
    beginInsertColumns({}, at, at);
    columns_.insert(columns_.begin() + at, Column{title, alignment});
    for (Row& r : rows_) {
        if (static_cast<int>(r.texts.size()) > at) {
            r.texts.insert(r.texts.begin() + at, QString());
        }
    }
    endInsertColumns();
    return at;
}

void ListModel::SetImages(std::vector<QPixmap> images, int size) {
    images_ = std::move(images);
    blank_ = QPixmap(size, size);
    blank_.fill(Qt::transparent);
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
    }
}

int ListModel::InsertRow(int row, const QString& text, int image, quintptr data) {
    if (IsOwnerData()) {
        return -1;
    }
    const int at = std::clamp(row, 0, rowCount());
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, Row{{text}, image, data});
    endInsertRows();
    return at;
}

bool ListModel::SetText(int row, int column, const QString& text) {
    if (IsOwnerData() || !ValidRow(row) || column < 0 || column >= columnCount()) {
        return false;
    }
    std::vector<QString>& texts = rows_[row].texts;
    if (static_cast<int>(texts.size()) <= column) {
        texts.resize(column + 1);
    }
    texts[column] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    return true;
}

QString ListModel::Text(int row, int column) const {
    if (!ValidRow(row) || column < 0) {
        return {};
    }
    if (IsOwnerData()) {
        return owner_.text(row, column);
    }
    const std::vector<QString>& texts = rows_[row].texts;
    return column < static_cast<int>(texts.size()) ? texts[column] : QString();
}

bool ListModel::SetImage(int row, int image) {
    if (IsOwnerData() || !ValidRow(row)) {
        return false;
    }
    rows_[row].image = image;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
    return true;
}

int ListModel::Image(int row) const {
    if (!ValidRow(row)) {
        return kNoImage;
    }
    if (IsOwnerData()) {
        return owner_.image ? owner_.image(row) : kNoImage;
    }
    return rows_[row].image;
}

bool ListModel::SetData(int row, quintptr data) {
    if (IsOwnerData() || !ValidRow(row)) {
        return false;
    }
    rows_[row].data = data;
    return true;
}

quintptr ListModel::Data(int row) const {
    return !IsOwnerData() && ValidRow(row) ? rows_[row].data : 0;
}

bool ListModel::RemoveRow(int row) {
    if (IsOwnerData() || !ValidRow(row)) {
        return false;
    }
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

void ListModel::Clear() {
    beginResetModel();
    rows_.clear();
    if (IsOwnerData()) {
        ownerCount_ = 0;
    }
    endResetModel();
}

void ListModel::Reserve(int rows) {
    if (!IsOwnerData() && rows > 0) {
        rows_.reserve(static_cast<size_t>(rows));
    }
}

void ListModel::Sort(const std::function<int(quintptr, quintptr)>& compare) {
    if (IsOwnerData() || rows_.size() < 2) {
        return;
    }
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compare(rows_[a].data, rows_[b].data) < 0; });
    Reorder(order);
}

void ListModel::SetOwnerData(OwnerData owner, int count) {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    owner_ = std::move(owner);
    ownerCount_ = owner_.text ? std::max(0, count) : 0;
    endResetModel();
}

void ListModel::OwnerReset(int count) {
    if (!IsOwnerData()) {
        return;
    }
    beginResetModel();
    ownerCount_ = std::max(0, count);
    endResetModel();
}

void ListModel::OwnerInserted(int first, int count) {
    if (!IsOwnerData() || count <= 0) {
        return;
    }
    const int at = std::clamp(first, 0, ownerCount_);
    beginInsertRows({}, at, at + count - 1);
    ownerCount_ += count;
    endInsertRows();
}

void ListModel::OwnerRemoved(int first, int count) {
    if (!IsOwnerData() || first < 0 || count <= 0 || first >= ownerCount_) {
        return;
    }
    const int last = std::min(ownerCount_, first + count) - 1;
    beginRemoveRows({}, first, last);
    ownerCount_ -= last - first + 1;
    endRemoveRows();
}

void ListModel::OwnerChanged(int first, int last) {
    if (!IsOwnerData() || ownerCount_ == 0) {
        return;
    }
    const int from = std::clamp(first, 0, ownerCount_ - 1);
    const int to = std::clamp(last, from, ownerCount_ - 1);
    emit dataChanged(index(from, 0), index(to, std::max(0, columnCount() - 1)));
}

void ListModel::OwnerReordered(std::span<const int> oldRowOfNewRow) {
    if (!IsOwnerData()) {
        return;
    }
    if (static_cast<int>(oldRowOfNewRow.size()) != ownerCount_) {
        // No usable permutation: the rows are redrawn, the selection stays on its row numbers.
        emit layoutAboutToBeChanged();
        emit layoutChanged();
        return;
    }
    Reorder(oldRowOfNewRow);
}

// Moves stored rows into the new order and carries the selection and the focus with them. The
// order is only read: a million owner-drawn rows cost a million bits here, not copies of it.
void ListModel::Reorder(std::span<const int> oldRowOfNewRow) {
    const int count = rowCount();
    bool permutation = oldRowOfNewRow.size() == static_cast<size_t>(count);
    std::vector<bool> seen(static_cast<size_t>(count), false);
    for (std::size_t n = 0; permutation && n < oldRowOfNewRow.size(); ++n) {
        const int old = oldRowOfNewRow[n];
        permutation = old >= 0 && old < count && !seen[static_cast<size_t>(old)];
        if (permutation) {
            seen[static_cast<size_t>(old)] = true;
        }
    }
    if (!permutation) {
        emit layoutAboutToBeChanged(); // keep rows as they are
        emit layoutChanged();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    if (!IsOwnerData()) {
        std::vector<Row> sorted;
        sorted.reserve(rows_.size());
        for (int old : oldRowOfNewRow) {
            sorted.push_back(std::move(rows_[old]));
        }
        rows_ = std::move(sorted);
    }
    // Only the rows that the selection and the focus hold need their new places.
    const QModelIndexList before = persistentIndexList();
    std::unordered_map<int, int> newRowOf;
    for (const QModelIndex& i : before) {
        newRowOf.emplace(i.row(), -1);
    }
    for (int n = 0; n < count && !newRowOf.empty(); ++n) {
        if (const auto found = newRowOf.find(oldRowOfNewRow[n]); found != newRowOf.end()) {
            found->second = n;
        }
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        after.append(index(newRowOf[i.row()], i.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tovrin
