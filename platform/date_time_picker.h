#pragma once

#include "core/store/systemtime.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class QDateTime;
class QDateTimeEdit;

namespace tovrin {

// The date-time picker the windows expect: it holds a whole SYSTEMTIME, down to the milliseconds,
// whatever its display format shows. The Qt editor inside only edits the fields on show, and an
// edit is merged back into the kept value, so switching from "H:mm" to "d MMMM yyy г." and back
// never loses the time or the seconds.
class DateTimePicker : public QWidget {
    Q_OBJECT
public:
    // style: DTS_LONGDATEFORMAT, DTS_TIMEFORMAT or DTS_SHORTDATEFORMAT (the format shown until
    // SetFormat is called), DTS_RIGHTALIGN. Starts at the current local time.
    explicit DateTimePicker(QWidget* parent = nullptr, uint32_t style = 0);

    // Takes every field as given (the day of week is worked out from the date). A value that is
    // no real date-time (month 13, 31 April, hour 24, a year outside 1601-9999) is refused:
    // returns false and the picker keeps its value, so it always holds a valid one.
    bool SetSystemTime(const SYSTEMTIME& time);
    SYSTEMTIME GetSystemTime() const;

    // A display format written the classic way ("H:mm", "d MMMM yyy г."); empty goes back to the
    // format of the control's style. The value is untouched.
    void SetFormat(const QString& format);
    QString Format() const { return format_; }
    // The Qt format the editor shows with.
    QString QtFormat() const;
    // The text on show.
    QString Text() const;

    // The Qt editor inside, for tests that type into it.
    QDateTimeEdit* Editor() const { return edit_; }

signals:
    // The user changed the value.
    void changed();

private:
    QString StyleFormat() const;
    void ShowValue();
    void TakeEdit(const QDateTime& edited);

    QDateTimeEdit* edit_;
    SYSTEMTIME value_{};
    uint32_t style_;
    QString format_;
    bool updating_ = false;
};

} // namespace tovrin
