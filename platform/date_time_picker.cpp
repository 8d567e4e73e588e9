#include "platform/date_time_picker.h"

#include "core/schedule/clock.h"
#include "platform/accessible_reading.h"
#include "platform/date_time_picker_accessible.h"
#include "platform/picker_format.h"
#include "res/window_styles.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tovrin {
namespace {

bool IsValid(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 9999 && QDate::isValid(t.wYear, t.wMonth, t.wDay) &&
           t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

// Room between the field's edge and its text, as an edit control leaves it.
constexpr int kTextMargin = 2;

} // namespace

// The month calendar dropped down under the picker. A click outside closes it, as any popup;
// one on the picker's own button must not open it again at once.
class DateTimePicker::CalendarPopup : public QWidget {
public:
    explicit CalendarPopup(DateTimePicker* picker)
        : QWidget(picker, Qt::Popup), picker_(picker), calendar_(new QCalendarWidget(this)) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(calendar_);
        calendar_->setDateRange(QDate(1601, 1, 1), QDate(9999, 12, 31));
        calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        const auto take = [this](const QDate& date) {
            hide();
            picker_->TakeCalendarDate(date);
        };
        connect(calendar_, &QCalendarWidget::clicked, this, take);
        connect(calendar_, &QCalendarWidget::activated, this, take);
    }
    QCalendarWidget* Calendar() const { return calendar_; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            hide();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint onPicker = picker_->mapFromGlobal(event->globalPosition().toPoint());
        if (picker_->rect().contains(onPicker)) {
            setAttribute(Qt::WA_NoMouseReplay);
        }
        QWidget::mousePressEvent(event);
    }
    void hideEvent(QHideEvent* event) override {
        QWidget::hideEvent(event);
        picker_->update();
    }

private:
    DateTimePicker* picker_;
    QCalendarWidget* calendar_;
};

DateTimePicker::DateTimePicker(QWidget* parent, uint32_t style) : QWidget(parent), style_(style) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    InstallPickerAccessibility();
    SYSTEMTIME now = GetLocalTime();
    if (!IsValid(now)) {
        now = SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0};
    }
    value_ = WithDayOfWeek(now);
    UsePieces(StyleFormat());
    RenewAccessibleReading<DateTimePickerAccessible>(this);
}

DateTimePicker::~DateTimePicker() = default;

bool DateTimePicker::UpDown() const {
    return (style_ & DTS_UPDOWN) != 0;
}

bool DateTimePicker::SetSystemTime(const SYSTEMTIME& time) {
    if (!IsValid(time)) {
        return false;
    }
    PickerChange change(this);
    value_ = WithDayOfWeek(time);
    EndTyping();
    return true;
}

void DateTimePicker::SetFormat(const QString& format) {
    PickerChange change(this);
    format_ = format;
    UsePieces(format.isEmpty() ? StyleFormat() : TranslatePickerFormat(format));
}

QString DateTimePicker::StyleFormat() const {
    const QLocale here = locale();
    if ((style_ & DTS_TIMEFORMAT) == DTS_TIMEFORMAT) {
        return here.timeFormat(QLocale::LongFormat);
    }
    if ((style_ & DTS_LONGDATEFORMAT) != 0) {
        return here.dateFormat(QLocale::LongFormat);
    }
    return here.dateFormat(QLocale::ShortFormat);
}

void DateTimePicker::UsePieces(const QString& qtFormat) {
    qtFormat_ = qtFormat;
    pieces_ = SplitPickerFormat(qtFormat);
    current_ = -1;
    for (int i = 0; i < static_cast<int>(pieces_.size()); ++i) {
        if (IsChoosable(pieces_[static_cast<std::size_t>(i)].field)) {
            current_ = i;
            break;
        }
    }
    EndTyping();
    updateGeometry();
}

PickerField DateTimePicker::CurrentField() const {
    return current_ < 0 ? PickerField::Literal : pieces_[static_cast<std::size_t>(current_)].field;
}

