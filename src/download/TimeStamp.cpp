#include "download/TimeStamp.h"

#include "base/TextHelpers.h"

namespace {

// Two digits at a 0-based position; -1 when they are not a number.
int TwoDigits(const QString& text, qsizetype at) {
    if (at + 2 > text.size()) return -1;
    const QChar a = text.at(at);
    const QChar b = text.at(at + 1);
    if (!a.isDigit() || !b.isDigit()) return -1;
    return a.digitValue() * 10 + b.digitValue();
}

}  // namespace

bool IsCDate(const QString& text) {
    if (text.size() < 8) return false;
    const int year = TwoDigits(text, 0);
    const int month = TwoDigits(text, 3);
    const int day = TwoDigits(text, 6);
    if (year < 0) return false;
    if (month < 1 || month > 12) return false;
    return day >= 1 && day <= 31;
}

std::optional<QDateTime> GetCDate(const QString& text) {
    const int yy = TwoDigits(text, 0);
    const int month = TwoDigits(text, 3);
    const int day = TwoDigits(text, 6);
    const qsizetype timeAt = text.size() == 16 ? 8 : 9;
    const int hours = TwoDigits(text, timeAt);
    const int minutes = TwoDigits(text, timeAt + 3);
    const int seconds = TwoDigits(text, timeAt + 6);
    if (yy < 0 || month < 0 || day < 0 || hours < 0 || minutes < 0 || seconds < 0)
        return std::nullopt;
    const QDate date(ExpandTwoDigitYear(yy), month, day);
    if (!date.isValid()) return std::nullopt;
    return WallClockTime(date, QTime(hours % 24, minutes % 60, seconds % 60));
}

QDateTime WallClockTime(const QDate& date, const QTime& time) {
    return QDateTime(date, time, Qt::UTC);
}

std::optional<QDateTime> ReadWallClockText(const QString& text) {
    // Date and time read apart: a local date-time would be invalid in the
    // daylight-saving gap.
    const QStringList parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.size() != 2) return std::nullopt;
    const QDate date = QDate::fromString(parts.at(0), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(parts.at(1), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return WallClockTime(date, time);
}

QString WallClockText(const QDateTime& time) {
    return time.date().toString(QStringLiteral("yyyy-MM-dd")) + u' ' +
           time.time().toString(QStringLiteral("hh:mm:ss"));
}
