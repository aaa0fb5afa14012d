#include "chart/ChartLayout.h"

#include <algorithm>
#include <cmath>

#include "chart/ChartMetrics.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/PointTime.h"

double ChartLayout::Span() const {
    return std::max(1.0, static_cast<double>(last - first));
}

double ChartLayout::PixelsPerPoint() const {
    return plot.width() / Span();
}

double ChartLayout::XOfPoint(double k) const {
    return plot.left() + (k - first) * plot.width() / Span();
}

double ChartLayout::PointAtX(double x) const {
    const double perPoint = PixelsPerPoint();
    return perPoint > 0.0 ? first + (x - plot.left()) / perPoint : first;
}

double ChartLayout::YOfValue(const AxisLayout& axis, double value) const {
    const double range = axis.scale.upper - axis.scale.lower;
    if (!(range > 0.0)) return plot.bottom();
    return plot.bottom() - (value - axis.scale.lower) / range * plot.height();
}

double ChartLayout::ValueAtY(const AxisLayout& axis, double y) const {
    if (!(plot.height() > 0.0)) return axis.scale.lower;
    return axis.scale.lower +
           (plot.bottom() - y) / plot.height() * (axis.scale.upper - axis.scale.lower);
}

const AxisLayout* ChartLayout::AxisOf(int q) const {
    for (const AxisLayout& axis : axes) {
        if (axis.quantity == q) return &axis;
    }
    return nullptr;
}

namespace {

void PlaceTimeLabels(const Document& document, const ChartMetrics& metrics, ChartLayout& layout) {
    const QList<qint32> points =
        TimeLabelPoints(document, layout.first, layout.last, *layout.timeStep);
    if (points.isEmpty()) return;
    const double u = layout.unit;
    const double top = layout.plot.bottom() + (kMajorTick + 2.0) * u;
    const double spacing = metrics.TextWidth(QStringLiteral("W")) / 2.0;
    // Every label has the same pattern of digits: one width serves them all.
    const QStringList sample =
        TimeLabelLines(document.PointTime(points.first() - 1), layout.timeStep->unit);
    double width = 0.0;
    for (const QString& line : sample) width = std::max(width, metrics.TextWidth(line));
    const double height = sample.size() * layout.textHeight;
    double lastRight = -1e300;
    layout.timeLabels.reserve(points.size());
    for (qint32 k : points) {
        TimeLabel label;
        label.point = k;
        label.x = layout.XOfPoint(k);
        const double left = std::clamp(label.x - width / 2.0, layout.area.left(),
                                       std::max(layout.area.left(), layout.area.right() - width));
        label.rect = QRectF(left, top, width, height);
        label.shown = left >= lastRight + spacing;
        if (label.shown) {
            label.lines = TimeLabelLines(document.PointTime(k - 1), layout.timeStep->unit);
            lastRight = left + width;
        }
        layout.timeLabels.append(label);
    }
}

void PlaceTickLabels(const ChartLayout& layout, AxisLayout& axis) {
    const double u = layout.unit;
    const double gap = (kMajorTick + kColumnGap) * u;
    const double width = axis.labelWidth + u;
    const double left = axis.rightSide ? axis.axisX + gap : axis.axisX - gap - width;
    double lowestTop = 1e300;  // top of the label shown last (the one below)
    for (double value : axis.scale.MajorTicks()) {
        TickLabel label;
        label.value = value;
        label.text = AxisLabel(value, axis.scale.decimals);
        // Centred on the tick, but inside the picture at the ends of the axis.
        const double top =
            std::clamp(layout.YOfValue(axis, value) - layout.textHeight / 2.0, layout.area.top(),
                       std::max(layout.area.top(), layout.area.bottom() - layout.textHeight));
        label.rect = QRectF(left, top, width, layout.textHeight);
        label.shown = label.rect.bottom() <= lowestTop;
        if (label.shown) lowestTop = top;
        axis.labels.append(label);
    }
}

}  // namespace

QString AxisTitle(const Document& document, int q) {
    const QuantityInfo& quantity = document.Quantity(q);
    const QString name = quantity.Name.trimmed();
    const QString unit = quantity.Unit.trimmed();
    if (unit.isEmpty()) return name;
    if (name.isEmpty()) return unit;
    return QStringLiteral("%1 (%2)").arg(name, unit);
}

