#pragma once
// The arithmetic of the chart's direct gestures, without a screen: which range
// of points a wheel step or a drag gives, how the bounds of a vertical axis
// move under them, which point lies nearest to the pointer and what the
// read-out and the legend show there. The chart widget only turns mouse and
// key events into these; ChartNavigator applies the results with the rules of
// every point range (ChartNavigator::NormalizeRange).

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

class ChartMetrics;
class Document;
struct AxisLayout;
struct ChartLayout;

// One wheel notch (120 eighths of a degree) shows this many times fewer
// points or values; a notch back shows as many times more.
inline constexpr double kWheelZoomFactor = 1.25;
// Notches of the mouse wheel in an angle delta (a fraction for the fine steps
// of a touchpad).
inline constexpr double kWheelNotch = 120.0;

struct PointRange {
    qint32 first = 1;
    qint32 last = 1;

    bool operator==(const PointRange&) const = default;
};

struct ValueBounds {
    double lower = 0.0;
    double upper = 0.0;

    bool operator==(const ValueBounds&) const = default;
};

// A window of span points (at least 1) starting at first, shifted as a whole
// so that it lies within 1 .. count: past the end it ends at count, before the
// start it starts at 1. The span is kept as far as the points allow.
PointRange FitWindow(qint32 first, qint32 span, qint32 count);

// A zoom of the time axis by steps notches (positive: in) around the point
// under the pointer (anchor, fractional): the anchor keeps its place in the
// window. The span follows the chart's zoom rules: below 3 points it becomes
// 2, never more than all the points; zooming in always narrows by at least
// one point until the span is 2.
PointRange WheelZoomRange(qint32 first, qint32 last, qint32 count, double anchor, double steps);

// The window moved by delta points (positive: towards newer points), its span
// kept, within the points.
PointRange PanRange(qint32 first, qint32 last, qint32 count, double delta);

// The points a drag of dx picture units moves the window by when the plot of
// layout was shown at the press: the points follow the pointer, so a drag to
// the right shows older points.
double DragPoints(const ChartLayout& layout, double dx);

// A vertical axis zoomed by steps notches around value (which keeps its
// height); the span never below kMinimumValueSpan.
inline constexpr double kMinimumValueSpan = 0.001;
ValueBounds WheelZoomBounds(ValueBounds bounds, double value, double steps);

// The bounds of axis after a drag of dy picture units (positive: downwards)
// on the plot of layout: the values follow the pointer.
ValueBounds DragBounds(const ChartLayout& layout, const AxisLayout& axis, double dy);

// The point drawn nearest to horizontal position x: one of the points shown
// (never past the document's last). Nothing when x is outside the plot or
// there is no point.
std::optional<qint32> NearestPoint(const ChartLayout& layout, double x);

// What the crosshair read-out shows at a point: its time and, for every
// quantity on the chart in quantity order, the point's value as the data
// table writes it ("-" for a value the instrument marked invalid).
struct ReadoutValue {
    int quantity = -1;
    QColor colour;
    QString title;  // name and unit, as the axis shows them
    bool valid = false;
    double value = 0.0;
    QString text;
};

struct ChartReadout {
    qint32 point = 0;
    double time = 0.0;  // OLE date
    QString timeText;   // short date and long time, in the user's locale
    QList<ReadoutValue> values;
};

std::optional<ChartReadout> ReadoutAt(const Document& document, const ChartLayout& layout,
                                      double x);

// The legend of the chart: for every quantity on the chart, in quantity order,
// a short line in its colour and its name and unit; the entries side by side
// in a box in the top left corner of the plot.
struct LegendEntry {
    int quantity = -1;
    QColor colour;
    QString name;
    QString unit;
    QString text;     // "name (unit)"
    QRectF sample;    // the line in the quantity's colour
    QRectF textRect;  // where the text goes
};

struct ChartLegend {
    QRectF box;  // empty: nothing on the chart
    QList<LegendEntry> entries;
};

ChartLegend ComputeLegend(const Document& document, const ChartLayout& layout,
                          const ChartMetrics& metrics);
