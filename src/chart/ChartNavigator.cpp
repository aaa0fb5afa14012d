#include "chart/ChartNavigator.h"

#include <algorithm>
#include <cmath>

#include "chart/ChartGestures.h"
#include "chart/ChartLayout.h"
#include "document/Document.h"

namespace {

QPointF Clamped(const QRectF& rect, QPointF pos) {
    return QPointF(std::clamp(pos.x(), rect.left(), rect.right()),
                   std::clamp(pos.y(), rect.top(), rect.bottom()));
}

qint32 PointAt(const ChartLayout& layout, double x, qint32 count) {
    const double point = std::round(layout.PointAtX(x));
    return static_cast<qint32>(std::clamp(point, 1.0, static_cast<double>(std::max(count, 1))));
}

}  // namespace

ChartNavigator::ChartNavigator(Document& document) : document_(document) {}

void ChartNavigator::NormalizeRange(qint32& first, qint32& last, qint32 count) {
    if (last > count) last = count;
    if (last < first) last = std::min(first + 1, count);
    if (first >= last) first = last - 1;
    first = std::max(first, 1);
    last = std::max(last, 1);
}

void ChartNavigator::SetPoints(qint32 first, qint32 last) {
    Apply(first, last, true);
}

void ChartNavigator::Apply(qint32 first, qint32 last, bool notify) {
    const qint32 count = document_.PointCount();
    NormalizeRange(first, last, count);
    document_.FirstPoint = first;
    document_.LastPoint = last;
    SetScrollBar(first, last);
    const bool all = first == 1 && last == count;
    document_.bShowAll = all;
    // The range ending at the newest point is what the real-time window keeps
    // in view; a zoom into older points stays where it is.
    follow_ = last >= count;
    document_.bZoomOut = !all || AnyChartedQuantityScaledByHand();
    appliedFirst_ = first;
    appliedLast_ = last;
    appliedCount_ = count;
    if (notify) document_.NotifyViewChanged();
}

void ChartNavigator::SetScrollBar(qint32 first, qint32 last) {
    span_ = last - first;
    lastOdd_ = (last % 2) != 0;
    ScrollBarSettings& bar = scrollBar_;
    bar.minimum = std::max(1, span_ / 2);
    // Raised, never lowered, so a zoom keeps the whole scroll range.
    bar.maximum = std::max({bar.maximum, last / 2, bar.minimum});
    bar.value = std::clamp(last / 2, bar.minimum, bar.maximum);
    bar.pageStep = bar.minimum;
    bar.singleStep = bar.minimum < 3 ? 1 : bar.minimum / 3;
}

bool ChartNavigator::AnyChartedQuantityScaledByHand() const {
    for (int q = 0; q < document_.QuantityCount(); ++q) {
        if (document_.IsCharted(q) && !document_.Quantity(q).AutoScale) return true;
    }
    return false;
}

bool ChartNavigator::ShowAll(bool chartPageCurrent) {
    const qint32 count = document_.PointCount();
    if (!chartPageCurrent || count < 2) return false;
    for (int q = 0; q < document_.QuantityCount(); ++q) document_.Quantity(q).AutoScale = true;
    document_.ShowAll();
    EndZoom();
    SetPoints(1, count);
    return true;
}

bool ChartNavigator::AdoptDocumentRange() {
    const qint32 count = document_.PointCount();
    if (document_.FirstPoint == appliedFirst_ && document_.LastPoint == appliedLast_ &&
        count == appliedCount_)
        return false;
    // A document whose range was never set (a last point of 0, as a new
    // record has) shows all its points.
    if (document_.LastPoint < 1)
        Apply(1, count, false);
    else
        Apply(document_.FirstPoint, document_.LastPoint, false);
    return true;
}

void ChartNavigator::ScrollTo(int value) {
    const qint32 count = document_.PointCount();
    ScrollBarSettings& bar = scrollBar_;
    value = std::clamp(value, bar.minimum, bar.maximum);
    bar.value = value;
    qint32 last = 2 * value + (lastOdd_ ? 1 : 0);
    // The halving may have lost the newest point: the end of the scroll bar
    // shows it.
    if (value == bar.maximum && count / 2 == value) last = count;
    last = std::clamp(last, 1, std::max(count, 1));
    qint32 first = last - span_;
    if (first < 1) {
        first = 1;
        last = std::min(std::max(count, 1), first + span_);
    }
    document_.FirstPoint = first;
    document_.LastPoint = last;
    document_.bShowAll = first == 1 && last == count;
    follow_ = value == bar.maximum;
    appliedFirst_ = first;
    appliedLast_ = last;
    appliedCount_ = count;
    document_.NotifyViewChanged();
}

void ChartNavigator::PointsAdded() {
    const qint32 count = document_.PointCount();
    scrollBar_.maximum = std::max(scrollBar_.maximum, count / 2);
    if (follow_) {
        if (document_.FirstPoint <= 1 && document_.bShowAll)
            SetPoints(1, count);
        else
            SetPoints(count - span_, count);
        return;
    }
    appliedCount_ = count;
    document_.NotifyViewChanged();
}

void ChartNavigator::SetBounds(int q, double lower, double upper) {
    document_.SetScaleValue(false, q, static_cast<float>(lower));
    document_.SetScaleValue(true, q, static_cast<float>(upper));
    document_.Quantity(q).AutoScale = false;
}

