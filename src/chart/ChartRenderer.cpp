#include "chart/ChartRenderer.h"

#include <QFontMetricsF>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/ChartMetrics.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"

namespace {

// Rounds half up to a whole number. The curve rounds every point with it;
// libm's lround would cost more than the rest of the curve together.
inline int RoundToInt(double value) {
    const double shifted = value + 0.5;
    const int truncated = static_cast<int>(shifted);
    return truncated - (shifted < truncated ? 1 : 0);
}

// Point and value to picture position for one curve. CurvePoint and DrawCurve
// both go through At(), so the drawn curve and a point-by-point drawing agree
// to the last bit.
struct CurveMapping {
    CurveMapping(const ChartLayout& layout, const AxisLayout& axis)
        : left(layout.plot.left()),
          perPoint(layout.PixelsPerPoint()),
          first(layout.first),
          bottom(layout.plot.bottom()),
          lower(axis.scale.lower) {
        const double range = axis.scale.upper - axis.scale.lower;
        perValue = range > 0.0 ? layout.plot.height() / range : 0.0;
        const double reach = 1000.0 * std::max(1.0, layout.plot.height());
        minY = layout.plot.top() - reach;
        maxY = layout.plot.bottom() + reach;
    }

    int X(qint32 k) const { return RoundToInt(left + static_cast<double>(k - first) * perPoint); }
    // Never rises with the value, so the lowest value of a column gives its
    // lowest pixel and the highest value its highest.
    int Y(double value) const {
        const double y = bottom - (value - lower) * perValue;
        return RoundToInt(y < minY ? minY : (y > maxY || y != y ? maxY : y));
    }
    QPoint At(qint32 k, double value) const { return QPoint(X(k), Y(value)); }
    // The last point (from k, at most last) in column x, where point k is.
    qint32 LastInColumn(qint32 k, int x, qint32 last) const {
        qint32 end = last;
        if (perPoint > 0.0) {
            const double estimate = first + std::floor((x + 0.5 - left) / perPoint);
            if (estimate < last) end = std::max(k, static_cast<qint32>(estimate));
        }
        while (end < last && X(end + 1) == x) ++end;
        while (end > k && X(end) != x) --end;
        return end;
    }

