#pragma once

#include "core/store/systemtime.h"

#include <QString>

#include <vector>

class QLocale;

namespace tovrin {

// What one piece of a date-time picker's display shows.
enum class PickerField {
    Literal, // text of the format itself
    Other,   // shown from the value but never chosen (a time zone)
    Weekday, // follows the date, never typed
    Day,
    Month,     // as a number
    MonthName, // as a name
    Year2,
    Year4,
    Hour24,
    Hour12,
    Minute,
    Second,
    Msec,
    AmPm,
};

struct PickerPiece {
    PickerField field = PickerField::Literal;
    // The literal text, or the field's Qt format ("d", "MMMM", "yyyy").
    QString text;
};

// Splits a Qt display format ("H:mm d MMMM yyyy 'г.'") into its literal texts and fields, as
// Qt itself reads it: a letter repeated beyond its longest field starts another, quoted text is
// literal and '' is one quote.
std::vector<PickerPiece> SplitPickerFormat(const QString& qtFormat);

// Whether the user can choose the field and change it: not the literal texts, nor the weekday.
bool IsChoosable(PickerField field);

// The piece's text for value, in locale's words (a month name in the form it takes after a day).
QString PieceText(const PickerPiece& piece, const SYSTEMTIME& value, const QLocale& locale);

// The value with field stepped by delta (Up +1, Down -1), the field wrapping round within its
// range and the other fields kept; a day the new month lacks becomes its last day.
SYSTEMTIME StepPickerField(SYSTEMTIME value, PickerField field, int delta);

// A choosable field's number in value (a month as 1 to 12, the AM/PM field as 0 or 1), and the
// range it may take there; 0 and an empty range for the other pieces.
int PickerFieldValue(PickerField field, const SYSTEMTIME& value);
void PickerFieldRange(PickerField field, const SYSTEMTIME& value, int& min, int& max);
// The value with field set to n and the other fields kept (a day the month lacks becoming its
// last); false, value untouched, when n is out of the field's range.
bool SetPickerField(SYSTEMTIME& value, PickerField field, int n);

// Digits typed into one field, the way a picker takes them: each digit joins those before it
// while a further digit could still give a value in range, the value changing as soon as the
// digits so far make a valid one; a day takes one or two digits, a year its four. A digit that
// would overflow the field starts a new entry.
class PickerTyping {
public:
    // Takes digit (0 to 9) into field; returns the new value (value itself when the digits so far
    // make no valid value yet).
    SYSTEMTIME Type(PickerField field, int digit, const SYSTEMTIME& value);
    // Drops the last digit typed; false when none was pending.
    bool Backspace();
    // The digits typed so far that may still grow; empty once the entry is complete.
    const QString& Pending() const { return pending_; }
    void Clear() { pending_.clear(); }

private:
    QString pending_;
};

// The value with its day of week worked out from its date.
SYSTEMTIME WithDayOfWeek(SYSTEMTIME value);

} // namespace tovrin
