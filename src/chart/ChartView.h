#pragma once
// ChartView: the chart page of a document window (the "Diagram" tab). It shows
// a Document's chart on a double-buffered drawing surface (picChart) with the
// horizontal scroll bar (hscChart) under it, and carries out zooming,
// scrolling, marking and the axis dialog. Headless rules live in the core
// (ChartNavigator, ChartLayout, the renderer); this widget shows them.
//
// Using it from the document window:
//   - SetDocument(&document) once the document exists. The view observes it
//     (DocumentObserver) and redraws by itself whenever its view changes:
//     the range (Document::SetPoints or SetPoints here), scales, the check
//     boxes (Document::SetCharted), statistics. The document must outlive the
//     view, or be detached first with SetDocument(nullptr).
//   - After the document has been filled: DocumentFilled() (all points,
//     full automatic scales, whichever page is shown; a document whose range
//     was never set shows all its points anyway).
//   - The View menu: ZoomIn(), ZoomOut(), ShowAll(), ShowAxisDialog(); their
//     enabled states come with CommandStatesChanged (all false while this
//     page is hidden, so a page change disables them by itself; showing the
//     page again ends any zoom mode and enables them).
//   - Copy on the chart page: CopyBitmapToC(). Printing: RenderTo() on the
//     printer's painter.
//   - The real-time document needs nothing: points added to a document whose
//     bRealTime is set extend the scroll range and, while the chart follows
//     the newest data, move the window to them.
//   - ContextMenuRequested: the right mouse button (after ending the zoom
//     mode): open the chart's pop-up menu at that global position.
//   - TableRowRequested(row, topRow): a double click on a marked point: show
//     the data table page, select row (a 1-based point number) across all
//     columns, and scroll so that topRow is the first row shown.
//   - SlotsChanged / QuantityColour(q): the legend lines beside the
//     information page's check boxes.
//
// Direct gestures (their arithmetic is ChartGestures, applied by the
// navigator): the wheel zooms the time axis around the pointer, with Shift
// the values; a drag pans in time, with Shift the values; a drag with Ctrl
// zooms to its box at any time (again and again, no button to arm); the keys
// Ctrl++ / Ctrl+- (also + and -) zoom in and out around the middle and
// Ctrl+0 or Home shows all. Any of them stops the real-time chart following
// the newest point; Show All resumes it. The pointer over the plot shows a
// crosshair on the nearest point with its time and values; a legend of the
// quantities on the chart stands in the plot's top left corner; grid lines
// are a choice of the user's (SetGridLinesForAll, kept by the main window).

#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

#include "chart/ChartGestures.h"
#include "chart/ChartLayout.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSlots.h"
#include "document/DocumentObserver.h"

class Document;
class QScrollBar;
class ChartCanvas;

class ChartView : public QWidget, private DocumentObserver {
    Q_OBJECT

public:
    explicit ChartView(QWidget* parent = nullptr);
    ~ChartView() override;

    void SetDocument(Document* document);
    Document* GetDocument() const { return document_; }

    // Redraws the chart now; while the page is hidden, when it is next shown.
    void DrawChart();

    // The View menu's commands on this chart.
    void ZoomIn();
    void ZoomOut();
    // Ends the zoom mode (also done by a zoom, a right click and hiding).
    void EndZoom();
    // All points with full automatic scales; false (nothing done) while the
    // page is hidden or with fewer than two points.
    bool ShowAll();
    // The document has been filled (read, downloaded, restarted in real
    // time): all points with full automatic scales, on any page.
    void DocumentFilled();
    // The axis dialog (frmAxis), modal; true when it was accepted.
    bool ShowAxisDialog();
    // The point range (1-based), with the rules of the chart.
    void SetPoints(qint32 first, qint32 last);

    // The chart picture as shown (a fresh one when the page has not been
    // drawn yet), and on the clipboard as a bitmap.
    QImage ChartImage() const;
    void CopyBitmapToC();
    // Draws the chart on any painter (a printer page) in area, with a font of
    // the caller's choice (printing uses 10 points).
    void RenderTo(QPainter& painter, const QRectF& area, const QFont& font);

