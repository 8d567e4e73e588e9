#include "platform/picker_fields.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace tovrin {
namespace {

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;

int DaysIn(int year, int month) {
    return QDate(year, month, 1).daysInMonth();
}

SYSTEMTIME ClampDay(SYSTEMTIME t) {
    const int last = DaysIn(t.wYear, t.wMonth);
    if (t.wDay > last) {
        t.wDay = static_cast<uint16_t>(last);
    }
    return t;
}

// A numeric field's range and how many digits make a whole entry.
struct Range {
    int min = 0;
    int max = 0;
    int digits = 0;
};

Range RangeOf(PickerField field, const SYSTEMTIME& t) {
    switch (field) {
    case PickerField::Day:
        return {1, DaysIn(t.wYear, t.wMonth), 2};
    case PickerField::Month:
    case PickerField::MonthName:
        return {1, 12, 2};
    case PickerField::Year2:
        return {0, 99, 2};
    case PickerField::Year4:
        return {kFirstYear, kLastYear, 4};
    case PickerField::Hour24:
        return {0, 23, 2};
    case PickerField::Hour12:
        return {1, 12, 2};
    case PickerField::Minute:
    case PickerField::Second:
        return {0, 59, 2};
    case PickerField::Msec:
        return {0, 999, 3};
    default:
        return {};
    }
}

// The typed number put into the field; false when the value would be no real date-time (a
// two-digit year before the first the picker holds).
bool PutNumber(SYSTEMTIME& t, PickerField field, int n) {
    switch (field) {
    case PickerField::Day:
        t.wDay = static_cast<uint16_t>(n);
        return true;
    case PickerField::Month:
    case PickerField::MonthName:
        t.wMonth = static_cast<uint16_t>(n);
        t = ClampDay(t);
        return true;
    case PickerField::Year2: {
        const int year = t.wYear / 100 * 100 + n;
        if (year < kFirstYear) {
            return false;
        }
        t.wYear = static_cast<uint16_t>(year);
        t = ClampDay(t);
        return true;
    }
    case PickerField::Year4:
        t.wYear = static_cast<uint16_t>(n);
        t = ClampDay(t);
        return true;
    case PickerField::Hour24:
        t.wHour = static_cast<uint16_t>(n);
        return true;
    case PickerField::Hour12:
        t.wHour = static_cast<uint16_t>(n % 12 + (t.wHour >= 12 ? 12 : 0));
        return true;
    case PickerField::Minute:
        t.wMinute = static_cast<uint16_t>(n);
        return true;
    case PickerField::Second:
        t.wSecond = static_cast<uint16_t>(n);
        return true;
    case PickerField::Msec:
        t.wMilliseconds = static_cast<uint16_t>(n);
        return true;
    default:
        return false;
    }
}

int Wrap(int n, int min, int max) {
    const int span = max - min + 1;
    return min + ((n - min) % span + span) % span;
}

// How many times a letter may repeat in one Qt field, and which field that is.
PickerField FieldOf(QChar c, qsizetype run, qsizetype& used) {
    switch (c.unicode()) {
    case u'd':
        used = std::min<qsizetype>(run, 4);
        return used >= 3 ? PickerField::Weekday : PickerField::Day;
    case u'M':
        used = std::min<qsizetype>(run, 4);
        return used >= 3 ? PickerField::MonthName : PickerField::Month;
    case u'y':
        if (run >= 4) {
            used = 4;
            return PickerField::Year4;
        }
        if (run >= 2) {
            used = 2;
            return PickerField::Year2;
        }
        used = 1;
        return PickerField::Literal;
    case u'H':
        used = std::min<qsizetype>(run, 2);
        return PickerField::Hour24;
    case u'h':
        used = std::min<qsizetype>(run, 2);
        return PickerField::Hour12;
    case u'm':
        used = std::min<qsizetype>(run, 2);
        return PickerField::Minute;
    case u's':
        used = std::min<qsizetype>(run, 2);
        return PickerField::Second;
    case u'z':
        used = run >= 3 ? 3 : 1;
        return PickerField::Msec;
    case u't':
        used = 1;
        return PickerField::Other;
    default:
        used = 1;
        return PickerField::Literal;
    }
}

void AppendLiteral(std::vector<PickerPiece>& pieces, const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    if (!pieces.empty() && pieces.back().field == PickerField::Literal) {
        pieces.back().text += text;
        return;
    }
    pieces.push_back({PickerField::Literal, text});
}

} // namespace

