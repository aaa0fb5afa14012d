#include "chart/ChartGestures.h"

#include <algorithm>
#include <cmath>

#include "base/TextHelpers.h"
#include "chart/ChartLayout.h"
#include "chart/ChartMetrics.h"
#include "document/Document.h"

namespace {

double Factor(double steps) {
    return std::pow(kWheelZoomFactor, steps);
}

qint32 RoundPoint(double value) {
    return static_cast<qint32>(std::lround(value));
}

}  // namespace

PointRange FitWindow(qint32 first, qint32 span, qint32 count) {
    count = std::max(count, 1);
    span = std::clamp(span, 1, std::max(count - 1, 1));
    qint32 last = first + span;
    if (last > count) {
        first -= last - count;
        last = count;
    }
    if (first < 1) {
        last = std::min(count, last + 1 - first);
        first = 1;
    }
    return PointRange{first, last};
}

PointRange WheelZoomRange(qint32 first, qint32 last, qint32 count, double anchor, double steps) {
    const qint32 span = std::max(1, last - first);
    qint32 newSpan = RoundPoint(span / Factor(steps));
    if (steps > 0.0 && newSpan >= span) newSpan = span - 1;
    if (steps < 0.0 && newSpan <= span) newSpan = span + 1;
    if (newSpan < 3) newSpan = 2;
    if (newSpan > count) newSpan = count;
    // The anchor keeps its share of the window on either side.
    anchor = std::clamp(anchor, static_cast<double>(first), static_cast<double>(last));
    const double share = (anchor - first) / span;
    return FitWindow(RoundPoint(anchor - share * newSpan), newSpan, count);
}

PointRange PanRange(qint32 first, qint32 last, qint32 count, double delta) {
    return FitWindow(first + RoundPoint(delta), std::max(1, last - first), count);
}

double DragPoints(const ChartLayout& layout, double dx) {
    const double perPoint = layout.PixelsPerPoint();
    return perPoint > 0.0 ? -dx / perPoint : 0.0;
}

ValueBounds WheelZoomBounds(ValueBounds bounds, double value, double steps) {
    const double factor = Factor(steps);
    double lower = value - (value - bounds.lower) / factor;
    double upper = value + (bounds.upper - value) / factor;
    if (upper - lower < kMinimumValueSpan) {
        const double share = bounds.upper > bounds.lower
                                 ? (value - bounds.lower) / (bounds.upper - bounds.lower)
                                 : 0.5;
        lower = value - share * kMinimumValueSpan;
        upper = lower + kMinimumValueSpan;
    }
    return ValueBounds{lower, upper};
}

ValueBounds DragBounds(const ChartLayout& layout, const AxisLayout& axis, double dy) {
    const double height = layout.plot.height();
    const double shift = height > 0.0 ? dy / height * (axis.scale.upper - axis.scale.lower) : 0.0;
    return ValueBounds{axis.scale.lower + shift, axis.scale.upper + shift};
}

std::optional<qint32> NearestPoint(const ChartLayout& layout, double x) {
    const qint32 last = std::min(layout.last, layout.count);
    if (last < 1 || layout.first > last) return std::nullopt;
    if (x < layout.plot.left() || x > layout.plot.right()) return std::nullopt;
    const double point = std::round(layout.PointAtX(x));
    return static_cast<qint32>(
        std::clamp(point, static_cast<double>(layout.first), static_cast<double>(last)));
}

std::optional<ChartReadout> ReadoutAt(const Document& document, const ChartLayout& layout,
                                      double x) {
    const std::optional<qint32> point = NearestPoint(layout, x);
    if (!point || *point > document.PointCount()) return std::nullopt;
    ChartReadout readout;
    readout.point = *point;
    readout.time = document.PointTime(*point - 1);
    readout.timeText = FormatDateTimeLocal(FromOleDate(readout.time));
    for (const AxisLayout& axis : layout.axes) {
        if (axis.quantity < 0 || axis.quantity >= document.QuantityCount()) continue;
        const PointValue value = document.Value(*point - 1, axis.quantity);
        ReadoutValue entry;
        entry.quantity = axis.quantity;
        entry.colour = axis.colour;
        entry.title = AxisTitle(document, axis.quantity);
        entry.valid = value.Valid != 0;
        entry.value = value.Value;
        entry.text = entry.valid ? FormatDecimals(value.Value,
                                                  std::max<int>(0, document.GetDecs(axis.quantity)))
                                 : QStringLiteral("-");
        readout.values.append(entry);
    }
    return readout;
}

ChartLegend ComputeLegend(const Document& document, const ChartLayout& layout,
                          const ChartMetrics& metrics) {
    ChartLegend legend;
    if (layout.axes.isEmpty()) return legend;
    const double u = metrics.Unit();
    const double pad = 4.0 * u;
    const double sampleWidth = 18.0 * u;
    const double height = metrics.TextHeight();
    const double top = layout.plot.top() + pad;
    double x = layout.plot.left() + 2.0 * pad;
    for (const AxisLayout& axis : layout.axes) {
        if (axis.quantity < 0 || axis.quantity >= document.QuantityCount()) continue;
        const QuantityInfo& quantity = document.Quantity(axis.quantity);
        LegendEntry entry;
        entry.quantity = axis.quantity;
        entry.colour = axis.colour;
        entry.name = quantity.Name.trimmed();
        entry.unit = quantity.Unit.trimmed();
        entry.text = AxisTitle(document, axis.quantity);
        entry.sample = QRectF(x, top + pad + height / 2.0 - u, sampleWidth, 2.0 * u);
        x += sampleWidth + pad;
        const double width = metrics.TextWidth(entry.text);
        entry.textRect = QRectF(x, top + pad, width, height);
        x += width + 3.0 * pad;
        legend.entries.append(entry);
    }
    if (legend.entries.isEmpty()) return legend;
    legend.box =
        QRectF(QPointF(layout.plot.left() + pad, top), QPointF(x - pad, top + height + 2.0 * pad));
    return legend;
}
