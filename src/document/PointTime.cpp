#include "document/PointTime.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/TextHelpers.h"

namespace {

constexpr qint64 kMsecsPerDay = 86400000;

bool IsDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool IsSeparator(QChar c) {
    return !IsDigit(c) && c.unicode() >= 0x20;
}

// The two digits at index i, or -1.
int TwoDigits(QStringView text, qsizetype i) {
    if (i + 1 >= text.size() || !IsDigit(text[i]) || !IsDigit(text[i + 1])) return -1;
    return (text[i].unicode() - u'0') * 10 + (text[i + 1].unicode() - u'0');
}

// Days from 1899-12-30 to the Julian day jd.
qint64 OleDays(qint64 julianDay) {
    static const qint64 kEpoch = QDate(1899, 12, 30).toJulianDay();
    return julianDay - kEpoch;
}

void AppendTwo(QByteArray& out, int value) {
    out.append(static_cast<char>('0' + (value / 10) % 10));
    out.append(static_cast<char>('0' + value % 10));
}

}  // namespace

bool IsTimeStampText(QStringView text) {
    const qsizetype n = text.size();
    if (n != 16 && n != 17) return false;
    const char16_t* c = text.utf16();
    const auto digits = [c](int i) { return IsDigit(c[i]) && IsDigit(c[i + 1]); };
    const auto separator = [c](int i) { return IsSeparator(c[i]); };
    // Date: digits at 0-1, 3-4, 6-7 with separators at 2 and 5; time at 9, 12,
    // 15 (17 characters, one character between) or at 8, 11, 14.
    const int t = n == 17 ? 9 : 8;
    return digits(0) && separator(2) && digits(3) && separator(5) && digits(6) &&
           (n == 16 || separator(8)) && digits(t) && separator(t + 2) && digits(t + 3) &&
           separator(t + 5) && digits(t + 6);
}

