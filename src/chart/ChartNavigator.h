#pragma once
// What the user does to a chart's view, without a screen: the point range and
// its scroll bar, zooming by click or box, the follow flag of the real-time
// window, marking a point and jumping from it to the data table. One
// navigator belongs to one document window; the chart widget forwards mouse
// positions to it together with the layout of the picture shown.
//
// The navigator writes the document's FirstPoint, LastPoint, bShowAll,
// bZoomOut and scales, then tells the document's observers (ViewChanged), and
// the chart page redraws.

#include <QPointF>
#include <QRectF>
#include <optional>

class Document;
struct ChartLayout;

enum class ZoomMode { None, In, Out };

// The horizontal scroll bar under the chart (hscChart). Its values are 16-bit
// in the program's design, so it counts in units of two points.
struct ScrollBarSettings {
    int minimum = 1;
    int maximum = 1;
    int value = 1;
    int pageStep = 1;
    int singleStep = 1;

    bool operator==(const ScrollBarSettings&) const = default;
};

// Enabled state of the View menu's zoom commands and their toolbar buttons.
struct ChartCommandStates {
    bool zoomIn = false;
    bool zoomOut = false;
    bool showAll = false;
    bool axis = false;

    bool operator==(const ChartCommandStates&) const = default;
};

// Where a double click on a marked point takes the data table: the row to
// select (the point's number) and the first row to show.
struct TableJump {
    qint32 row = 1;
    qint32 topRow = 1;

    bool operator==(const TableJump&) const = default;
};

class ChartNavigator {
public:
    explicit ChartNavigator(Document& document);

    Document& GetDocument() const { return document_; }

    // The rules of a point range: last at most the number of points; a last
    // below first becomes first + 1 (again at most the count); a first not
    // below last becomes last - 1; neither below 1.
    static void NormalizeRange(qint32& first, qint32& last, qint32 count);

    // Shows points first .. last (normalized). Sets the scroll bar, bShowAll
    // when everything is shown, bZoomOut when less than everything is (a part
    // of the points, or a quantity on the chart with bounds of its own), and
    // the follow flag when the range ends at the newest point.
    void SetPoints(qint32 first, qint32 last);

    // All points with full, automatic scales, and the zoom mode ends. Ignored
    // (false) unless the chart page is the page shown and there are at least
    // two points.
    bool ShowAll(bool chartPageCurrent = true);

    // Takes over a range that was stored in the document by someone else
    // (Document::SetPoints, Document::ShowAll): normalizes it and sets the
    // scroll bar; a range never set (LastPoint 0) becomes all points. True
    // when there was something to take over.
    bool AdoptDocumentRange();

    // The scroll bar was moved to value: the window keeps its span and ends at
    // twice the value (plus the odd point the halving lost). At the scroll
    // bar's maximum the newest point is shown and the follow flag is set.
    void ScrollTo(int value);

    // The real-time window added points: the scroll range grows to them and,
    // while the chart follows the newest data, the window moves to the end
    // (keeping its span, or keeping everything in view when it showed all).
    void PointsAdded();

    const ScrollBarSettings& ScrollBar() const { return scrollBar_; }
    bool Follow() const { return follow_; }

    // --- Zoom.
    ZoomMode Mode() const { return mode_; }
    void BeginZoomIn() { mode_ = ZoomMode::In; }
    void BeginZoomOut() { mode_ = ZoomMode::Out; }
    void EndZoom() { mode_ = ZoomMode::None; }

    // A click in zoom mode at pos (picture units of layout): the clicked point
    // becomes the middle of a window a third (zoom in) or three times (zoom
    // out) as wide, at least 2 points, at most all of them, shifted to stay
    // within the points; every quantity on the chart gets bounds a third or
    // three times as far apart (at least 0.001) around the value under the
    // click, and no more automatic scaling. The zoom mode ends. False outside
    // zoom mode.
    bool ClickZoom(const ChartLayout& layout, QPointF pos);
    // A box dragged in zoom mode: the points under its left and right edges
    // and the values at its bottom and top become the range and the bounds.
    bool BoxZoom(const ChartLayout& layout, const QRectF& box);

    // A box zoom at any time (a drag with Ctrl held), without arming the zoom
    // mode: what BoxZoom does, and the zoom mode stays as it was, so the next
    // box needs no button either.
    bool ZoomToBox(const ChartLayout& layout, const QRectF& box);

    // --- Direct gestures: the wheel, a drag and the keys (ChartGestures has
    // their arithmetic). Each is a choice of the user's view: the chart stops
    // following the newest point until Show All or the scroll bar's end.
    // The time axis zoomed by steps wheel notches (positive: in) around the
    // point at x (picture units of layout).
    void WheelZoomPoints(const ChartLayout& layout, double x, double steps);
    // The same around the middle of the points shown (the keys).
    void ZoomPointsAroundCentre(double steps);
    // Points first .. last (the window at the press of a drag) moved by
    // delta points.
    void PanPoints(qint32 first, qint32 last, double delta);
    // Every vertical axis of layout zoomed by steps notches around the value
    // at height y; the quantities lose their automatic scaling.
    void WheelZoomValues(const ChartLayout& layout, double y, double steps);
    // Every vertical axis of layout (the layout at the press of a drag)
    // moved by dy picture units; no more automatic scaling.
    void PanValues(const ChartLayout& layout, double dy);

    // --- Marking.
    // A click outside zoom mode: on the plot area it marks the nearest point,
    // elsewhere it clears the mark.
    void MarkAt(const ChartLayout& layout, QPointF pos);
    void ClearMark() { mark_.reset(); }
    std::optional<qint32> Mark() const { return mark_; }
    // The data table row of the marked point (at most the last point) and the
    // first row to show, five rows above it (at least row 1); nothing without
    // a mark.
    std::optional<TableJump> TableJumpForMark() const;

    ChartCommandStates CommandStates(bool chartPageCurrent) const;

private:
    // Stores the range and its consequences; notify tells the observers.
    void Apply(qint32 first, qint32 last, bool notify);
    void SetScrollBar(qint32 first, qint32 last);
    bool AnyChartedQuantityScaledByHand() const;
    void SetBounds(int q, double lower, double upper);
    // A gesture's range: applied, and following stops.
    void ApplyGesture(qint32 first, qint32 last);

    Document& document_;
    ZoomMode mode_ = ZoomMode::None;
    ScrollBarSettings scrollBar_;
    bool lastOdd_ = false;
    qint32 span_ = 0;
    bool follow_ = true;  // true when the window opens
    std::optional<qint32> mark_;
    qint32 appliedFirst_ = -1;
    qint32 appliedLast_ = -1;
    qint32 appliedCount_ = -1;
};
