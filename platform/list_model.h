#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>

#include <functional>
#include <span>
#include <vector>

namespace tovrin {

// The rows behind a ListView: either stored here, one item per row (text per column, an image and
// a data value), or kept by the owner, who gives a count and answers for a row's text and image
// when asked. Only ListView uses it.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kNoImage = -1;

    struct OwnerData {
        std::function<QString(int row, int column)> text;
        std::function<int(int row)> image; // may be empty: no images
    };

    explicit ListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int InsertColumn(int column, const QString& title, Qt::Alignment alignment);
    // What a screen reader hears for a cell, when it is more than the cell's text.
    void SetSpoken(std::function<QString(int row, int column)> spoken) {
        spoken_ = std::move(spoken);
    }
    void SetImages(std::vector<QPixmap> images, int size);

    // Stored rows.
    bool IsOwnerData() const { return static_cast<bool>(owner_.text); }
    int InsertRow(int row, const QString& text, int image, quintptr data);
    bool SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    bool SetImage(int row, int image);
    int Image(int row) const;
    bool SetData(int row, quintptr data);
    quintptr Data(int row) const;
    bool RemoveRow(int row);
    void Clear();
    void Reserve(int rows);
    // Stable: rows that compare equal keep their order. Selection follows the items.
    void Sort(const std::function<int(quintptr, quintptr)>& compare);

    // Rows kept by the owner.
    void SetOwnerData(OwnerData owner, int count);
    void OwnerReset(int count);
    void OwnerInserted(int first, int count);
    void OwnerRemoved(int first, int count);
    void OwnerChanged(int first, int last);
    void OwnerReordered(std::span<const int> oldRowOfNewRow);

private:
    struct Row {
        std::vector<QString> texts;
        int image = kNoImage;
        quintptr data = 0;
    };
    struct Column {
        QString title;
        Qt::Alignment alignment;
    };

    bool ValidRow(int row) const { return row >= 0 && row < rowCount(); }
    void Reorder(std::span<const int> oldRowOfNewRow);

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::vector<QPixmap> images_;
    QPixmap blank_;
    OwnerData owner_;
    int ownerCount_ = 0;
    std::function<QString(int row, int column)> spoken_;
};

} // namespace tovrin
