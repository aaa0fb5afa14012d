#pragma once
// Where everything of a chart goes, worked out before anything is drawn: the
// scale of every quantity on the chart, the widths of the three label columns,
// the plot area, the time axis' step and labelled points, and the mapping of
// points and values to picture positions (and back, for the mouse).
//
// The plot area, in the picture's units: left edge = left + left margin - 1,
// right edge = width - right margin, top edge = top + 20, bottom edge =
// height - 4 x text height. The axes of the quantities in slots 0 and 2 stand
// left of the plot (slot 0 next to it, slot 2 outside it), the axis of slot 1
// right of it; the left margin is the width of the columns of slots 0 and 2,
// the right margin that of slot 1.

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

#include "chart/ChartScale.h"
#include "chart/TimeAxis.h"

class ChartMetrics;
class ChartSlots;
class Document;

// A labelled tick of a vertical axis. On a low picture the labels of nine
// ticks would overlap: a label that would touch the one below it keeps its
// tick but shows no text.
struct TickLabel {
    double value = 0.0;
    QString text;
    QRectF rect;
    bool shown = true;
};

struct AxisLayout {
    int quantity = -1;
    int slot = -1;
    QColor colour;
    AxisScale scale;
    bool rightSide = false;
    QRectF column;            // the label column, outside the plot area
    double axisX = 0.0;       // where the axis line stands
    double labelWidth = 0.0;  // the widest tick label
    QString title;            // the quantity's name and unit
    QList<TickLabel> labels;  // from the bottom up
};

// A labelled point of the time axis: its tick, and where its two text lines
// go. A label that would touch the one before it (readings spaced unevenly in
// time can crowd them) keeps its tick but shows no text.
struct TimeLabel {
    qint32 point = 0;
    double x = 0.0;
    QStringList lines;
    QRectF rect;  // both lines, centred under the tick and kept in the picture
    bool shown = true;
};

struct ChartLayout {
    QRectF area;       // the whole picture
    QRectF plot;       // the plot area; its edges are the frame
    qint32 first = 1;  // the points shown, 1-based
    qint32 last = 0;
    qint32 count = 0;  // points in the document
    double unit = 1.0;
    double textHeight = 0.0;
    QList<AxisLayout> axes;  // the quantities on the chart, in quantity order
    std::optional<TimeStep> timeStep;
    QList<TimeLabel> timeLabels;

    // The span of points the plot width stands for (at least 1).
    double Span() const;
    double PixelsPerPoint() const;
    // Horizontal position of point k (1-based; fractions allowed).
    double XOfPoint(double k) const;
    // The point (fractional, 1-based) under a horizontal position.
    double PointAtX(double x) const;
    // Vertical position of a value on an axis, and back.
    double YOfValue(const AxisLayout& axis, double value) const;
    double ValueAtY(const AxisLayout& axis, double y) const;
    // The axis of quantity q; null when q is not on the chart.
    const AxisLayout* AxisOf(int q) const;
};

// Tick lengths and gaps, in screen pixels (times ChartMetrics::Unit()).
inline constexpr double kTopMargin = 20.0;
inline constexpr double kMajorTick = 10.0;
inline constexpr double kMinorTick = 5.0;
inline constexpr double kColumnGap = 3.0;
// A label column is never narrower than this, so that the frame and the
// outermost time labels keep some room even without an axis on that side.
inline constexpr double kMinimumMargin = 12.0;

// The layout of document's chart in area. Reads the range (FirstPoint,
// LastPoint), the scales and the quantities on the chart; changes nothing.
ChartLayout ComputeChartLayout(const Document& document, const ChartSlots& chartSlots,
                               const ChartMetrics& metrics, const QRectF& area);

// Keeps the drawn bounds as the quantities' LowerScale and UpperScale (what
// the axis dialog shows and what a later draw without automatic scaling
// uses). Drawing is no zoom: bZoomOut is left as it was.
void StoreAxisBounds(Document& document, const ChartLayout& layout);

// The axis title of a quantity: its name and, when it has one, its unit in
// parentheses.
QString AxisTitle(const Document& document, int q);
