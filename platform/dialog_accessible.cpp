#include "platform/dialog_accessible.h"

#include "platform/dialog.h"

#include "platform/accessible_reading.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMenu>

#include <algorithm>
#include <vector>

namespace tovrin {
namespace {

class AccessibleDialog final : public QAccessibleWidget {
public:
    explicit AccessibleDialog(Dialog* dialog) : QAccessibleWidget(dialog) {}

    // Asked each time: the window may be made a page or a window after this was first read.
    QAccessible::Role role() const override {
        const auto* dialog = static_cast<const Dialog*>(widget());
        if (!dialog->isWindow()) {
            return QAccessible::Grouping;
        }
        return dialog->MenuBar() != nullptr ? QAccessible::Window : QAccessible::Dialog;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty() &&
            !widget()->isWindow()) {
            return HeadingText();
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return static_cast<int>(Children().size()); }

    QAccessibleInterface* child(int index) const override {
        const std::vector<QWidget*> children = Children();
        if (index < 0 || index >= static_cast<int>(children.size())) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) {
            return -1;
        }
        const std::vector<QWidget*> children = Children();
        const auto found = std::find(children.begin(), children.end(), child->object());
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }

private:
    // The child widgets a reader sees, in the toolkit's order, without placeholders.
    std::vector<QWidget*> Children() const {
        std::vector<QWidget*> children;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child == nullptr || child->isWindow() || qobject_cast<QMenu*>(child) != nullptr ||
                child->property(kPlaceholderProperty).toBool()) {
                continue;
            }
            children.push_back(child);
        }
        return children;
    }

    // A page has no title bar; its caption bar says what it is.
    QString HeadingText() const {
        for (int i = 0; i < childCount(); ++i) {
            const QAccessibleInterface* c = child(i);
            if (c != nullptr && c->role() == QAccessible::Heading) {
                return c->text(QAccessible::Name);
            }
        }
        return {};
    }
};

} // namespace

void InstallDialogAccessible(QObject* dialog) {
    InstallAccessibleReading<Dialog, AccessibleDialog>(dialog);
}

} // namespace tovrin