    // Index (0 or 1) of the drawing surface shown; the other one is drawn on.
    int intBox() const { return intBox_; }

    ChartCommandStates CommandStates() const;
    const ChartSlots& Slots() const { return slots_; }
    // The colour of quantity q's slot; invalid when q is not on the chart.
    QColor QuantityColour(int q) const { return slots_.ColourOf(q); }
    // The layout of the picture shown: where the plot and the axes are.
    const ChartLayout& Layout() const { return layout_; }
    // The view's rules for this document (the axis dialog uses them); null
    // without a document.
    ChartNavigator* Navigator() const { return navigator_.get(); }

    // Grid lines on this chart; SetGridLinesForAll sets them on every chart
    // page and on those made later (the main window's pop-up menu toggle).
    void SetGridLines(bool on);
    bool GridLines() const { return style_.gridLines; }
    static void SetGridLinesForAll(bool on);
    static bool GridLinesDefault();

    // What the crosshair shows now: nothing while the pointer is off the
    // plot. The legend of the picture shown.
    const std::optional<ChartReadout>& Readout() const { return readout_; }
    ChartLegend Legend() const;

signals:
    void CommandStatesChanged(const ChartCommandStates& states);
    void ContextMenuRequested(const QPoint& globalPos);
    void TableRowRequested(qint32 row, qint32 topRow);
    void SlotsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class ChartCanvas;

    // DocumentObserver.
    void QuantitiesChanged(const Document&) override;
    void PointsAdded(const Document&, qint32 first, qint32 count) override;
    void PointsRemoved(const Document&, qint32 first, qint32 count) override;
    void StatisticsChanged(const Document&) override;
    void ViewChanged(const Document&) override;

    void ScheduleDraw();
    void SyncSlots();
    void UpdateScrollBar();
    void UpdateCursor();
    void EmitCommandStates();
    void Scrolled(int value);

    // From the drawing surface, in picture coordinates.
    void CanvasPressed(QPointF pos, Qt::MouseButton button, const QPoint& globalPos,
                       Qt::KeyboardModifiers modifiers = {});
    void CanvasMoved(QPointF pos, Qt::MouseButtons buttons = {});
    void CanvasReleased(QPointF pos, Qt::MouseButton button);
    void CanvasWheel(QPointF pos, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    void CanvasLeft();
    void UpdateReadout(QPointF pos);
    void PaintOverlay(QPainter& painter);
    void CanvasDoubleClicked(QPointF pos, Qt::MouseButton button, const QPoint& globalPos);
    void PaintCanvas(QPainter& painter);

    Document* document_ = nullptr;
    std::unique_ptr<ChartNavigator> navigator_;
    ChartSlots slots_;
    ChartLayout layout_;
    QFont chartFont_;
    ChartCanvas* picChart_ = nullptr;
    QScrollBar* hscChart_ = nullptr;
    QImage surface_[2];
    int intBox_ = 0;
    bool drawPending_ = false;
    bool drawWhenShown_ = true;
    bool drawing_ = false;
    bool updatingScrollBar_ = false;
    // The zoom box: shown while the button is held in zoom mode.
    bool boxShown_ = false;
    QPointF boxStart_;
    QPointF boxEnd_;
    ChartCommandStates lastStates_;
    ChartStyle style_;
    // A Ctrl drag: a zoom box without the zoom mode.
    bool freeBox_ = false;
    // A drag that pans: the window and the layout at the press.
    enum class Drag { None, Pending, Points, Values };
    Drag drag_ = Drag::None;
    bool dragValues_ = false;
    QPointF pressPos_;
    ChartLayout pressLayout_;
    qint32 pressFirst_ = 1;
    qint32 pressLast_ = 1;
    // The pointer over the plot and the crosshair's read-out there.
    std::optional<QPointF> pointer_;
    std::optional<ChartReadout> readout_;
};
