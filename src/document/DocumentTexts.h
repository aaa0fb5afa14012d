#pragma once
// Texts a document shows and writes: numbers with a quantity's decimals, the
// logging interval, the recording's duration, date-times as the user's locale
// writes them.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstring>

// The line without its CR LF (or lone CRs and LFs at its end).
inline QStringView WithoutLineEnd(QStringView line) {
    while (!line.isEmpty() && (line.back() == u'\n' || line.back() == u'\r')) line.chop(1);
    return line;
}

// Splits a line of the instrument's or a .t58 file's data at TABs, one field
// per call; after the last field every call gives an empty field. Empty fields
// keep their place, so a reading missing in the middle of a line does not move
// the readings after it.
class FieldCursor {
public:
    explicit FieldCursor(QStringView line) : line_(line) {}
    // Names and units lines begin with the empty field above the time column.
    void SkipLeadingTab() {
        if (!line_.isEmpty() && line_.front() == u'\t') line_ = line_.mid(1);
    }
    QStringView Next() {
        // Fields are a few characters long: a plain scan beats a library search.
        const QChar* data = line_.data();
        const qsizetype size = line_.size();
        qsizetype tab = 0;
        while (tab < size && data[tab] != u'\t') ++tab;
        const QStringView field(data, tab);
        line_ = tab < size ? QStringView(data + tab + 1, size - tab - 1) : QStringView();
        return field;
    }

private:
    QStringView line_;
};

// Number of characters after the decimal mark of a reading as the instrument
// wrote it ("21.35" gives 2); 0 without a decimal mark. The instrument and the
// files write "."; the user's own separator is looked for when there is none.
qint16 GetDecimals(QStringView text);

// A reading in the instrument's and the files' notation ("." as decimal mark,
// surrounding blanks, a sign, an exponent allowed). False for anything else
// (the instrument's placeholder for a missing reading, "-", an empty field).
bool ParseReading(QStringView text, float& value);

// The quick conversion of ParseReading for a plain decimal reading, given as
// its digits (at most 15, as an integer) and the number of them after the
// mark: the single nearest to it, when one division in double precision
// finds it. False close to a tie, where ParseReading's full conversion must
// decide.
inline bool QuickReading(quint64 digits, int fractionDigits, bool negative, float& value) {
    // The digits as an integer over a power of ten, both exact in a double,
    // so the division is rounded once. Rounding that double to a single is
    // exact too, except when the double lies just halfway between two singles.
    static constexpr double kPow10[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double quotient = static_cast<double>(digits) / kPow10[fractionDigits];
    quint64 bits = 0;
    std::memcpy(&bits, &quotient, sizeof bits);
    if ((bits & 0x1FFFFFFFu) == 0x10000000u) return false;
    const float single = static_cast<float>(quotient);
    value = negative ? -single : single;
    return true;
}

// A quantity's name and unit from the field of a names or units line: cut to
// the record's width and cleaned of the instrument's codes.
QString QuantityNameText(QStringView field);
QString QuantityUnitText(QStringView field);

// value with exactly decimals decimals and "." as decimal mark, whatever the
// user's locale; a value that rounds to zero has no minus sign.
QString PointDecimalText(double value, int decimals);
void AppendPointDecimal(QByteArray& out, double value, int decimals);
// The same into a buffer with room for 420 characters; returns the end.
char* WritePointDecimal(char* out, double value, int decimals);

// The interval as shown: the value and the unit's text ("10 s", "3 d"); empty
// for a code that is no interval unit.
QString IntervalUnitText(qint16 unitCode);
QString IntervalText(qint32 value, qint16 unitCode);

// The recording's duration from whole seconds: "h:nn:ss" below one day,
// otherwise the days, " d " and the time of day in the user's long time format.
QString DurationText(qint64 seconds);
// Whole seconds from start to stop (OLE dates).
qint64 WholeSeconds(double start, double stop);

// A date-time as the platform writes one to a text file: the user's short date,
// a blank and the long time; the time is left out at midnight and the date on
// the zero date (1899-12-30).
QString PlatformDateTimeText(double oleDate);
