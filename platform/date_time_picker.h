#pragma once

#include "core/store/systemtime.h"
#include "platform/picker_fields.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QCalendarWidget;
class QStyleOptionComplex;

namespace tovrin {

// The date-time picker the windows expect: it holds a whole SYSTEMTIME, down to the milliseconds,
// whatever its display format shows, so switching from "H:mm" to "d MMMM yyy г." and back never
// loses the time or the seconds.
//
// One Tab stop. Inside it one field is chosen at a time, shown highlighted while the picker has
// the keyboard: Left and Right (or a click) choose another, Up and Down change it, wrapping round,
// and digits set it (a day by one or two, a year by its four); the weekday follows the date and is
// never chosen. The button at the right drops a month calendar down, in every format, as do F4
// and Alt+Down; with DTS_UPDOWN two spin arrows step the chosen field instead.
class DateTimePicker : public QWidget {
    Q_OBJECT
public:
    // style: DTS_LONGDATEFORMAT, DTS_TIMEFORMAT or DTS_SHORTDATEFORMAT (the format shown until
    // SetFormat is called), DTS_UPDOWN, DTS_RIGHTALIGN (the calendar drops down under the
    // picker's right end). Starts at the current local time.
    explicit DateTimePicker(QWidget* parent = nullptr, uint32_t style = 0);
    ~DateTimePicker() override;

    // Takes every field as given (the day of week is worked out from the date). A value that is
    // no real date-time (month 13, 31 April, hour 24, a year outside 1601-9999) is refused:
    // returns false and the picker keeps its value, so it always holds a valid one.
    bool SetSystemTime(const SYSTEMTIME& time);
    SYSTEMTIME GetSystemTime() const { return value_; }

    // A display format written the classic way ("H:mm", "d MMMM yyy г."); empty goes back to the
    // format of the control's style. The value is untouched; the first field is chosen.
    void SetFormat(const QString& format);
    QString Format() const { return format_; }
    // The same format as Qt writes it.
    QString QtFormat() const { return qtFormat_; }
    // The text on show, digits being typed included.
    QString Text() const;
    // The field chosen, Literal when the format has none.
    PickerField CurrentField() const;
    // Where the first piece showing field is drawn (empty when none shows it).
    QRect PieceRect(PickerField field) const;
    // Where the chosen field lies in Text(), as [start, end); both 0 when none is chosen.
    void CurrentSpan(int& start, int& end) const;
    // Where characters [start, end) of Text() are drawn.
    QRect TextRect(int start, int end) const;
    // Chooses the field that shows the character at offset of Text(), or the nearest one; false
    // when the format has none.
    bool ChooseAt(int offset);
    // The chosen field's number (a month as 1 to 12), and its range at the value held.
    int FieldValue() const;
    void FieldRange(int& min, int& max) const;
    // Sets the chosen field to n, as typing it would; false when n is out of its range.
    bool SetFieldValue(int n);
    // Steps the chosen field up (delta 1) or down (-1), wrapping round, as the arrow keys do.
    void Step(int delta);

    // The drop-down calendar, while it is open (nullptr otherwise).
    QCalendarWidget* OpenCalendar() const;
    void ShowCalendar();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user changed the value.
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class CalendarPopup;
    friend class PickerChange;

    bool UpDown() const;
    QString StyleFormat() const;
    void UsePieces(const QString& qtFormat);
    void Choose(int piece);
    void MoveChoice(int step);
    void TypeDigit(int digit);
    void UserChanged(const SYSTEMTIME& value);
    void EndTyping();
    int NearestChoosable(int x) const;
    QString ShownText(int piece) const;
    std::vector<QRect> PieceRects() const;
    QRect FieldRect() const;
    void InitOption(QStyleOptionComplex& option) const;
    void TakeCalendarDate(const QDate& date);

    SYSTEMTIME value_{};
    uint32_t style_;
    QString format_;
    QString qtFormat_;
    std::vector<PickerPiece> pieces_;
    int current_ = -1;
    PickerTyping typing_;
    QPointer<CalendarPopup> popup_;
    // How many changes are under way, one inside another; only the outermost is reported.
    int changing_ = 0;
};

} // namespace tovrin
