#include "chart/TimeAxis.h"

#include <QDate>
#include <cmath>

#include "document/Document.h"
#include "document/PointTime.h"

namespace {

constexpr double kMinute = 60.0;
constexpr double kHour = 3600.0;
constexpr double kDay = 86400.0;
constexpr double kMonth = 31.0 * kDay;
constexpr double kYear = 366.0 * kDay;

constexpr std::array<TimeStep, kTimeStepCount> kTable = {{
    {TimeUnit::Seconds, 1, 1},
    {TimeUnit::Seconds, 2, 2},
    {TimeUnit::Seconds, 4, 4},
    {TimeUnit::Seconds, 5, 5},
    {TimeUnit::Seconds, 10, 10},
    {TimeUnit::Seconds, 15, 15},
    {TimeUnit::Seconds, 30, 30},
    {TimeUnit::Minutes, 1, 1 * kMinute},
    {TimeUnit::Minutes, 2, 2 * kMinute},
    {TimeUnit::Minutes, 4, 4 * kMinute},
    {TimeUnit::Minutes, 5, 5 * kMinute},
    {TimeUnit::Minutes, 10, 10 * kMinute},
    {TimeUnit::Minutes, 15, 15 * kMinute},
    {TimeUnit::Minutes, 30, 30 * kMinute},
    {TimeUnit::Hours, 1, 1 * kHour},
    {TimeUnit::Hours, 2, 2 * kHour},
    {TimeUnit::Hours, 3, 3 * kHour},
    {TimeUnit::Hours, 6, 6 * kHour},
    {TimeUnit::Hours, 8, 8 * kHour},
    {TimeUnit::Hours, 12, 12 * kHour},
    {TimeUnit::Days, 1, 1 * kDay},
    {TimeUnit::Days, 2, 2 * kDay},
    {TimeUnit::Days, 4, 4 * kDay},
    {TimeUnit::Days, 7, 7 * kDay},
    {TimeUnit::Days, 14, 14 * kDay},
    {TimeUnit::Months, 1, 1 * kMonth},
    {TimeUnit::Months, 2, 2 * kMonth},
    {TimeUnit::Months, 3, 3 * kMonth},
    {TimeUnit::Months, 4, 4 * kMonth},
    {TimeUnit::Months, 6, 6 * kMonth},
    {TimeUnit::Years, 1, 1 * kYear},
    {TimeUnit::Years, 2, 2 * kYear},
    {TimeUnit::Years, 3, 3 * kYear},
    {TimeUnit::Years, 5, 5 * kYear},
}};

constexpr qint64 kMsecsPerDay = 86400000;

// The day (counted from the OLE epoch) and the whole second of that day of a
// point time, split as the program's time texts split it (to the millisecond,
// seconds truncated).
struct DaySecond {
    qint64 day = 0;
    qint64 second = 0;
};

DaySecond SplitDaySecond(double oleDate) {
    if (!std::isfinite(oleDate)) return {};
    const double whole = std::trunc(oleDate);
    qint64 msecs = std::llround(std::fabs(oleDate - whole) * kMsecsPerDay);
    qint64 day = static_cast<qint64>(whole);
    if (msecs >= kMsecsPerDay) {
        ++day;
        msecs -= kMsecsPerDay;
    }
    return {day, msecs / 1000};
}

// The calendar date of an epoch day, remembered for the last day asked: the
// points of a day come one after the other.
class CalendarCache {
public:
    void Date(qint64 day, int& year, int& month, int& dayOfMonth) {
        if (!valid_ || day != day_) {
            static const qint64 kEpoch = QDate(1899, 12, 30).toJulianDay();
            QDate::fromJulianDay(kEpoch + day).getDate(&year_, &month_, &dayOfMonth_);
            day_ = day;
            valid_ = true;
        }
        year = year_;
        month = month_;
        dayOfMonth = dayOfMonth_;
    }

private:
    bool valid_ = false;
    qint64 day_ = 0;
    int year_ = 0;
    int month_ = 0;
    int dayOfMonth_ = 0;
};

// A number that changes exactly when the time passes a multiple of the step
// in its unit or a larger component changes.
qint64 StepKey(double oleDate, TimeStep step, CalendarCache& calendar) {
    const DaySecond at = SplitDaySecond(oleDate);
    const qint64 s = step.step;
    switch (step.unit) {
        case TimeUnit::Seconds:
            return (at.day * 1440 + at.second / 60) * 64 + (at.second % 60) / s;
        case TimeUnit::Minutes:
            return (at.day * 24 + at.second / 3600) * 64 + (at.second / 60 % 60) / s;
        case TimeUnit::Hours:
            return at.day * 32 + (at.second / 3600) / s;
        default:
            break;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    calendar.Date(at.day, year, month, day);
    switch (step.unit) {
        case TimeUnit::Days:
            return (static_cast<qint64>(year) * 12 + (month - 1)) * 32 + (day - 1) / s;
        case TimeUnit::Months:
            return static_cast<qint64>(year) * 16 + (month - 1) / s;
        default:
            return year / s;
    }
}

QString Two(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

}  // namespace

const std::array<TimeStep, kTimeStepCount>& TimeStepTable() {
    return kTable;
}

std::optional<TimeStep> ChooseTimeStep(double spanSeconds, int labelsThatFit) {
    spanSeconds = std::fabs(spanSeconds);
    for (const TimeStep& entry : kTable) {
        if (spanSeconds / entry.seconds <= labelsThatFit) return entry;
    }
    return std::nullopt;
}

int TimeLabelsThatFit(double plotWidth, double labelRoom) {
    if (!(labelRoom > 0.0) || !(plotWidth > 0.0)) return 0;
    return static_cast<int>(std::floor(plotWidth / labelRoom));
}

QList<qint32> TimeLabelPoints(const Document& document, qint32 first, qint32 last, TimeStep step) {
    QList<qint32> points;
    first = std::max(first, 1);
    last = std::min(last, document.PointCount());
    if (last <= first) return points;
    CalendarCache calendar;
    qint64 previous = StepKey(document.PointTime(first - 1), step, calendar);
    for (qint32 k = first + 1; k <= last; ++k) {
        if ((k & 0xFFF) == 0 && document.bExit) break;
        const qint64 key = StepKey(document.PointTime(k - 1), step, calendar);
        if (key != previous) points.append(k);
        previous = key;
    }
    return points;
}

QStringList TimeLabelLines(double oleDate, TimeUnit unit) {
    const DateTimeParts p = SplitOleDate(oleDate);
    const QString date = QStringLiteral("%1-%2-%3")
                             .arg(p.year, 4, 10, QLatin1Char('0'))
                             .arg(Two(p.month), Two(p.day));
    const QString time = QStringLiteral("%1:%2:%3").arg(Two(p.hour), Two(p.minute), Two(p.second));
    if (unit == TimeUnit::Seconds || unit == TimeUnit::Minutes || unit == TimeUnit::Hours)
        return {time, date};
    return {date, time};
}