bool ChartNavigator::ClickZoom(const ChartLayout& layout, QPointF pos) {
    if (mode_ == ZoomMode::None) return false;
    const bool in = mode_ == ZoomMode::In;
    const qint32 count = document_.PointCount();
    pos = Clamped(layout.plot, pos);

    const qint32 clicked = PointAt(layout, pos.x(), count);
    const double percent = layout.plot.height() > 0.0
                               ? (layout.plot.bottom() - pos.y()) / layout.plot.height() * 100.0
                               : 0.0;

    const qint32 span = document_.LastPoint - document_.FirstPoint;
    qint32 newSpan = in ? span / 3 : span * 3;
    if (newSpan < 3) newSpan = 2;
    if (newSpan > count) newSpan = count;
    // The window keeps its whole new span, also when it is odd.
    const PointRange window = FitWindow(clicked - newSpan / 2, newSpan, count);
    const qint32 first = window.first;
    const qint32 last = window.last;

    for (const AxisLayout& axis : layout.axes) {
        const double lower = axis.scale.lower;
        const double upper = axis.scale.upper;
        const double value = lower + (upper - lower) * percent / 100.0;
        double valueSpan = in ? (upper - lower) / 3.0 : (upper - lower) * 3.0;
        valueSpan = std::max(valueSpan, kMinimumValueSpan);
        SetBounds(axis.quantity, value - valueSpan / 2.0, value + valueSpan / 2.0);
    }
    EndZoom();
    SetPoints(first, last);
    return true;
}

bool ChartNavigator::BoxZoom(const ChartLayout& layout, const QRectF& box) {
    if (mode_ == ZoomMode::None) return false;
    ZoomToBox(layout, box);
    EndZoom();
    return true;
}

bool ChartNavigator::ZoomToBox(const ChartLayout& layout, const QRectF& box) {
    const qint32 count = document_.PointCount();
    const QRectF normal = box.normalized();
    const QPointF topLeft = Clamped(layout.plot, normal.topLeft());
    const QPointF bottomRight = Clamped(layout.plot, normal.bottomRight());
    const qint32 first = PointAt(layout, topLeft.x(), count);
    const qint32 last = PointAt(layout, bottomRight.x(), count);
    for (const AxisLayout& axis : layout.axes) {
        SetBounds(axis.quantity, layout.ValueAtY(axis, bottomRight.y()),
                  layout.ValueAtY(axis, topLeft.y()));
    }
    SetPoints(first, last);
    return true;
}

void ChartNavigator::ApplyGesture(qint32 first, qint32 last) {
    Apply(first, last, true);
    follow_ = false;
}

void ChartNavigator::WheelZoomPoints(const ChartLayout& layout, double x, double steps) {
    const qint32 count = document_.PointCount();
    if (count < 2 || steps == 0.0) return;
    const double anchor = std::clamp(x, layout.plot.left(), layout.plot.right());
    const PointRange range = WheelZoomRange(document_.FirstPoint, document_.LastPoint, count,
                                            layout.PointAtX(anchor), steps);
    ApplyGesture(range.first, range.last);
}

void ChartNavigator::ZoomPointsAroundCentre(double steps) {
    const qint32 count = document_.PointCount();
    if (count < 2 || steps == 0.0) return;
    const double centre = (document_.FirstPoint + document_.LastPoint) / 2.0;
    const PointRange range =
        WheelZoomRange(document_.FirstPoint, document_.LastPoint, count, centre, steps);
    ApplyGesture(range.first, range.last);
}

void ChartNavigator::PanPoints(qint32 first, qint32 last, double delta) {
    const qint32 count = document_.PointCount();
    if (count < 2) return;
    const PointRange range = PanRange(first, last, count, delta);
    ApplyGesture(range.first, range.last);
}

void ChartNavigator::WheelZoomValues(const ChartLayout& layout, double y, double steps) {
    if (layout.axes.isEmpty() || steps == 0.0) return;
    y = std::clamp(y, layout.plot.top(), layout.plot.bottom());
    for (const AxisLayout& axis : layout.axes) {
        const ValueBounds bounds =
            WheelZoomBounds({axis.scale.lower, axis.scale.upper}, layout.ValueAtY(axis, y), steps);
        SetBounds(axis.quantity, bounds.lower, bounds.upper);
    }
    ApplyGesture(document_.FirstPoint, document_.LastPoint);
}

void ChartNavigator::PanValues(const ChartLayout& layout, double dy) {
    if (layout.axes.isEmpty()) return;
    for (const AxisLayout& axis : layout.axes) {
        const ValueBounds bounds = DragBounds(layout, axis, dy);
        SetBounds(axis.quantity, bounds.lower, bounds.upper);
    }
    ApplyGesture(document_.FirstPoint, document_.LastPoint);
}

void ChartNavigator::MarkAt(const ChartLayout& layout, QPointF pos) {
    const QRectF& plot = layout.plot;
    if (pos.x() < plot.left() || pos.x() > plot.right() || pos.y() < plot.top() ||
        pos.y() > plot.bottom() || document_.PointCount() < 1) {
        mark_.reset();
        return;
    }
    mark_ = static_cast<qint32>(std::max(1.0, std::round(layout.PointAtX(pos.x()))));
}

std::optional<TableJump> ChartNavigator::TableJumpForMark() const {
    if (!mark_ || document_.PointCount() < 1) return std::nullopt;
    TableJump jump;
    jump.row = std::min(*mark_, document_.PointCount());
    jump.topRow = std::max(1, jump.row - 5);
    return jump;
}

ChartCommandStates ChartNavigator::CommandStates(bool chartPageCurrent) const {
    ChartCommandStates states;
    if (!chartPageCurrent) return states;
    states.zoomIn = mode_ != ZoomMode::In;
    states.zoomOut = mode_ == ZoomMode::Out ? false : document_.bZoomOut;
    states.showAll = true;
    states.axis = true;
    return states;
}
