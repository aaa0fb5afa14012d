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
    // Beyond a million days from 1899 there is no calendar worth labelling.
    if (!(std::fabs(oleDate) < 1e6)) return {};
    // The casts truncate towards zero as trunc does and round half up as
    // llround rounds this positive value, without their library calls: the
    // scan looks at every point shown.
    qint64 day = static_cast<qint64>(oleDate);
    qint64 msecs =
        static_cast<qint64>(std::fabs(oleDate - static_cast<double>(day)) * kMsecsPerDay + 0.5);
    if (msecs >= kMsecsPerDay) {
        ++day;
        msecs -= kMsecsPerDay;
    }
    return {day, msecs / 1000};
}

// A number that changes exactly when the time passes a multiple of the step
// in its unit or a larger component changes. The scan asks it for every point
// shown, so it avoids divisions where it can:
// - below a day every step divides the next larger unit (seconds and minutes
//   divide 60, hours 24), so the key is the number of whole steps since the
//   epoch, and a time within the current step needs no division at all;
// - for days and longer the key is the day's, looked up once per day.
class StepKeys {
public:
    explicit StepKeys(TimeStep step) : step_(step) {
        const int s = std::max(step.step, 1);
        for (int component = 0; component < kComponents; ++component)
            bucket_[component] = component / s;
        if (step.unit == TimeUnit::Seconds) stepSeconds_ = s;
        if (step.unit == TimeUnit::Minutes) stepSeconds_ = 60LL * s;
        if (step.unit == TimeUnit::Hours) stepSeconds_ = 3600LL * s;
    }

    qint64 Of(double oleDate) {
        // Within the current key's seconds, well clear of their ends, the
        // time needs no splitting at all.
        if (known_ && oleDate > safeLow_ && oleDate < safeHigh_) return key_;
        const DaySecond at = SplitDaySecond(oleDate);
        if (stepSeconds_ > 0) {
            const qint64 t = at.day * 86400 + at.second;
            key_ = t / stepSeconds_ - (t % stepSeconds_ < 0 ? 1 : 0);
            SetSafeRange(key_ * stepSeconds_, (key_ + 1) * stepSeconds_);
            known_ = true;
            return key_;
        }
        if (!known_ || at.day != day_) {
            static const qint64 kEpoch = QDate(1899, 12, 30).toJulianDay();
            int year = 0;
            int month = 0;
            int day = 0;
            QDate::fromJulianDay(kEpoch + at.day).getDate(&year, &month, &day);
            const qint64 yearIndex = year;
            if (step_.unit == TimeUnit::Days)
                key_ = (yearIndex * 12 + (month - 1)) * kComponents + bucket_[day - 1];
            else if (step_.unit == TimeUnit::Months)
                key_ = yearIndex * kComponents + bucket_[month - 1];
            else
                key_ = yearIndex / std::max(step_.step, 1);
            day_ = at.day;
            SetSafeRange(at.day * 86400, (at.day + 1) * 86400);
            known_ = true;
        }
        return key_;
    }

private:
    // The dates that surely fall on whole seconds first .. last - 1: a time
    // belongs to a second from half a millisecond before it (the split rounds
    // to the millisecond); a hundredth of a millisecond is kept clear of both
    // ends, far more than a date's rounding error.
    void SetSafeRange(qint64 first, qint64 last) {
        const double millisecond = 1.0 / 86400000.0;
        safeLow_ = (first * 1000.0 - 0.5 + 0.01) * millisecond;
        safeHigh_ = (last * 1000.0 - 0.5 - 0.01) * millisecond;
        if (first < 0 || last < 0) safeLow_ = safeHigh_ = 0.0;  // before 1899: always split
    }

    static constexpr int kComponents = 64;  // above any day of a month or month of a year
    TimeStep step_;
    std::array<int, kComponents> bucket_{};
    qint64 stepSeconds_ = 0;  // below a day: the step's length
    bool known_ = false;
    qint64 key_ = 0;
    qint64 day_ = 0;  // for days and longer: the day of the key
    double safeLow_ = 0.0;
    double safeHigh_ = 0.0;
};

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
    StepKeys keys(step);
    qint64 previous = keys.Of(document.PointTime(first - 1));
    for (qint32 k = first + 1; k <= last; ++k) {
        if ((k & 0xFFF) == 0 && document.bExit) break;
        const qint64 key = keys.Of(document.PointTime(k - 1));
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