    double left;
    double perPoint;
    qint32 first;
    double bottom;
    double lower;
    double perValue = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
};

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

QPen LinePen(const QColor& colour, double unit) {
    // One device pixel on the screen; on a printer a line as wide as a screen
    // pixel would look there.
    QPen pen(colour, unit >= 1.5 ? std::round(unit) : 0.0);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawAxis(QPainter& painter, const ChartLayout& layout, const AxisLayout& axis,
              const QFontMetricsF& metrics) {
    const double u = layout.unit;
    const QRectF& plot = layout.plot;
    const int x = Round(axis.axisX);
    const int outward = axis.rightSide ? 1 : -1;
    painter.setPen(LinePen(axis.colour, u));
    painter.drawLine(x, Round(plot.top()), x, Round(plot.bottom()));

    for (double value : axis.scale.MinorTicks()) {
        const int y = Round(layout.YOfValue(axis, value));
        painter.drawLine(x, y, x + outward * Round(kMinorTick * u), y);
    }
    for (const TickLabel& label : axis.labels) {
        const int y = Round(layout.YOfValue(axis, label.value));
        painter.drawLine(x, y, x + outward * Round(kMajorTick * u), y);
        if (!label.shown) continue;
        painter.drawText(label.rect,
                         (axis.rightSide ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                         label.text);
    }

    if (axis.title.isEmpty()) return;
    // The title runs upwards along the outer side of the column.
    const double gap = kColumnGap * u;
    const double centreX = axis.rightSide ? axis.column.right() - gap - layout.textHeight / 2.0
                                          : axis.column.left() + gap + layout.textHeight / 2.0;
    const double length = plot.height();
    const QString title = metrics.elidedText(axis.title, Qt::ElideRight, length);
    painter.save();
    painter.translate(centreX, plot.center().y());
    painter.rotate(-90.0);
    painter.drawText(QRectF(-length / 2.0, -layout.textHeight / 2.0, length, layout.textHeight),
                     Qt::AlignCenter, title);
    painter.restore();
}

void DrawTimeAxis(QPainter& painter, const ChartLayout& layout) {
    if (!layout.timeStep) return;
    const double u = layout.unit;
    const int bottom = Round(layout.plot.bottom());
    const int tick = Round(kMajorTick * u);
    painter.setPen(LinePen(Qt::black, u));
    for (const TimeLabel& label : layout.timeLabels) {
        painter.drawLine(Round(label.x), bottom, Round(label.x), bottom + tick);
        if (!label.shown) continue;
        for (int i = 0; i < label.lines.size(); ++i) {
            const QRectF line(label.rect.left() - u, label.rect.top() + i * layout.textHeight,
                              label.rect.width() + 2 * u, layout.textHeight);
            painter.drawText(line, Qt::AlignHCenter | Qt::AlignTop, label.lines.at(i));
        }
    }
}

// Grid lines inside the frame: across at the labelled ticks of the first
// axis on the chart, up at the labelled points of the time axis.
void DrawGrid(QPainter& painter, const ChartLayout& layout, const QRect& frame) {
    QVector<QLine> lines;
    if (!layout.axes.isEmpty()) {
        const AxisLayout& axis = layout.axes.front();
        for (const TickLabel& label : axis.labels) {
            const int y = Round(layout.YOfValue(axis, label.value));
            if (y > frame.top() && y < frame.bottom())
                lines.append(QLine(frame.left() + 1, y, frame.right() - 1, y));
        }
    }
    for (const TimeLabel& label : layout.timeLabels) {
        const int x = Round(label.x);
        if (x > frame.left() && x < frame.right())
            lines.append(QLine(x, frame.top() + 1, x, frame.bottom() - 1));
    }
    if (lines.isEmpty()) return;
    painter.setPen(LinePen(QColor::fromRgb(kGridColour), layout.unit));
    painter.drawLines(lines);
}

// The vertical strokes of a curve's columns. On an image the painter draws on
// pixel for pixel with a one-pixel pen (the chart page's surfaces, the
// clipboard picture) they are written straight into the image: a vertical
// stroke is exactly the pixels from its top to its bottom, and a painter call
// for each of some thousand columns would cost more than all the rest of the
// chart. Anywhere else (a printer, a scaled painter) they are drawn as lines
// with a dot on each end.
class ColumnStrokes {
public:
    ColumnStrokes(QPainter& painter, QVector<QLine>& lines, QVector<QPoint>& dots)
        : lines_(lines), dots_(dots) {
        QPaintDevice* device = painter.device();
        if (!device || device->devType() != QInternal::Image) return;
        auto* image = static_cast<QImage*>(device);
        const QPen pen = painter.pen();
        const QImage::Format format = image->format();
        const bool opaque = pen.color().alpha() == 255 && pen.brush().style() == Qt::SolidPattern;
        if (!image->isDetached() || painter.deviceTransform().type() != QTransform::TxNone ||
            !pen.isCosmetic() || pen.widthF() > 1.0 || !opaque ||
            painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
            (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
             format != QImage::Format_ARGB32_Premultiplied))
            return;
        QRect clip = image->rect();
        if (painter.hasClipping()) clip &= painter.clipBoundingRect().toAlignedRect();
        if (painter.hasClipping() && painter.clipRegion().rectCount() != 1) return;
        image_ = image;
        clip_ = clip;
        colour_ = pen.color().rgba() | 0xFF000000u;
    }

    void Stroke(int x, int top, int bottom) {
        if (!image_) {
            if (top != bottom) lines_.append(QLine(x, top, x, bottom));
            dots_.append(QPoint(x, top));
            if (top != bottom) dots_.append(QPoint(x, bottom));
            return;
        }
        if (x < clip_.left() || x > clip_.right()) return;
        top = std::max(top, clip_.top());
        bottom = std::min(bottom, clip_.bottom());
        uchar* bits = image_->bits();
        const qsizetype stride = image_->bytesPerLine();
        for (int y = top; y <= bottom; ++y) reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour_;
    }

private:
    QVector<QLine>& lines_;
    QVector<QPoint>& dots_;
    QImage* image_ = nullptr;
    QRect clip_;
    QRgb colour_ = 0;
};

// The valid values of quantity q among points from .. to (1-based) that
// matter for their column.
struct ColumnValues {
    bool any = false;
    float first = 0.0f;
    float low = 0.0f;
    float high = 0.0f;
    float last = 0.0f;
};

// Kept out of line: inside DrawCurve the compiler ran out of registers and
// kept the extremes in memory, which doubled the cost of the whole curve.
Q_NEVER_INLINE ColumnValues ScanColumn(const Document& document, int q, qint32 from, qint32 to) {
    ColumnValues values;
    float low = std::numeric_limits<float>::infinity();
    float high = -std::numeric_limits<float>::infinity();
    float last = 0.0f;
    qint32 j = from;
    // The first valid value.
    for (; j <= to; ++j) {
        const PointValue point = document.Value(j - 1, q);
        // A reading that is no number has no place on the chart.
        if (point.Valid && point.Value == point.Value) break;
    }
    if (j > to) return values;
    values.any = true;
    values.first = document.Value(j - 1, q).Value;
    for (; j <= to; ++j) {
        const PointValue point = document.Value(j - 1, q);
        const float value = point.Value;
        if (!point.Valid || value != value) continue;
        low = value < low ? value : low;
        high = value > high ? value : high;
        last = value;
    }
    values.low = low;
    values.high = high;
    values.last = last;
    return values;
}

}  // namespace

QPoint CurvePoint(const ChartLayout& layout, const AxisLayout& axis, qint32 k, double value) {
    return CurveMapping(layout, axis).At(k, value);
}

void DrawCurve(QPainter& painter, const Document& document, const ChartLayout& layout,
               const AxisLayout& axis) {
    const qint32 first = layout.first;
    const qint32 last = std::min(layout.last, document.PointCount());
    if (first > last || axis.quantity >= document.QuantityCount()) return;
    const CurveMapping map(layout, axis);
    const int q = axis.quantity;

    QVector<QLine> lines;
    QVector<QPoint> dots;
    const qint64 columns = static_cast<qint64>(layout.plot.width()) + 2;
    lines.reserve(static_cast<qsizetype>(std::min<qint64>(2 * columns, 2 * (last - first + 1))));

    // A column at a time: its points are found from the column's position,
    // and within it only the values matter, the first (where the segment from
    // the previous column arrives), the last (where the next one leaves) and
    // the extremes. They become pixels once per column.
    ColumnStrokes strokes(painter, lines, dots);
    bool inColumn = false;
    int columnX = 0;
    int lastY = 0;
    for (qint32 k = first; k <= last;) {
        const int x = map.X(k);
        const qint32 end = map.LastInColumn(k, x, last);
        const ColumnValues values = ScanColumn(document, q, k, end);
        k = end + 1;
        if (!values.any) continue;
        const int firstY = map.Y(values.first);
        // The segment from the previous column; between neighbouring columns
        // a step of at most one pixel paints nothing but its two ends, which
        // the columns' strokes paint anyway.
        if (inColumn && (x - columnX > 1 || std::abs(firstY - lastY) > 1))
            lines.append(QLine(columnX, lastY, x, firstY));
        strokes.Stroke(x, map.Y(values.high), map.Y(values.low));
        inColumn = true;
        columnX = x;
        lastY = map.Y(values.last);
    }
    if (!lines.isEmpty()) painter.drawLines(lines);
    if (!dots.isEmpty()) painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
}

void RenderChart(QPainter& painter, const Document& document, const ChartLayout& layout,
                 const QFont& font, const ChartStyle& style) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    const QFontMetricsF metrics(font, painter.device());
    painter.fillRect(layout.area, Qt::white);

    // The frame's lines stand on the plot's edge columns and rows; curves may
    // draw on them too.
    const QRect frame(QPoint(Round(layout.plot.left()), Round(layout.plot.top())),
                      QPoint(Round(layout.plot.right()), Round(layout.plot.bottom())));
    const QLine edges[] = {{frame.topLeft(), frame.topRight()},
                           {frame.topRight(), frame.bottomRight()},
                           {frame.bottomRight(), frame.bottomLeft()},
                           {frame.bottomLeft(), frame.topLeft()}};
    if (style.gridLines) DrawGrid(painter, layout, frame);
    painter.setPen(LinePen(Qt::black, layout.unit));
    painter.drawLines(edges, 4);

    for (const AxisLayout& axis : layout.axes) {
        DrawAxis(painter, layout, axis, metrics);
        painter.save();
        painter.setClipRect(frame);
        painter.setPen(LinePen(axis.colour, layout.unit));
        DrawCurve(painter, document, layout, axis);
        painter.restore();
    }
    DrawTimeAxis(painter, layout);
    painter.restore();
}

ChartLayout DrawChart(QPainter& painter, Document& document, const ChartSlots& chartSlots,
                      const QRectF& area, const QFont& font, const ChartStyle& style) {
    const FontChartMetrics metrics(font, painter.device());
    const ChartLayout layout = ComputeChartLayout(document, chartSlots, metrics, area);
    StoreAxisBounds(document, layout);
    RenderChart(painter, document, layout, font, style);
    return layout;
}

QImage RenderChartImage(Document& document, const ChartSlots& chartSlots, const QSize& size,
                        const QFont& font, const ChartStyle& style) {
    // RenderChart paints every pixel of the area, the white background first.
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter painter(&image);
    DrawChart(painter, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(image.size())), font,
              style);
    painter.end();
    return image;
}
