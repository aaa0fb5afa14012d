#include "chart/ChartRenderer.h"

#include <QFontMetricsF>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QVector>
#include <algorithm>
#include <cmath>

#include "chart/ChartMetrics.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"

namespace {

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

    QPoint At(qint32 k, double value) const {
        const double x = left + static_cast<double>(k - first) * perPoint;
        const double y = std::clamp(bottom - (value - lower) * perValue, minY, maxY);
        return QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
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
    const double labelGap = (kMajorTick + kColumnGap) * u;
    const double halfLine = layout.textHeight / 2.0;
    for (double value : axis.scale.MajorTicks()) {
        const double y = layout.YOfValue(axis, value);
        painter.drawLine(x, Round(y), x + outward * Round(kMajorTick * u), Round(y));
        // Labels stay inside the picture at the ends of the axis.
        const double top =
            std::clamp(y - halfLine, layout.area.top(), layout.area.bottom() - layout.textHeight);
        const QString text = AxisLabel(value, axis.scale.decimals);
        if (axis.rightSide) {
            painter.drawText(
                QRectF(axis.axisX + labelGap, top, axis.labelWidth + u, layout.textHeight),
                Qt::AlignLeft | Qt::AlignVCenter, text);
        } else {
            painter.drawText(QRectF(axis.axisX - labelGap - axis.labelWidth - u, top,
                                    axis.labelWidth + u, layout.textHeight),
                             Qt::AlignRight | Qt::AlignVCenter, text);
        }
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

    bool inColumn = false;
    int columnX = 0;
    int lastY = 0;
    int lowY = 0;
    int highY = 0;
    const auto flush = [&] {
        if (lowY != highY) lines.append(QLine(columnX, lowY, columnX, highY));
        dots.append(QPoint(columnX, lowY));
        if (lowY != highY) dots.append(QPoint(columnX, highY));
    };
    for (qint32 k = first; k <= last; ++k) {
        const PointValue value = document.Value(k - 1, q);
        if (!value.Valid) continue;
        const QPoint p = map.At(k, value.Value);
        if (inColumn && p.x() == columnX) {
            lastY = p.y();
            lowY = std::min(lowY, p.y());
            highY = std::max(highY, p.y());
            continue;
        }
        if (inColumn) {
            flush();
            lines.append(QLine(columnX, lastY, p.x(), p.y()));
        }
        inColumn = true;
        columnX = p.x();
        lastY = lowY = highY = p.y();
    }
    if (inColumn) flush();
    if (!lines.isEmpty()) painter.drawLines(lines);
    if (!dots.isEmpty()) painter.drawPoints(dots.constData(), static_cast<int>(dots.size()));
}

void RenderChart(QPainter& painter, const Document& document, const ChartLayout& layout,
                 const QFont& font) {
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
    painter.setPen(LinePen(Qt::black, layout.unit));
    const QLine edges[] = {{frame.topLeft(), frame.topRight()},
                           {frame.topRight(), frame.bottomRight()},
                           {frame.bottomRight(), frame.bottomLeft()},
                           {frame.bottomLeft(), frame.topLeft()}};
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
                      const QRectF& area, const QFont& font) {
    const FontChartMetrics metrics(font, painter.device());
    const ChartLayout layout = ComputeChartLayout(document, chartSlots, metrics, area);
    StoreAxisBounds(document, layout);
    RenderChart(painter, document, layout, font);
    return layout;
}

QImage RenderChartImage(Document& document, const ChartSlots& chartSlots, const QSize& size,
                        const QFont& font) {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawChart(painter, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(image.size())), font);
    painter.end();
    return image;
}
