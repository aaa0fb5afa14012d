#pragma once
// The chart's time axis. Points are spaced evenly by their place in the list,
// so the time labels stand at points: at every point where the time passes a
// whole multiple of a step in a calendar unit. The step is the first entry of
// a fixed table (fine to coarse) for which the shown time span holds no more
// steps than labels fit across the plot.

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class Document;

enum class TimeUnit { Seconds, Minutes, Hours, Days, Months, Years };

struct TimeStep {
    TimeUnit unit = TimeUnit::Seconds;
    int step = 1;
    // The entry's length: a month counts 31 days, a year 366.
    double seconds = 1.0;

    bool operator==(const TimeStep&) const = default;
};

inline constexpr int kTimeStepCount = 34;
const std::array<TimeStep, kTimeStepCount>& TimeStepTable();

// The first table entry for which spanSeconds / length is not more than
// labelsThatFit; nothing when no entry qualifies (the axis gets no labels).
std::optional<TimeStep> ChooseTimeStep(double spanSeconds, int labelsThatFit);

// How many labels fit across the plot: its width divided by the room of one
// label (the width of a full time text plus that of "W"), whole labels only.
int TimeLabelsThatFit(double plotWidth, double labelRoom);

// The 1-based points first+1 .. last at which the time, counted in the step's
// unit, passes a whole multiple of the step: the unit's component (second of
// the minute, minute of the hour, hour of the day, day of the month, month of
// the year, the year; days and months counted from 0, so that a month's first
// day and a year's first month start a step) divided by the step differs from
// the predecessor's, or a larger component (the minute for seconds, the hour
// for minutes, ...) differs. The larger components matter when every point
// falls on the same second of a minute, as readings logged once a minute do:
// the second alone would never change. The scan stops at once when the
// document is closing (bExit).
QList<qint32> TimeLabelPoints(const Document& document, qint32 first, qint32 last, TimeStep step);

// A time label in two lines: the time of day over the date for steps below a
// day, the date over the time of day for days and longer.
QStringList TimeLabelLines(double oleDate, TimeUnit unit);