QString DateTimePicker::ShownText(int piece) const {
    if (piece == current_ && !typing_.Pending().isEmpty()) {
        return typing_.Pending();
    }
    return PieceText(pieces_[static_cast<std::size_t>(piece)], value_, locale());
}

QString DateTimePicker::Text() const {
    QString text;
    for (int i = 0; i < static_cast<int>(pieces_.size()); ++i) {
        text += ShownText(i);
    }
    return text;
}

void DateTimePicker::EndTyping() {
    typing_.Clear();
    update();
}

void DateTimePicker::UserChanged(const SYSTEMTIME& value) {
    update();
    if (value == value_) {
        return;
    }
    value_ = value;
    emit changed();
}

void DateTimePicker::Choose(int piece) {
    PickerChange change(this);
    EndTyping();
    if (piece >= 0) {
        current_ = piece;
    }
}

void DateTimePicker::MoveChoice(int step) {
    PickerChange change(this);
    EndTyping();
    const int count = static_cast<int>(pieces_.size());
    if (current_ < 0) {
        return;
    }
    for (int i = 1; i <= count; ++i) {
        const int next = ((current_ + step * i) % count + count) % count;
        if (IsChoosable(pieces_[static_cast<std::size_t>(next)].field)) {
            current_ = next;
            return;
        }
    }
}

void DateTimePicker::Step(int delta) {
    PickerChange change(this);
    EndTyping();
    if (current_ >= 0) {
        UserChanged(StepPickerField(value_, CurrentField(), delta));
    }
}

void DateTimePicker::TypeDigit(int digit) {
    PickerChange change(this);
    if (current_ >= 0) {
        UserChanged(typing_.Type(CurrentField(), digit, value_));
    }
}

void DateTimePicker::TakeCalendarDate(const QDate& date) {
    PickerChange change(this);
    SYSTEMTIME t = value_;
    t.wYear = static_cast<uint16_t>(date.year());
    t.wMonth = static_cast<uint16_t>(date.month());
    t.wDay = static_cast<uint16_t>(date.day());
    EndTyping();
    if (IsValid(t)) {
        UserChanged(WithDayOfWeek(t));
    }
    setFocus(Qt::PopupFocusReason);
}

QCalendarWidget* DateTimePicker::OpenCalendar() const {
    return popup_ != nullptr && popup_->isVisible() ? popup_->Calendar() : nullptr;
}

void DateTimePicker::ShowCalendar() {
    if (UpDown() || !isEnabled()) {
        return;
    }
    EndTyping();
    if (popup_ == nullptr) {
        popup_ = new CalendarPopup(this);
    }
    QCalendarWidget* calendar = popup_->Calendar();
    calendar->setLocale(locale());
    calendar->setFirstDayOfWeek(locale().firstDayOfWeek());
    calendar->setSelectedDate(QDate(value_.wYear, value_.wMonth, value_.wDay));
    popup_->adjustSize();
    const QSize size = popup_->sizeHint();
    const QPoint below = mapToGlobal(QPoint(0, height()));
    QPoint at((style_ & DTS_RIGHTALIGN) != 0 ? below.x() + width() - size.width() : below.x(),
              below.y());
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + size.height() > area.bottom() + 1) {
            at.setY(mapToGlobal(QPoint(0, 0)).y() - size.height()); // no room below: above
        }
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() + 1 - size.width())));
    }
    popup_->move(at);
    popup_->show();
    calendar->setFocus(Qt::PopupFocusReason);
    update();
}

void DateTimePicker::InitOption(QStyleOptionComplex& option) const {
    option.initFrom(this);
    if (auto* spin = qstyleoption_cast<QStyleOptionSpinBox*>(&option)) {
        spin->frame = true;
        spin->buttonSymbols = QAbstractSpinBox::UpDownArrows;
        spin->stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        spin->subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField |
                            QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    } else if (auto* combo = qstyleoption_cast<QStyleOptionComboBox*>(&option)) {
        combo->editable = true;
        combo->frame = true;
        combo->subControls =
            QStyle::SC_ComboBoxFrame | QStyle::SC_ComboBoxEditField | QStyle::SC_ComboBoxArrow;
        if (OpenCalendar() != nullptr) {
            combo->state |= QStyle::State_On | QStyle::State_Sunken;
            combo->activeSubControls = QStyle::SC_ComboBoxArrow;
        }
    }
}

