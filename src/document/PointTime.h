#pragma once
// Point times: the instrument's time stamps read into OLE dates and written
// back. A time stamp is "yy-mm-dd hh:mm:ss" (17 characters), or the same
// without the character between date and time (16 characters); years 00 to 38
// are 2000 to 2038, 39 to 99 are 1939 to 1999. The checks of a stamp are those
// of IsCDate and GetCDate (download/TimeStamp.h).

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// True when text has the written form of a time stamp: 16 or 17 characters,
// digits where the two-digit fields stand, and a separator that is no digit
// and no control character between them. The separators' own values are free.
bool IsTimeStampText(QStringView text);

// The date-time of a time stamp as an OLE date: the date-time GetCDate gives,
// without building a QDateTime (no time-zone arithmetic, so a local time in a
// daylight-saving gap keeps its value), for the hot path of 65000 lines.
// Nothing when the checks of IsCDate fail (month 1 to 12, day 1 to 31), a
// field is no number or the day is not in the calendar; hours wrap at 24,
// minutes and seconds at 60.
std::optional<double> StampOleDate(QStringView text);

// True for the OLE dates a time stamp can give: from 1939-01-01 00:00:00 (year
// 39) to the end of 2038 (year 38). A time read from anything but a stamp (a
// journal) is a point time only inside this range.
bool IsStampTime(double oleDate);

// IsTimeStampText and StampOleDate for the time stamps of a run of lines: the
// date part is worked out once per day, as a file's points mostly share it.
class StampReader {
public:
    std::optional<double> Read(QStringView text);

private:
    char16_t date_[8] = {};  // "yy-mm-dd" of the last stamp read
    bool haveDate_ = false;
    double days_ = 0.0;  // its OLE day
};

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

// The same for a run of points: the date part is worked out once per day.
class T58TimeWriter {
public:
    void Append(QByteArray& out, double oleDate);
    // Writes the 17 characters at out; returns the end.
    char* Write(char* out, double oleDate);

private:
    double day_ = -1e300;  // the whole days of the last point
    char date_[9] = {};    // "yy-mm-dd "
};
// "yyyy-mm-dd hh:mm:ss".
QString FullTimeText(double oleDate);
