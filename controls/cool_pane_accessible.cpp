#include "controls/cool_pane_accessible.h"

#include "controls/cool_pane.h"
#include "controls/gdi_draw.h"

#include "platform/accessible_reading.h"
#include "platform/reader_news.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>
#include <optional>

namespace tovrin {
namespace {

// A header (item -1) or an item of one folder.
struct Slot {
    int folder = 0;
    int item = -1;
};

int ItemCount(const IXCoolPane& pane, int folder) {
    return static_cast<int>(ItemsOf(pane.Model().Folder(folder)).size());
}

int ChildCount(const IXCoolPane& pane) {
    int count = 0;
    for (int i = 0; i < pane.Model().FolderCount(); ++i) {
        count += 1 + ItemCount(pane, i);
    }
    return count;
}

std::optional<Slot> SlotAt(const IXCoolPane& pane, int index) {
    int base = 0;
    for (int i = 0; i < pane.Model().FolderCount() && index >= base; ++i) {
        const int count = ItemCount(pane, i);
        if (index <= base + count) {
            return Slot{i, index - base - 1};
        }
        base += 1 + count;
    }
    return std::nullopt;
}

bool IsOpen(const IXCoolPane& pane, int folder) {
    return pane.Model().openFolder() == folder;
}

// One header or item. It belongs to the pane's interface, which deletes it.
class PaneEntry final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PaneEntry(IXCoolPane* pane, Slot slot) : pane_(pane), slot_(slot) {}

    bool isValid() const override {
        return pane_ != nullptr && slot_.folder < pane_->Model().FolderCount() &&
               slot_.item < ItemCount(*pane_, slot_.folder);
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return pane_ != nullptr ? pane_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(pane_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Button; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) {
            return {};
        }
        const CoolPaneFolder& folder = pane_->Model().Folder(slot_.folder);
        return pane_->Caption(slot_.item < 0 ? folder.nameId : Item().textId);
    }

    QRect rect() const override {
        if (!isValid() || (slot_.item >= 0 && !InSight())) {
            return {};
        }
        const CoolPaneModel& model = pane_->Model();
        const RECT local = slot_.item < 0 ? model.HeaderRectOf(slot_.folder, HeaderUse::Paint)
                                          : OffsetRect(UnionRect(Item().iconCell, Item().textBox),
                                                       0, model.scrollOffset());
        const QRect r = ToQRect(local);
        return QRect(pane_->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.disabled = !pane_->isEnabled();
        s.invisible = !pane_->isVisible();
        if (slot_.item < 0) {
            s.expandable = true;
            s.expanded = IsOpen(*pane_, slot_.folder);
            s.collapsed = !s.expanded;
            return s;
        }
        s.focusable = true;
        if (!InSight()) {
            s.invisible = true;
            s.offscreen = true;
        }
        s.focused =
            pane_->hasFocus() && IsOpen(*pane_, slot_.folder) && pane_->FocusItem() == slot_.item;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid() || !pane_->isEnabled()) {
            return;
        }
        if (slot_.item < 0) {
            pane_->OpenFolderAt(slot_.folder);
        } else {
            pane_->PressItem(slot_.folder, slot_.item);
        }
    }

    const Slot& Where() const { return slot_; }

private:
    const CoolPaneItem& Item() const {
        return ItemsOf(pane_->Model().Folder(slot_.folder))[static_cast<std::size_t>(slot_.item)];
    }
    bool InSight() const { return IsOpen(*pane_, slot_.folder) && pane_->ItemInSight(slot_.item); }

    QPointer<IXCoolPane> pane_;
    Slot slot_;
};

class AccessiblePane final : public QAccessibleWidget {
public:
    explicit AccessiblePane(IXCoolPane* pane) : QAccessibleWidget(pane, QAccessible::Grouping) {}

    ~AccessiblePane() override {
        for (const auto& [key, id] : entries_) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return ChildCount(*Pane()); }

    QAccessibleInterface* child(int index) const override {
        const std::optional<Slot> slot = SlotAt(*Pane(), index);
        if (!slot) {
            return nullptr;
        }
        const std::pair key{slot->folder, slot->item};
        if (const auto found = entries_.find(key); found != entries_.end()) {
            return QAccessible::accessibleInterface(found->second);
        }
        auto* entry = new PaneEntry(Pane(), *slot);
        entries_[key] = QAccessible::registerAccessibleInterface(entry);
        return entry;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* entry = dynamic_cast<const PaneEntry*>(child);
        return entry != nullptr
                   ? PaneChildIndex(*Pane(), entry->Where().folder, entry->Where().item)
                   : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* entry = child(i);
            if (entry != nullptr && !entry->state().invisible && entry->rect().contains(x, y)) {
                return entry;
            }
        }
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        const IXCoolPane* pane = Pane();
        if (!pane->hasFocus()) {
            return nullptr;
        }
        return child(PaneChildIndex(*pane, pane->Model().openFolder(), pane->FocusItem()));
    }

private:
    IXCoolPane* Pane() const { return static_cast<IXCoolPane*>(widget()); }

    mutable std::map<std::pair<int, int>, QAccessible::Id> entries_;
};

} // namespace

void InstallCoolPaneAccessible(QObject* pane) {
    InstallAccessibleReading<IXCoolPane, AccessiblePane>(pane);
}

int PaneChildIndex(const IXCoolPane& pane, int folder, int item) {
    if (folder < 0 || folder >= pane.Model().FolderCount() || item < -1 ||
        item >= ItemCount(pane, folder)) {
        return -1;
    }
    int base = 0;
    for (int i = 0; i < folder; ++i) {
        base += 1 + ItemCount(pane, i);
    }
    return base + 1 + item;
}

void NotifyPaneFocus(IXCoolPane& pane) {
    const int index = PaneChildIndex(pane, pane.Model().openFolder(), pane.FocusItem());
    if (index < 0) {
        return;
    }
    QAccessibleEvent event(&pane, QAccessible::Focus);
    event.setChild(index);
    TellReader(event);
}

void NotifyPaneShown(IXCoolPane& pane) {
    for (int i = 0; i < pane.Model().FolderCount(); ++i) {
        QAccessible::State header;
        header.expanded = true;
        header.collapsed = true;
        QAccessibleStateChangeEvent headerEvent(&pane, header);
        headerEvent.setChild(PaneChildIndex(pane, i, -1));
        TellReader(headerEvent);
        for (int j = 0; j < ItemCount(pane, i); ++j) {
            QAccessible::State item;
            item.invisible = true;
            item.offscreen = true;
            QAccessibleStateChangeEvent itemEvent(&pane, item);
            itemEvent.setChild(PaneChildIndex(pane, i, j));
            TellReader(itemEvent);
        }
    }
}

} // namespace tovrin
