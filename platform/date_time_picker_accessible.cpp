#include "platform/date_time_picker_accessible.h"

#include "platform/date_time_picker.h"
#include "platform/reader_news.h"

#include <QAccessible>

#include <algorithm>

namespace tovrin {
namespace {

QAccessibleInterface* PickerFactory(const QString& className, QObject* object) {
    auto* picker = qobject_cast<DateTimePicker*>(object);
    if (picker == nullptr ||
        className != QLatin1String(DateTimePicker::staticMetaObject.className())) {
        return nullptr;
    }
    return new DateTimePickerAccessible(picker);
}

// The characters that differ between before and after, as one stretch: a step from 14:30 to
// 14:31 is reported as "0" replaced by "1", not the whole text read again.
void SendTextChange(DateTimePicker* picker, const QString& before, const QString& after,
                    int caret) {
    const qsizetype most = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < most && before[head] == after[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < most - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    QAccessibleTextUpdateEvent event(picker, static_cast<int>(head),
                                     before.mid(head, before.size() - head - tail),
                                     after.mid(head, after.size() - head - tail));
    event.setCursorPosition(caret);
    TellReader(event);
}

} // namespace

void InstallPickerAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&PickerFactory);
        return true;
    }();
    (void)installed;
}

DateTimePickerAccessible::DateTimePickerAccessible(DateTimePicker* picker)
    : QAccessibleWidget(picker, QAccessible::SpinBox) {}

DateTimePicker* DateTimePickerAccessible::Picker() const {
    return static_cast<DateTimePicker*>(widget());
}

void* DateTimePickerAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

// The name is the label's (the page names the picker after it); the value is what is shown.
QString DateTimePickerAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value) {
        return Picker()->Text();
    }
    return QAccessibleWidget::text(t);
}

QStringList DateTimePickerAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    names << increaseAction() << decreaseAction() << showMenuAction();
    return names;
}

void DateTimePickerAccessible::doAction(const QString& actionName) {
    if (actionName == increaseAction() || actionName == decreaseAction()) {
        Picker()->Step(actionName == increaseAction() ? 1 : -1);
    } else if (actionName == showMenuAction()) {
        Picker()->ShowCalendar();
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

QStringList DateTimePickerAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == increaseAction()) {
        return {QStringLiteral("Up")};
    }
    if (actionName == decreaseAction()) {
        return {QStringLiteral("Down")};
    }
    if (actionName == showMenuAction()) {
        return {QStringLiteral("F4")};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

QVariant DateTimePickerAccessible::currentValue() const {
    return Picker()->FieldValue();
}

void DateTimePickerAccessible::setCurrentValue(const QVariant& value) {
    bool number = false;
    const int n = value.toInt(&number);
    if (number) {
        Picker()->SetFieldValue(n);
    }
}

QVariant DateTimePickerAccessible::maximumValue() const {
    int min = 0;
    int max = 0;
    Picker()->FieldRange(min, max);
    return max;
}

QVariant DateTimePickerAccessible::minimumValue() const {
    int min = 0;
    int max = 0;
    Picker()->FieldRange(min, max);
    return min;
}

QVariant DateTimePickerAccessible::minimumStepSize() const {
    return 1;
}

// The chosen field is the one selection there is.
void DateTimePickerAccessible::selection(int selectionIndex, int* startOffset,
                                         int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
    if (selectionIndex == 0) {
        Picker()->CurrentSpan(*startOffset, *endOffset);
    }
}

int DateTimePickerAccessible::selectionCount() const {
    int start = 0;
    int end = 0;
    Picker()->CurrentSpan(start, end);
    return end > start ? 1 : 0;
}

void DateTimePickerAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void DateTimePickerAccessible::removeSelection(int selectionIndex) {
    (void)selectionIndex; // a field stays chosen, as with the keyboard
}

void DateTimePickerAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    (void)endOffset;
    if (selectionIndex == 0) {
        Picker()->ChooseAt(startOffset);
    }
}

int DateTimePickerAccessible::cursorPosition() const {
    int start = 0;
    int end = 0;
    Picker()->CurrentSpan(start, end);
    return start;
}

void DateTimePickerAccessible::setCursorPosition(int position) {
    Picker()->ChooseAt(position);
}

QString DateTimePickerAccessible::text(int startOffset, int endOffset) const {
    const QString shown = Picker()->Text();
    if (startOffset < 0 || endOffset < startOffset || startOffset > shown.size()) {
        return {};
    }
    return shown.mid(startOffset, endOffset - startOffset);
}

int DateTimePickerAccessible::characterCount() const {
    return static_cast<int>(Picker()->Text().size());
}

QRect DateTimePickerAccessible::characterRect(int offset) const {
    const QRect local = Picker()->TextRect(offset, offset + 1);
    return local.isNull() ? QRect() : local.translated(Picker()->mapToGlobal(QPoint(0, 0)));
}

int DateTimePickerAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = Picker()->mapFromGlobal(point);
    const int count = characterCount();
    for (int i = 0; i < count; ++i) {
        if (Picker()->TextRect(i, i + 1).contains(local)) {
            return i;
        }
    }
    return -1;
}

void DateTimePickerAccessible::scrollToSubstring(int startIndex, int endIndex) {
    (void)startIndex; // the whole text always shows
    (void)endIndex;
}

QString DateTimePickerAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    (void)offset;
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

PickerChange::PickerChange(DateTimePicker* picker)
    : picker_(picker), outermost_(picker->changing_++ == 0) {
    if (outermost_) {
        text_ = picker->Text();
        picker->CurrentSpan(start_, end_);
        value_ = picker->GetSystemTime();
    }
}

PickerChange::~PickerChange() {
    --picker_->changing_;
    if (!outermost_) {
        return;
    }
    const QString text = picker_->Text();
    int start = 0;
    int end = 0;
    picker_->CurrentSpan(start, end);
    if (text != text_) {
        SendTextChange(picker_, text_, text, start);
    }
    const bool moved = start != start_ || end != end_;
    if (moved) {
        QAccessibleTextSelectionEvent selected(picker_, start, end);
        selected.setCursorPosition(start);
        TellReader(selected);
        QAccessibleTextCursorEvent caret(picker_, start);
        TellReader(caret);
    }
    // Digits that make no value yet change only the text.
    if (moved || !(picker_->GetSystemTime() == value_)) {
        QAccessibleValueChangeEvent changed(picker_, picker_->FieldValue());
        TellReader(changed);
    }
}

} // namespace tovrin