QRect DateTimePicker::FieldRect() const {
    if (UpDown()) {
        QStyleOptionSpinBox option;
        InitOption(option);
        return style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField,
                                       this);
    }
    QStyleOptionComboBox option;
    InitOption(option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                   this);
}

std::vector<QRect> DateTimePicker::PieceRects() const {
    const QRect field = FieldRect();
    const QFontMetrics metrics = fontMetrics();
    std::vector<QRect> rects;
    // The text's own height, centred, as the highlight of a chosen field runs.
    const int height = std::min(field.height(), metrics.height());
    const int top = field.top() + (field.height() - height) / 2;
    int x = field.left() + kTextMargin;
    for (int i = 0; i < static_cast<int>(pieces_.size()); ++i) {
        const int width = metrics.horizontalAdvance(ShownText(i));
        rects.emplace_back(x, top, width, height);
        x += width;
    }
    return rects;
}

QRect DateTimePicker::PieceRect(PickerField field) const {
    const std::vector<QRect> rects = PieceRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (pieces_[i].field == field) {
            return rects[i];
        }
    }
    return {};
}

void DateTimePicker::CurrentSpan(int& start, int& end) const {
    start = 0;
    end = 0;
    if (current_ < 0) {
        return;
    }
    for (int i = 0; i < current_; ++i) {
        start += static_cast<int>(ShownText(i).size());
    }
    end = start + static_cast<int>(ShownText(current_).size());
}

QRect DateTimePicker::TextRect(int start, int end) const {
    const QString shown = Text();
    if (start < 0 || end <= start || start >= shown.size()) {
        return {};
    }
    // Drawn piece after piece from one starting point, so a prefix's width places any character.
    const QRect field = FieldRect();
    const QFontMetrics metrics = fontMetrics();
    const int height = std::min(field.height(), metrics.height());
    const int x = field.left() + kTextMargin + metrics.horizontalAdvance(shown.left(start));
    return {x, field.top() + (field.height() - height) / 2,
            metrics.horizontalAdvance(shown.mid(start, end - start)), height};
}

