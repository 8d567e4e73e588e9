#include "platform/list_view_accessible.h"

#include "platform/list_view.h"

#include "platform/accessible_reading.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>

namespace tovrin {
namespace {

// One row. Rows are read live by number, so an entry outlives any change of the row's text.
class DrawnRow final : public QAccessibleInterface {
public:
    DrawnRow(ListView* list, int row) : list_(list), row_(row) {}

    bool isValid() const override { return list_ != nullptr && row_ < list_->GetItemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return list_ != nullptr ? list_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(list_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QAccessible::Role role() const override {
        return isValid() ? list_->RowRole(row_) : QAccessible::NoRole;
    }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? list_->GetItemText(row_, 0) : QString();
    }

    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect cell = list_->visualRect(list_->model()->index(row_, 0));
        const QRect row(cell.left(), cell.top(), list_->viewport()->width(), cell.height());
        return QRect(list_->viewport()->mapToGlobal(row.topLeft()), row.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = list_->IsRowSelected(row_);
        s.focused = list_->hasFocus() && list_->GetFocusedRow() == row_;
        const QRect cell = list_->visualRect(list_->model()->index(row_, 0));
        if (!list_->isVisible() || !list_->viewport()->rect().intersects(cell)) {
            s.invisible = true;
            s.offscreen = true;
        }
        return s;
    }

private:
    QPointer<ListView> list_;
    int row_;
};

// The rows are the children, numbered as the view numbers its focus news for a list of one
// column without headers.
class AccessibleDrawnList final : public QAccessibleWidget {
public:
    explicit AccessibleDrawnList(ListView* list) : QAccessibleWidget(list, QAccessible::List) {}

    ~AccessibleDrawnList() override {
        for (const auto& [row, id] : rows_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return List()->GetItemCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        if (const auto found = rows_.find(index); found != rows_.end()) {
            return QAccessible::accessibleInterface(found->second);
        }
        auto* row = new DrawnRow(List(), index);
        rows_[index] = QAccessible::registerAccessibleInterface(row);
        return row;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [row, id] : rows_) {
            if (QAccessible::accessibleInterface(id) == child) {
                return row;
            }
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint p = List()->viewport()->mapFromGlobal(QPoint(x, y));
        const int row = List()->HitTest(p);
        return row >= 0 ? child(row) : nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        return List()->hasFocus() ? child(List()->GetFocusedRow()) : nullptr;
    }

private:
    ListView* List() const { return static_cast<ListView*>(widget()); }

    mutable std::map<int, QAccessible::Id> rows_;
};

QAccessibleInterface* ListViewFactory(const QString&, QObject* object) {
    auto* list = qobject_cast<ListView*>(object);
    if (list != nullptr && list->IsOwnerDrawn()) {
        return new AccessibleDrawnList(list);
    }
    return nullptr;
}

} // namespace

void InstallListViewAccessible(QObject* list) {
    static const bool installed = [] {
        QAccessible::installFactory(ListViewFactory);
        return true;
    }();
    (void)installed;
    if (static_cast<ListView*>(list)->IsOwnerDrawn()) {
        RenewAccessibleReading<AccessibleDrawnList>(list);
    }
}

} // namespace tovrin