ChartLayout ComputeChartLayout(const Document& document, const ChartSlots& chartSlots,
                               const ChartMetrics& metrics, const QRectF& area) {
    ChartLayout layout;
    layout.area = area;
    layout.unit = metrics.Unit();
    layout.textHeight = metrics.TextHeight();
    layout.count = document.PointCount();
    layout.first = std::max(document.FirstPoint, 1);
    layout.last = std::max(std::min(document.LastPoint, layout.count), layout.first);
    const double u = layout.unit;

    // Scales and the width of every slot's label column.
    double columnWidth[ChartSlots::kSlotCount] = {0.0, 0.0, 0.0};
    for (int q : chartSlots.DrawnQuantities()) {
        if (q >= document.QuantityCount()) continue;
        AxisLayout axis;
        axis.quantity = q;
        axis.slot = chartSlots.SlotOf(q);
        axis.colour = ChartSlots::Colour(axis.slot);
        axis.rightSide = axis.slot == 1;
        const QuantityInfo& quantity = document.Quantity(q);
        axis.scale = ComputeAxisScale(QuantityValueRange(document, q), AxisDecimals(quantity),
                                      quantity.AutoScale);
        for (double value : axis.scale.MajorTicks()) {
            axis.labelWidth =
                std::max(axis.labelWidth, metrics.TextWidth(AxisLabel(value, axis.scale.decimals)));
        }
        axis.title = AxisTitle(document, q);
        columnWidth[axis.slot] = (kMajorTick + 3 * kColumnGap) * u + axis.labelWidth +
                                 (axis.title.isEmpty() ? 0.0 : layout.textHeight);
        layout.axes.append(axis);
    }

    const double leftMargin = std::max(columnWidth[0] + columnWidth[2], kMinimumMargin * u);
    const double rightMargin = std::max(columnWidth[1], kMinimumMargin * u);
    double left = area.left() + leftMargin - 1.0;
    double right = area.left() + area.width() - rightMargin;
    double top = area.top() + kTopMargin * u;
    double bottom = area.top() + area.height() - 4.0 * layout.textHeight;
    right = std::max(right, left + 1.0);
    bottom = std::max(bottom, top + 1.0);
    layout.plot = QRectF(QPointF(left, top), QPointF(right, bottom));

    for (AxisLayout& axis : layout.axes) {
        const double width = columnWidth[axis.slot];
        if (axis.slot == 1) {
            axis.axisX = right;
            axis.column = QRectF(right, top, width, bottom - top);
        } else if (axis.slot == 0) {
            // From the end of slot 2's column to the frame.
            axis.axisX = left;
            const double start = area.left() + columnWidth[2];
            axis.column = QRectF(start, top, std::max(0.0, left - start), bottom - top);
        } else {
            // Slot 2 stands outside slot 0's column.
            axis.axisX = area.left() + width;
            axis.column = QRectF(area.left(), top, width, bottom - top);
        }
        PlaceTickLabels(layout, axis);
    }

    // The time axis.
    if (layout.count > 0 && layout.last > layout.first) {
        const double start = document.PointTime(layout.first - 1);
        const double stop = document.PointTime(layout.last - 1);
        const double room =
            metrics.TextWidth(FullTimeText(start)) + metrics.TextWidth(QStringLiteral("W"));
        const int fit = TimeLabelsThatFit(layout.plot.width(), room);
        layout.timeStep = ChooseTimeStep((stop - start) * 86400.0, fit);
        if (layout.timeStep) PlaceTimeLabels(document, metrics, layout);
    }
    return layout;
}

void StoreAxisBounds(Document& document, const ChartLayout& layout) {
    const bool zoomOut = document.bZoomOut;
    for (const AxisLayout& axis : layout.axes) {
        // Compared as SetScaleValue would store them, so an unchanged bound
        // is not stored (and announced) again on every draw.
        const float lower =
            std::max(document.CutDecimal(static_cast<float>(axis.scale.lower), axis.quantity),
                     Document::kLowestScale);
        const float upper =
            std::min(document.CutDecimal(static_cast<float>(axis.scale.upper), axis.quantity),
                     Document::kHighestScale);
        if (document.GetScaleValue(false, axis.quantity) != lower)
            document.SetScaleValue(false, axis.quantity, lower);
        if (document.GetScaleValue(true, axis.quantity) != upper)
            document.SetScaleValue(true, axis.quantity, upper);
    }
    document.bZoomOut = zoomOut;
}
