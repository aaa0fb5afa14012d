#pragma once
// The instrument's time stamps: "yy-mm-dd hh:mm:ss" (17 characters), or 16
// characters with nothing between date and time. The separators are not
// checked; years 00..38 are 2000..2038 and 39..99 are 1939..1999.

#include <QDateTime>
#include <QString>
#include <optional>

// True when the year, month and day fields are plausible (month 1..12, day
// 1..31). Does not check that the day exists in that month.
bool IsCDate(const QString& text);

// The date and time of a time stamp, as a wall-clock time (WallClockTime);
// nothing when the fields are not numbers or the date does not exist (31
// April). Hours wrap modulo 24, minutes and seconds modulo 60.
std::optional<QDateTime> GetCDate(const QString& text);

// A time on the instrument's clock, which is a wall clock: kept in Qt::UTC so
// that no daylight-saving rule of the computer moves or refuses it (02:30 on
// the spring-forward night does not exist in local time, but the instrument
// records it and can be asked for it). Every time read from or sent to the
// instrument is built here.
QDateTime WallClockTime(const QDate& date, const QTime& time);

// "yyyy-mm-dd hh:mm:ss", the form of the range times of the "PLAY" command, as
// a wall-clock time; nothing when it is no date and time.
std::optional<QDateTime> ReadWallClockText(const QString& text);
// The same form written from a time's own date and time fields.
QString WallClockText(const QDateTime& time);