bool DateTimePicker::ChooseAt(int offset) {
    int best = -1;
    int bestDistance = 0;
    int at = 0;
    for (int i = 0; i < static_cast<int>(pieces_.size()); ++i) {
        const int length = static_cast<int>(ShownText(i).size());
        if (IsChoosable(pieces_[static_cast<std::size_t>(i)].field)) {
            const int last = at + std::max(length, 1) - 1;
            const int distance = offset < at ? at - offset : std::max(0, offset - last);
            if (best < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        at += length;
    }
    if (best < 0) {
        return false;
    }
    Choose(best);
    return true;
}

int DateTimePicker::FieldValue() const {
    return PickerFieldValue(CurrentField(), value_);
}

void DateTimePicker::FieldRange(int& min, int& max) const {
    PickerFieldRange(CurrentField(), value_, min, max);
}

bool DateTimePicker::SetFieldValue(int n) {
    SYSTEMTIME t = value_;
    if (current_ < 0 || !SetPickerField(t, CurrentField(), n) || !IsValid(t)) {
        return false;
    }
    PickerChange change(this);
    EndTyping();
    UserChanged(t);
    return true;
}

int DateTimePicker::NearestChoosable(int x) const {
    const std::vector<QRect> rects = PieceRects();
    int best = -1;
    int bestDistance = 0;
    for (int i = 0; i < static_cast<int>(rects.size()); ++i) {
        if (!IsChoosable(pieces_[static_cast<std::size_t>(i)].field)) {
            continue;
        }
        const QRect& r = rects[static_cast<std::size_t>(i)];
        const int distance = x < r.left() ? r.left() - x : (x > r.right() ? x - r.right() : 0);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void DateTimePicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (UpDown()) {
        QStyleOptionSpinBox option;
        InitOption(option);
        style()->drawComplexControl(QStyle::CC_SpinBox, &option, &painter, this);
    } else {
        QStyleOptionComboBox option;
        InitOption(option);
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
    }
    const QRect field = FieldRect();
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Normal : QPalette::Disabled;
    painter.fillRect(field, palette().brush(group, QPalette::Base));
    painter.setClipRect(field);
    painter.setFont(font());
    const std::vector<QRect> rects = PieceRects();
    for (int i = 0; i < static_cast<int>(rects.size()); ++i) {
        const QRect& r = rects[static_cast<std::size_t>(i)];
        // The chosen field stands out while the keyboard is here, as the typing goes there.
        const bool chosen = i == current_ && hasFocus() && OpenCalendar() == nullptr;
        if (chosen) {
            painter.fillRect(r, palette().brush(group, QPalette::Highlight));
        }
        painter.setPen(palette().color(group, chosen ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownText(i));
    }
}

void DateTimePicker::keyPressEvent(QKeyEvent* event) {
    PickerChange change(this);
    const Qt::KeyboardModifiers chords = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if ((key == Qt::Key_F4 && chords == Qt::NoModifier) ||
        (key == Qt::Key_Down && chords == Qt::AltModifier)) {
        ShowCalendar();
        return;
    }
    if (chords != Qt::NoModifier && chords != Qt::ShiftModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (chords == Qt::NoModifier) {
            MoveChoice(key == Qt::Key_Left ? -1 : 1);
            return;
        }
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (chords == Qt::NoModifier) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return;
        }
        break;
    case Qt::Key_Backspace:
        if (typing_.Backspace()) {
            update();
        }
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1 && text[0] >= u'0' && text[0] <= u'9') {
        TypeDigit(text[0].unicode() - u'0');
        return;
    }
    if (CurrentField() == PickerField::AmPm && text.size() == 1) {
        const QChar letter = text[0].toLower();
        const QString am = locale().amText().toLower();
        const QString pm = locale().pmText().toLower();
        const bool morning = !am.isEmpty() && letter == am[0];
        if (morning || (!pm.isEmpty() && letter == pm[0])) {
            SYSTEMTIME t = value_;
            t.wHour = static_cast<uint16_t>(t.wHour % 12 + (morning ? 0 : 12));
            EndTyping();
            UserChanged(t);
            return;
        }
    }
    // Enter, Escape and the rest are the dialog's.
    QWidget::keyPressEvent(event);
}

void DateTimePicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (UpDown()) {
        QStyleOptionSpinBox option;
        InitOption(option);
        const QStyle::SubControl hit =
            style()->hitTestComplexControl(QStyle::CC_SpinBox, &option, at, this);
        if (hit == QStyle::SC_SpinBoxUp || hit == QStyle::SC_SpinBoxDown) {
            Step(hit == QStyle::SC_SpinBoxUp ? 1 : -1);
            return;
        }
    } else if (!FieldRect().contains(at)) {
        ShowCalendar();
        return;
    }
    Choose(NearestChoosable(at.x()));
}

void DateTimePicker::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void DateTimePicker::focusOutEvent(QFocusEvent* event) {
    // Digits not yet making a value are dropped; those that did have set it already.
    PickerChange change(this);
    EndTyping();
    QWidget::focusOutEvent(event);
}

void DateTimePicker::changeEvent(QEvent* event) {
    PickerChange change(this);
    if (event->type() == QEvent::LocaleChange && format_.isEmpty()) {
        UsePieces(StyleFormat());
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateGeometry();
    }
    update();
    QWidget::changeEvent(event);
}

QSize DateTimePicker::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const QSize text(metrics.horizontalAdvance(Text()) + 2 * kTextMargin, metrics.height());
    if (UpDown()) {
        QStyleOptionSpinBox option;
        InitOption(option);
        return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
    }
    QStyleOptionComboBox option;
    InitOption(option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
}

QSize DateTimePicker::minimumSizeHint() const {
    return sizeHint();
}

} // namespace tovrin
