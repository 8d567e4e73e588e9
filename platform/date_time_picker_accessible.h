#pragma once

#include "core/store/systemtime.h"

#include <QAccessibleWidget>
#include <QString>

namespace tovrin {

class DateTimePicker;

// The picker as a screen reader meets it: a spin box named by its label, whose text is what the
// picker shows, whose selection and caret mark the chosen field, and whose value is that field's
// number. A reader can choose a field by moving the caret, and set or step it through the value.
class DateTimePickerAccessible : public QAccessibleWidget,
                                 public QAccessibleValueInterface,
                                 public QAccessibleTextInterface {
public:
    explicit DateTimePickerAccessible(DateTimePicker* picker);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    DateTimePicker* Picker() const;
};

// Taken before the picker changes, by whatever way: when the outermost of them ends, a screen
// reader is told what changed, the shown text (only the characters that differ), the chosen
// field and its value.
class PickerChange {
public:
    explicit PickerChange(DateTimePicker* picker);
    ~PickerChange();
    PickerChange(const PickerChange&) = delete;
    PickerChange& operator=(const PickerChange&) = delete;

private:
    DateTimePicker* picker_;
    bool outermost_;
    QString text_;
    int start_ = 0;
    int end_ = 0;
    SYSTEMTIME value_{};
};

// Lets Qt find the interface above for every picker; once is enough.
void InstallPickerAccessibility();

} // namespace tovrin
