#pragma once
// Texts a document shows and writes: numbers with a quantity's decimals, the
// logging interval, the recording's duration, date-times as the user's locale
// writes them.

#include <QByteArray>
#include <QString>
#include <QStringView>

// Number of characters after the decimal mark of a reading as the instrument
// wrote it ("21.35" gives 2); 0 without a decimal mark. The instrument and the
// files write "."; the user's own separator is looked for when there is none.
qint16 GetDecimals(QStringView text);

// A reading in the instrument's and the files' notation ("." as decimal mark,
// surrounding blanks, a sign, an exponent allowed). False for anything else
// (the instrument's placeholder for a missing reading, "-", an empty field).
bool ParseReading(QStringView text, float& value);

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
