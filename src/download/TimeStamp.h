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

// The date and time of a time stamp, as a wall-clock time (kept in Qt::UTC so
// that no daylight-saving rule moves it); nothing when the fields are not numbers
// or the date does not exist (31 April). Hours wrap modulo 24, minutes and
// seconds modulo 60.
std::optional<QDateTime> GetCDate(const QString& text);
