#pragma once
// The instrument's time stamps: "yy-mm-dd hh:mm:ss" (17 characters), or the
// same without the character between date and time (16 characters). Years 00
// to 38 are 2000 to 2038, 39 to 99 are 1939 to 1999. Date-times are OLE dates.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// True when text has the written form of a time stamp: 16 or 17 characters,
// digits where the two-digit fields stand, and a separator that is no digit
// and no control character between them. The separators' own values are free.
bool IsTimeStampText(QStringView text);

// True when the year, month and day fields of a time stamp are plausible:
// at least 8 characters, a year that is not negative, a month 1 to 12, a day
// 1 to 31.
bool IsCDate(QStringView text);

// The date-time of a time stamp; hours wrap at 24, minutes and seconds at 60.
// Nothing when a field is not a number or the day is not in the calendar
// (30 February).
std::optional<double> GetCDate(QStringView text);

// The date and time parts of an OLE date, as the program shows them: the time
// of day rounded to the millisecond, the seconds truncated.
struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
};
DateTimeParts SplitOleDate(double oleDate);

// "yy-mm-dd hh:mm:ss": the time field of a .t58 file.
void AppendT58Time(QByteArray& out, double oleDate);
// "yyyy-mm-dd hh:mm:ss".
QString FullTimeText(double oleDate);
