#include "platform/date_time_picker.h"

#include "core/schedule/clock.h"
#include "platform/picker_format.h"
#include "res/window_styles.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>

namespace tovrin {
namespace {

bool IsValid(const SYSTEMTIME& t) {
    return t.wYear >= 1601 && t.wYear <= 9999 && QDate::isValid(t.wYear, t.wMonth, t.wDay) &&
           t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

uint16_t DayOfWeek(const QDate& date) {
    return static_cast<uint16_t>(date.dayOfWeek() % 7); // Qt counts Sunday as 7, we as 0
}

// The kept value as a Qt date-time. UTC, because the fields are a wall-clock reading: a local
// date-time would shift or refuse the hour a clock change skips.
QDateTime ToQt(const SYSTEMTIME& t) {
    return QDateTime(QDate(t.wYear, t.wMonth, t.wDay),
                     QTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds), Qt::UTC);
}

} // namespace

DateTimePicker::DateTimePicker(QWidget* parent, uint32_t style)
    : QWidget(parent), edit_(new QDateTimeEdit(this)), style_(style) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    setFocusProxy(edit_);
    setFocusPolicy(Qt::StrongFocus);

    edit_->setTimeSpec(Qt::UTC);
    edit_->setDateTimeRange(QDateTime(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC),
                            QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC));
    // The classic picker drops a month calendar down unless it is a pure spin control.
    edit_->setCalendarPopup((style & DTS_UPDOWN) == 0);
    edit_->setKeyboardTracking(true);

    SYSTEMTIME now = GetLocalTime();
    if (!IsValid(now)) {
        now = SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0};
    }
    value_ = now;
    value_.wDayOfWeek = DayOfWeek(QDate(now.wYear, now.wMonth, now.wDay));
    updating_ = true;
    edit_->setDisplayFormat(StyleFormat());
    updating_ = false;
    ShowValue();

    connect(edit_, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& dt) {
        if (!updating_) {
            TakeEdit(dt);
        }
    });
}

bool DateTimePicker::SetSystemTime(const SYSTEMTIME& time) {
    if (!IsValid(time)) {
        return false;
    }
    value_ = time;
    value_.wDayOfWeek = DayOfWeek(QDate(time.wYear, time.wMonth, time.wDay));
    ShowValue();
    return true;
}

SYSTEMTIME DateTimePicker::GetSystemTime() const {
    return value_;
}

void DateTimePicker::SetFormat(const QString& format) {
    format_ = format;
    updating_ = true;
    edit_->setDisplayFormat(format.isEmpty() ? StyleFormat() : TranslatePickerFormat(format));
    updating_ = false;
    // Changing the format lets the Qt editor drop the fields it no longer shows; put them back.
    ShowValue();
}

QString DateTimePicker::QtFormat() const {
    return edit_->displayFormat();
}

QString DateTimePicker::Text() const {
    return edit_->text();
}

QString DateTimePicker::StyleFormat() const {
    const QLocale locale = edit_->locale();
    if ((style_ & DTS_TIMEFORMAT) == DTS_TIMEFORMAT) {
        return locale.timeFormat(QLocale::LongFormat);
    }
    if ((style_ & DTS_LONGDATEFORMAT) != 0) {
        return locale.dateFormat(QLocale::LongFormat);
    }
    return locale.dateFormat(QLocale::ShortFormat);
}

void DateTimePicker::ShowValue() {
    updating_ = true;
    edit_->setDateTime(ToQt(value_));
    updating_ = false;
}

void DateTimePicker::TakeEdit(const QDateTime& edited) {
    const QDateTimeEdit::Sections shown = edit_->displayedSections();
    const QDate date = edited.date();
    const QTime time = edited.time();
    SYSTEMTIME v = value_;
    if (shown & QDateTimeEdit::YearSection) {
        v.wYear = static_cast<uint16_t>(date.year());
    }
    if (shown & QDateTimeEdit::MonthSection) {
        v.wMonth = static_cast<uint16_t>(date.month());
    }
    if (shown & QDateTimeEdit::DaySection) {
        v.wDay = static_cast<uint16_t>(date.day());
    }
    // A day the new month lacks (31 with a hidden month turned to April) becomes its last day.
    const int lastDay = QDate(v.wYear, v.wMonth, 1).daysInMonth();
    if (v.wDay > lastDay) {
        v.wDay = static_cast<uint16_t>(lastDay);
    }
    if (shown & (QDateTimeEdit::HourSection | QDateTimeEdit::AmPmSection)) {
        v.wHour = static_cast<uint16_t>(time.hour());
    }
    if (shown & QDateTimeEdit::MinuteSection) {
        v.wMinute = static_cast<uint16_t>(time.minute());
    }
    if (shown & QDateTimeEdit::SecondSection) {
        v.wSecond = static_cast<uint16_t>(time.second());
    }
    if (shown & QDateTimeEdit::MSecSection) {
        v.wMilliseconds = static_cast<uint16_t>(time.msec());
    }
    v.wDayOfWeek = DayOfWeek(QDate(v.wYear, v.wMonth, v.wDay));
    if (v == value_) {
        return;
    }
    value_ = v;
    emit changed();
}

} // namespace tovrin