std::vector<PickerPiece> SplitPickerFormat(const QString& qtFormat) {
    std::vector<PickerPiece> pieces;
    qsizetype i = 0;
    const qsizetype n = qtFormat.size();
    while (i < n) {
        const QChar c = qtFormat[i];
        if (c == u'\'') {
            QString literal;
            ++i;
            if (i < n && qtFormat[i] == u'\'') {
                AppendLiteral(pieces, QStringLiteral("'")); // '' outside quotes is one quote
                ++i;
                continue;
            }
            while (i < n) {
                if (qtFormat[i] == u'\'') {
                    if (i + 1 < n && qtFormat[i + 1] == u'\'') {
                        literal += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += qtFormat[i++];
            }
            AppendLiteral(pieces, literal);
            continue;
        }
        // AM/PM: "AP", "ap", "A" or "a".
        if (c == u'A' || c == u'a') {
            const bool pair = i + 1 < n && (qtFormat[i + 1] == u'P' || qtFormat[i + 1] == u'p');
            pieces.push_back({PickerField::AmPm, qtFormat.mid(i, pair ? 2 : 1)});
            i += pair ? 2 : 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < n && qtFormat[i + run] == c) {
            ++run;
        }
        qsizetype used = 1;
        const PickerField field = FieldOf(c, run, used);
        if (field == PickerField::Literal) {
            AppendLiteral(pieces, qtFormat.mid(i, used));
        } else {
            pieces.push_back({field, qtFormat.mid(i, used)});
        }
        i += used;
    }
    return pieces;
}

bool IsChoosable(PickerField field) {
    return field != PickerField::Literal && field != PickerField::Other &&
           field != PickerField::Weekday;
}

QString PieceText(const PickerPiece& piece, const SYSTEMTIME& value, const QLocale& locale) {
    if (piece.field == PickerField::Literal) {
        return piece.text;
    }
    // Wall-clock fields, so UTC: a local date-time would shift the hour a clock change skips.
    const QDateTime at(QDate(value.wYear, value.wMonth, value.wDay),
                       QTime(value.wHour, value.wMinute, value.wSecond, value.wMilliseconds),
                       Qt::UTC);
    if (piece.field == PickerField::MonthName) {
        // Alone, some locales give a month its standalone form; with a day before it, the form
        // the full format shows ("8 декабря").
        const QString withDay = locale.toString(at, QStringLiteral("d ") + piece.text);
        return withDay.mid(withDay.indexOf(u' ') + 1);
    }
    return locale.toString(at, piece.text);
}

SYSTEMTIME StepPickerField(SYSTEMTIME t, PickerField field, int delta) {
    switch (field) {
    case PickerField::Day:
        t.wDay = static_cast<uint16_t>(Wrap(t.wDay + delta, 1, DaysIn(t.wYear, t.wMonth)));
        break;
    case PickerField::Month:
    case PickerField::MonthName:
        t.wMonth = static_cast<uint16_t>(Wrap(t.wMonth + delta, 1, 12));
        break;
    case PickerField::Year2:
    case PickerField::Year4:
        t.wYear = static_cast<uint16_t>(Wrap(t.wYear + delta, kFirstYear, kLastYear));
        break;
    case PickerField::Hour24:
    case PickerField::Hour12:
        t.wHour = static_cast<uint16_t>(Wrap(t.wHour + delta, 0, 23));
        break;
    case PickerField::Minute:
        t.wMinute = static_cast<uint16_t>(Wrap(t.wMinute + delta, 0, 59));
        break;
    case PickerField::Second:
        t.wSecond = static_cast<uint16_t>(Wrap(t.wSecond + delta, 0, 59));
        break;
    case PickerField::Msec:
        t.wMilliseconds = static_cast<uint16_t>(Wrap(t.wMilliseconds + delta, 0, 999));
        break;
    case PickerField::AmPm:
        t.wHour = static_cast<uint16_t>((t.wHour + 12) % 24);
        break;
    default:
        return t;
    }
    return WithDayOfWeek(ClampDay(t));
}

int PickerFieldValue(PickerField field, const SYSTEMTIME& t) {
    switch (field) {
    case PickerField::Day:
        return t.wDay;
    case PickerField::Month:
    case PickerField::MonthName:
        return t.wMonth;
    case PickerField::Year2:
        return t.wYear % 100;
    case PickerField::Year4:
        return t.wYear;
    case PickerField::Hour24:
        return t.wHour;
    case PickerField::Hour12:
        return t.wHour % 12 == 0 ? 12 : t.wHour % 12;
    case PickerField::Minute:
        return t.wMinute;
    case PickerField::Second:
        return t.wSecond;
    case PickerField::Msec:
        return t.wMilliseconds;
    case PickerField::AmPm:
        return t.wHour >= 12 ? 1 : 0;
    default:
        return 0;
    }
}

void PickerFieldRange(PickerField field, const SYSTEMTIME& t, int& min, int& max) {
    const Range range = field == PickerField::AmPm ? Range{0, 1, 1} : RangeOf(field, t);
    min = range.min;
    max = range.max;
}

bool SetPickerField(SYSTEMTIME& value, PickerField field, int n) {
    int min = 0;
    int max = 0;
    PickerFieldRange(field, value, min, max);
    if (!IsChoosable(field) || n < min || n > max) {
        return false;
    }
    SYSTEMTIME t = value;
    if (field == PickerField::AmPm) {
        t.wHour = static_cast<uint16_t>(t.wHour % 12 + 12 * n);
    } else if (!PutNumber(t, field, n)) {
        return false;
    }
    value = WithDayOfWeek(t);
    return true;
}

SYSTEMTIME PickerTyping::Type(PickerField field, int digit, const SYSTEMTIME& value) {
    const Range range = RangeOf(field, value);
    if (range.digits == 0 || digit < 0 || digit > 9) {
        pending_.clear();
        return value;
    }
    QString digits = pending_ + QChar(u'0' + digit);
    int n = digits.toInt();
    if (digits.size() > 1 && n > range.max) {
        // Too much for the field: the digit begins a new entry.
        digits = QString(QChar(u'0' + digit));
        n = digit;
    }
    // Whole once no further digit could stay in range, or once all its digits are typed.
    const bool whole = digits.size() >= range.digits || n * 10 > range.max;
    pending_ = whole ? QString() : digits;
    SYSTEMTIME t = value;
    if (n < range.min || n > range.max || !PutNumber(t, field, n)) {
        return value; // not a value yet: shown as typed until the entry grows or ends
    }
    return WithDayOfWeek(t);
}

bool PickerTyping::Backspace() {
    if (pending_.isEmpty()) {
        return false;
    }
    pending_.chop(1);
    return true;
}

SYSTEMTIME WithDayOfWeek(SYSTEMTIME t) {
    const QDate date(t.wYear, t.wMonth, t.wDay);
    if (date.isValid()) {
        t.wDayOfWeek = static_cast<uint16_t>(date.dayOfWeek() % 7); // Qt counts Sunday as 7
    }
    return t;
}

} // namespace tovrin
