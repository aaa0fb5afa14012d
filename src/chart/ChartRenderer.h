#pragma once
// The one routine that draws a document's chart: on the chart page, into the
// bitmap the Copy command puts on the clipboard, and on a printer page. It
// draws on any QPainter whose coordinates are the picture's own (no rotation
// or shear): the window's surface, a QImage, a printer page.
//
// Curves cost what the picture is wide, not what the document is long: the
// points of one pixel column are drawn as the vertical stroke from their
// lowest to their highest value, joined to the neighbouring columns by the
// segment from the last point of one column to the first point of the next.
// Every point's position is rounded to whole picture units first, and then
// this is exactly what drawing the segment between every two consecutive
// valid values (and a dot on each) paints: the segments inside a column are
// vertical strokes that together cover the column's lowest to highest value,
// and the segments between columns are the same ones. Invalid values are left
// out and the curve runs on from the previous valid value to the next one.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QSize>

#include "chart/ChartLayout.h"

class ChartSlots;
class Document;
class QPainter;

// How the chart is drawn beyond its data: grid lines (light, under the
// curves) across the plot at the labelled ticks of the first axis on the
// chart and of the time axis.
struct ChartStyle {
    bool gridLines = false;
};
// The grid lines' grey: seen, and quieter than any curve.
inline constexpr QRgb kGridColour = 0xFFC8C8C8;

// Draws a laid-out chart: white background, frame, the grid lines when asked
// for, for every quantity in quantity order its axis (line, ticks, labels,
// title) and its curve, then the time axis. The font is the chart's font;
// sizes scale with layout.unit.
void RenderChart(QPainter& painter, const Document& document, const ChartLayout& layout,
                 const QFont& font, const ChartStyle& style = {});

// Lays out the chart of document in area (measured with the painter's
// device), keeps the drawn bounds as the quantities' scales, and draws it.
// Returns the layout (what the mouse needs).
ChartLayout DrawChart(QPainter& painter, Document& document, const ChartSlots& chartSlots,
                      const QRectF& area, const QFont& font, const ChartStyle& style = {});

// The chart as a bitmap of the given size: the Copy command's picture and the
// tr58 tool's PNG.
QImage RenderChartImage(Document& document, const ChartSlots& chartSlots, const QSize& size,
                        const QFont& font = QFont(), const ChartStyle& style = {});

// The picture position of point k's value on an axis, as the curve draws it:
// rounded to whole units, and held within a thousand plot heights above and
// below the plot (far enough that the visible part of a segment to a value far
// off the scale keeps its direction).
QPoint CurvePoint(const ChartLayout& layout, const AxisLayout& axis, qint32 k, double value);

// One quantity's curve, in the current pen, clipped by the caller.
void DrawCurve(QPainter& painter, const Document& document, const ChartLayout& layout,
               const AxisLayout& axis);
