#include "platform/picker_format.h"

#include <algorithm>

namespace tovrin {
namespace {

bool NeedsQuoting(QChar c) {
    return c.isLetter() || c == u'\'';
}

// Leading punctuation and blanks stay bare; from the first character Qt could read as a field
// on, the text goes into quotes. Qt reads '' as one quote inside quotes and outside alike, so a
// quote in the run is doubled, and quotes before the run are written as '' on their own: a run
// may not start with one ("''''" reads as two quotes, not as one quoted quote).
void AppendLiteral(QString& out, const QString& literal) {
    qsizetype first = 0;
    while (first < literal.size() && !NeedsQuoting(literal[first])) {
        ++first;
    }
    out += literal.left(first);
    while (first < literal.size() && literal[first] == u'\'') {
        out += QStringLiteral("''");
        ++first;
    }
    if (first == literal.size()) {
        return;
    }
    qsizetype end = literal.size();
    while (!NeedsQuoting(literal[end - 1])) {
        --end; // trailing blanks and punctuation go bare again
    }
    QString quoted = literal.mid(first, end - first);
    quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
    out += u'\'' + quoted + u'\'' + literal.mid(end);
}

// How many repeats of a field letter make one field; 0 for a letter that is no field.
int LongestField(QChar c) {
    switch (c.unicode()) {
    case u'd':
    case u'M':
        return 4;
    case u'H':
    case u'h':
    case u'm':
    case u's':
    case u't':
    case u'g':
        return 2;
    case u'y':
    case u'X':
        return 1 << 30;
    default:
        return 0;
    }
}

QString QtField(QChar c, int length) {
    switch (c.unicode()) {
    case u'y':
        // Qt has no one-digit year; the two-digit one is the nearest.
        return length >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
    case u't':
        return QStringLiteral("AP");
    case u'g':
    case u'X':
        return {};
    default:
        return QString(length, c);
    }
}

// Reads a quoted run starting at the opening quote; returns the index after it.
qsizetype ReadQuoted(const QString& in, qsizetype i, QString& literal) {
    ++i;
    if (i < in.size() && in[i] == u'\'') {
        literal += u'\''; // '' outside quotes is one quote
        return i + 1;
    }
    while (i < in.size()) {
        if (in[i] == u'\'') {
            if (i + 1 < in.size() && in[i + 1] == u'\'') {
                literal += u'\'';
                i += 2;
                continue;
            }
            return i + 1;
        }
        literal += in[i++];
    }
    return i; // an unclosed quote runs to the end
}

} // namespace

QString TranslatePickerFormat(const QString& format) {
    QString out;
    QString literal;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            i = ReadQuoted(format, i, literal);
            continue;
        }
        const int longest = LongestField(c);
        if (longest == 0) {
            literal += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        const int length = static_cast<int>(std::min<qsizetype>(run, longest));
        AppendLiteral(out, literal);
        literal.clear();
        out += QtField(c, length);
        i += length;
    }
    AppendLiteral(out, literal);
    return out;
}

} // namespace tovrin