namespace {

// The OLE day of a stamp's date part; nothing when it is no calendar date.
std::optional<double> StampDays(QStringView text) {
    const int yy = TwoDigits(text, 0);
    const int month = TwoDigits(text, 3);
    const int day = TwoDigits(text, 6);
    if (yy < 0 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    const int year = ExpandTwoDigitYear(yy);
    if (!QDate::isValid(year, month, day)) return std::nullopt;
    return static_cast<double>(OleDays(QDate(year, month, day).toJulianDay()));
}

qint64 DayMsecs(int hour, int minute, int second) {
    return ((hour % 24) * 3600 + (minute % 60) * 60 + second % 60) * 1000LL;
}

// The milliseconds of a stamp's time part, hours wrapped at 24, minutes and
// seconds at 60; -1 when a field is no number.
qint64 StampMsecs(QStringView text) {
    const qsizetype t = text.size() == 16 ? 8 : 9;
    const int hour = TwoDigits(text, t);
    const int minute = TwoDigits(text, t + 3);
    const int second = TwoDigits(text, t + 6);
    if (hour < 0 || minute < 0 || second < 0) return -1;
    return DayMsecs(hour, minute, second);
}

// The same sum ToOleDate forms, so both give the identical double.
double OleDate(double days, qint64 msecs) {
    return days + static_cast<double>(msecs) / kMsecsPerDay;
}

}  // namespace

std::optional<double> StampOleDate(QStringView text) {
    const std::optional<double> days = StampDays(text);
    const qint64 msecs = StampMsecs(text);
    if (!days || msecs < 0) return std::nullopt;
    return OleDate(*days, msecs);
}

std::optional<double> StampReader::Read(QStringView text) {
    if (!IsTimeStampText(text)) return std::nullopt;
    // The text has its digits where IsTimeStampText wants them, so the time
    // part is a number; only a new date needs the calendar.
    if (!haveDate_ || std::memcmp(date_, text.utf16(), sizeof date_) != 0) {
        const std::optional<double> days = StampDays(text);
        if (!days) return std::nullopt;
        std::copy_n(text.utf16(), 8, date_);
        days_ = *days;
        haveDate_ = true;
    }
    const char16_t* c = text.utf16() + (text.size() == 16 ? 8 : 9);
    const auto two = [c](int i) { return (c[i] - u'0') * 10 + (c[i + 1] - u'0'); };
    return OleDate(days_, DayMsecs(two(0), two(3), two(6)));
}

DateTimeParts SplitOleDate(double oleDate) {
    DateTimeParts parts;
    if (!std::isfinite(oleDate)) return parts;
    const double whole = std::trunc(oleDate);
    qint64 msecs = std::llround(std::fabs(oleDate - whole) * kMsecsPerDay);
    static const qint64 kEpoch = QDate(1899, 12, 30).toJulianDay();
    qint64 julian = kEpoch + static_cast<qint64>(whole);
    if (msecs >= kMsecsPerDay) {
        julian += 1;
        msecs -= kMsecsPerDay;
    }
    QDate::fromJulianDay(julian).getDate(&parts.year, &parts.month, &parts.day);
    const int secs = static_cast<int>(msecs / 1000);
    parts.hour = secs / 3600;
    parts.minute = secs / 60 % 60;
    parts.second = secs % 60;
    parts.msec = static_cast<int>(msecs % 1000);
    return parts;
}

void AppendT58Time(QByteArray& out, double oleDate) {
    const DateTimeParts p = SplitOleDate(oleDate);
    AppendTwo(out, ((p.year % 100) + 100) % 100);
    out.append('-');
    AppendTwo(out, p.month);
    out.append('-');
    AppendTwo(out, p.day);
    out.append(' ');
    AppendTwo(out, p.hour);
    out.append(':');
    AppendTwo(out, p.minute);
    out.append(':');
    AppendTwo(out, p.second);
}

QString FullTimeText(double oleDate) {
    const DateTimeParts p = SplitOleDate(oleDate);
    return QStringLiteral("%1-%2-%3 %4:%5:%6")
        .arg(p.year, 4, 10, QLatin1Char('0'))
        .arg(p.month, 2, 10, QLatin1Char('0'))
        .arg(p.day, 2, 10, QLatin1Char('0'))
        .arg(p.hour, 2, 10, QLatin1Char('0'))
        .arg(p.minute, 2, 10, QLatin1Char('0'))
        .arg(p.second, 2, 10, QLatin1Char('0'));
}

void T58TimeWriter::Append(QByteArray& out, double oleDate) {
    char text[17];
    out.append(text, Write(text, oleDate) - text);
}

char* T58TimeWriter::Write(char* out, double oleDate) {
    // Only a time of day well inside the day takes the quick way; midnight
    // and the rounding at the day's end go through SplitOleDate.
    const double whole = std::trunc(oleDate);
    const qint64 msecs = std::llround(std::fabs(oleDate - whole) * kMsecsPerDay);
    if (whole < 0 || !std::isfinite(oleDate) || msecs >= kMsecsPerDay - 1000) {
        QByteArray text;
        AppendT58Time(text, oleDate);
        return std::copy(text.constData(), text.constData() + text.size(), out);
    }
    if (whole != day_) {
        QByteArray date;
        AppendT58Time(date, whole);
        std::copy(date.constData(), date.constData() + 9, date_);
        day_ = whole;
    }
    out = std::copy(date_, date_ + 9, out);
    const int secs = static_cast<int>(msecs / 1000);
    const int parts[3] = {secs / 3600, secs / 60 % 60, secs % 60};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) *out++ = ':';
        *out++ = static_cast<char>('0' + parts[i] / 10);
        *out++ = static_cast<char>('0' + parts[i] % 10);
    }
    return out;
}

bool IsStampTime(double oleDate) {
    static const double kFirst = static_cast<double>(OleDays(QDate(1939, 1, 1).toJulianDay()));
    static const double kEnd = static_cast<double>(OleDays(QDate(2039, 1, 1).toJulianDay()));
    return oleDate >= kFirst && oleDate < kEnd;  // false for NaN too
}
