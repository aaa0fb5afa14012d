#include "chart/ChartView.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartMetrics.h"
#include "chart/frmAxis.h"
#include "document/Document.h"

namespace {

// A press and release closer than this (in pixels) is a click, not a box.
constexpr double kBoxThreshold = 4.0;

// The zoom cursors: a magnifying glass with a plus ("InZoom") or a minus
// ("OutZoom"); the hot spot is the middle of the glass.
QCursor ZoomCursor(bool in) {
    const QPixmap picture(in ? QStringLiteral(":/chart/InZoom.png")
                             : QStringLiteral(":/chart/OutZoom.png"));
    if (picture.isNull()) return QCursor(Qt::CrossCursor);
    return QCursor(picture, 12, 12);
}

// Grid lines of chart pages made from now on.
bool gridLinesDefault = false;

QPointF Clamped(const QRectF& rect, QPointF pos) {
    return QPointF(std::clamp(pos.x(), rect.left(), rect.right()),
                   std::clamp(pos.y(), rect.top(), rect.bottom()));
}

}  // namespace

// The drawing surface (picChart): shows the surface the view drew last and
// hands the mouse to the view.
class ChartCanvas : public QWidget {
public:
    explicit ChartCanvas(ChartView* view) : QWidget(view), view_(view) {
        setObjectName(QStringLiteral("picChart"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        // The crosshair follows the pointer without a button held.
        setMouseTracking(true);
        setMinimumSize(120, 80);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        view_->PaintCanvas(painter);
    }
    void resizeEvent(QResizeEvent*) override { view_->ScheduleDraw(); }
    void mousePressEvent(QMouseEvent* event) override {
        view_->setFocus(Qt::MouseFocusReason);
        view_->CanvasPressed(event->position(), event->button(), event->globalPosition().toPoint(),
                             event->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        view_->CanvasMoved(event->position(), event->buttons());
    }
    void wheelEvent(QWheelEvent* event) override {
        view_->CanvasWheel(event->position(), event->angleDelta(), event->modifiers());
        event->accept();
    }
    void leaveEvent(QEvent*) override { view_->CanvasLeft(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        view_->CanvasReleased(event->position(), event->button());
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        view_->CanvasDoubleClicked(event->position(), event->button(),
                                   event->globalPosition().toPoint());
    }

private:
    ChartView* view_;
};

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ChartView"));
    setFocusPolicy(Qt::StrongFocus);
    style_.gridLines = gridLinesDefault;
    // The chart's font is fixed when the page is made.
    chartFont_ = font();
    picChart_ = new ChartCanvas(this);
    hscChart_ = new QScrollBar(Qt::Horizontal, this);
    hscChart_->setObjectName(QStringLiteral("hscChart"));
    hscChart_->setRange(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(picChart_, 1);
    layout->addWidget(hscChart_);
    connect(hscChart_, &QScrollBar::valueChanged, this, &ChartView::Scrolled);
}

ChartView::~ChartView() {
    if (document_) document_->RemoveObserver(this);
}

void ChartView::SetDocument(Document* document) {
    if (document_ == document) return;
    if (document_) document_->RemoveObserver(this);
    document_ = document;
    navigator_.reset();
    slots_.Clear();
    layout_ = ChartLayout();
    pointer_.reset();
    readout_.reset();
    drag_ = Drag::None;
    if (document_) {
        navigator_ = std::make_unique<ChartNavigator>(*document_);
        document_->AddObserver(this);
        navigator_->AdoptDocumentRange();
        slots_.Sync(*document_);
    }
    emit SlotsChanged();
    UpdateScrollBar();
    UpdateCursor();
    ScheduleDraw();
}

void ChartView::ScheduleDraw() {
    if (drawPending_) return;
    drawPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (drawPending_) DrawChart();
    });
}

void ChartView::DrawChart() {
    drawPending_ = false;
    if (!isVisible()) {
        drawWhenShown_ = true;
        return;
    }
    drawWhenShown_ = false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const qreal ratio = devicePixelRatioF();
    const QSize size = picChart_->size().expandedTo(QSize(1, 1));
    const int hidden = 1 - intBox_;
    QImage& surface = surface_[hidden];
    if (surface.size() != size * ratio) {
        surface = QImage(size * ratio, QImage::Format_RGB32);
        surface.setDevicePixelRatio(ratio);
    }
    if (document_ && navigator_) {
        navigator_->AdoptDocumentRange();
        SyncSlots();
        UpdateScrollBar();
        QPainter painter(&surface);
        // Drawing keeps the drawn bounds in the document, which announces
        // them; that is no reason to draw again.
        drawing_ = true;
        layout_ = ::DrawChart(painter, *document_, slots_, QRectF(QPointF(0, 0), QSizeF(size)),
                              chartFont_, style_);
        drawing_ = false;
        // The read-out follows the data under the pointer.
        if (pointer_) UpdateReadout(*pointer_);
    } else {
        surface.fill(Qt::white);
        layout_ = ChartLayout();
    }
    intBox_ = hidden;
    picChart_->update();
    EmitCommandStates();
    QGuiApplication::restoreOverrideCursor();
}

void ChartView::PaintCanvas(QPainter& painter) {
    const QImage& shown = surface_[intBox_];
    if (shown.isNull()) {
        painter.fillRect(picChart_->rect(), Qt::white);
    } else {
        painter.fillRect(picChart_->rect(), Qt::white);
        painter.drawImage(QPointF(0, 0), shown);
    }
    // The marked point: a dotted line across the plot.
    if (navigator_ && navigator_->Mark() && layout_.count > 0) {
        const qint32 mark = std::min(*navigator_->Mark(), layout_.count);
        if (mark >= layout_.first && mark <= layout_.last) {
            const double x = std::round(layout_.XOfPoint(mark));
            painter.setPen(QPen(QColor(96, 96, 96), 0, Qt::DotLine));
            painter.drawLine(QPointF(x, layout_.plot.top()), QPointF(x, layout_.plot.bottom()));
        }
    }
    PaintOverlay(painter);
    if (boxShown_) {
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(QColor(0, 0, 0, 24));
        painter.drawRect(QRectF(boxStart_, boxEnd_).normalized());
    }
}

ChartLegend ChartView::Legend() const {
    if (!document_) return {};
    const FontChartMetrics metrics(chartFont_, nullptr);
    return ComputeLegend(*document_, layout_, metrics);
}

// Over the picture: the legend, the "no data" text of an empty document, the
// crosshair and its read-out. None of it is in the picture itself, so the
// pointer costs no redraw and the copied or printed chart shows the data only.
void ChartView::PaintOverlay(QPainter& painter) {
    if (!document_ || surface_[intBox_].isNull()) return;
    painter.save();
    painter.setFont(chartFont_);
    const QFontMetricsF metrics(chartFont_);
    if (document_->PointCount() < 1) {
        painter.setPen(QColor(96, 96, 96));
        const QRectF plot = layout_.plot.isEmpty() ? QRectF(picChart_->rect()) : layout_.plot;
        painter.drawText(plot, Qt::AlignCenter, StringTable::Text(Str::kChartNoData));
        painter.restore();
        return;
    }
    const ChartLegend legend = Legend();
    if (!legend.box.isEmpty()) {
        painter.setPen(QColor(160, 160, 160));
        painter.setBrush(QColor(255, 255, 255, 230));
        painter.drawRect(legend.box);
        for (const LegendEntry& entry : legend.entries) {
            painter.fillRect(entry.sample, entry.colour);
            painter.setPen(Qt::black);
            painter.drawText(entry.textRect, Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        }
    }
    if (readout_ && drag_ != Drag::Points && drag_ != Drag::Values) {
        const ChartReadout& readout = *readout_;
        const double x = std::round(layout_.XOfPoint(readout.point));
        painter.setPen(QPen(QColor(64, 64, 64), 0, Qt::DashLine));
        painter.drawLine(QPointF(x, layout_.plot.top()), QPointF(x, layout_.plot.bottom()));
        if (pointer_)
            painter.drawLine(QPointF(layout_.plot.left(), pointer_->y()),
                             QPointF(layout_.plot.right(), pointer_->y()));
        // The values' own places on their curves.
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (const ReadoutValue& value : readout.values) {
            const AxisLayout* axis = layout_.AxisOf(value.quantity);
            if (!value.valid || !axis) continue;
            const double y = layout_.YOfValue(*axis, value.value);
            if (y < layout_.plot.top() || y > layout_.plot.bottom()) continue;
            painter.setPen(QPen(value.colour, 1.5));
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(x, y), 3.5, 3.5);
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
        // The box: the time, then one line per quantity in its colour.
        QStringList lines{readout.timeText};
        for (const ReadoutValue& value : readout.values)
            lines.append(QStringLiteral("%1: %2").arg(value.title, value.text));
        double width = 0.0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        const double lineHeight = metrics.height();
        QRectF box(0, 0, width + 12.0, lines.size() * lineHeight + 8.0);
        // Beside the crosshair, on the side with room, and below the legend.
        double left = x + 12.0;
        if (left + box.width() > layout_.plot.right()) left = x - 12.0 - box.width();
        left = std::max(left, layout_.plot.left() + 1.0);
        double top = legend.box.isEmpty() ? layout_.plot.top() + 4.0 : legend.box.bottom() + 4.0;
        if (pointer_ && pointer_->y() > top + box.height() + 8.0 &&
            pointer_->y() < layout_.plot.bottom())
            top = std::min(pointer_->y() + 12.0, layout_.plot.bottom() - box.height() - 2.0);
        box.moveTo(left, std::max(top, layout_.plot.top() + 1.0));
        painter.setPen(QColor(120, 120, 120));
        painter.setBrush(QColor(255, 255, 240, 240));
        painter.drawRect(box);
        for (int i = 0; i < lines.size(); ++i) {
            painter.setPen(i == 0 ? QColor(Qt::black) : readout.values.at(i - 1).colour);
            painter.drawText(
                QRectF(box.left() + 6.0, box.top() + 4.0 + i * lineHeight, width, lineHeight),
                Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
        }
    }
    painter.restore();
}

void ChartView::SetGridLines(bool on) {
    if (style_.gridLines == on) return;
    style_.gridLines = on;
    ScheduleDraw();
}

void ChartView::SetGridLinesForAll(bool on) {
    gridLinesDefault = on;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* view = qobject_cast<ChartView*>(widget)) view->SetGridLines(on);
    }
}

bool ChartView::GridLinesDefault() {
    return gridLinesDefault;
}

void ChartView::UpdateReadout(QPointF pos) {
    pointer_.reset();
    readout_.reset();
    if (!document_ || !layout_.plot.contains(pos)) return;
    pointer_ = pos;
    readout_ = ReadoutAt(*document_, layout_, pos.x());
}

void ChartView::CanvasLeft() {
    if (!pointer_ && !readout_) return;
    pointer_.reset();
    readout_.reset();
    picChart_->update();
}

void ChartView::CanvasWheel(QPointF pos, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    if (!navigator_ || !layout_.plot.contains(pos)) return;
    // Some systems turn a wheel with Shift held into a horizontal one.
    const int delta = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    if (delta == 0) return;
    const double steps = delta / kWheelNotch;
    if (modifiers & Qt::ShiftModifier)
        navigator_->WheelZoomValues(layout_, pos.y(), steps);
    else
        navigator_->WheelZoomPoints(layout_, pos.x(), steps);
    EmitCommandStates();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    if (!navigator_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (event->matches(QKeySequence::ZoomIn) || key == Qt::Key_Plus) {
        navigator_->ZoomPointsAroundCentre(1.0);
    } else if (event->matches(QKeySequence::ZoomOut) || key == Qt::Key_Minus) {
        navigator_->ZoomPointsAroundCentre(-1.0);
    } else if (key == Qt::Key_Home ||
               (key == Qt::Key_0 && (event->modifiers() & Qt::ControlModifier))) {
        ShowAll();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    EmitCommandStates();
    event->accept();
}

void ChartView::SyncSlots() {
    if (!document_) return;
    const ChartSlots before = slots_;
    slots_.Sync(*document_);
    if (!(before == slots_)) emit SlotsChanged();
}

void ChartView::UpdateScrollBar() {
    updatingScrollBar_ = true;
    if (navigator_) {
        const ScrollBarSettings& bar = navigator_->ScrollBar();
        hscChart_->setRange(bar.minimum, bar.maximum);
        hscChart_->setPageStep(bar.pageStep);
        hscChart_->setSingleStep(bar.singleStep);
        hscChart_->setValue(bar.value);
    } else {
        hscChart_->setRange(1, 1);
    }
    updatingScrollBar_ = false;
}

void ChartView::Scrolled(int value) {
    if (updatingScrollBar_ || !navigator_) return;
    navigator_->ScrollTo(value);
}

void ChartView::UpdateCursor() {
    const ZoomMode mode = navigator_ ? navigator_->Mode() : ZoomMode::None;
    if (mode == ZoomMode::None)
        picChart_->unsetCursor();
    else
        picChart_->setCursor(ZoomCursor(mode == ZoomMode::In));
}

ChartCommandStates ChartView::CommandStates() const {
    return navigator_ ? navigator_->CommandStates(isVisible()) : ChartCommandStates{};
}

void ChartView::EmitCommandStates() {
    const ChartCommandStates states = CommandStates();
    if (states == lastStates_) return;
    lastStates_ = states;
    emit CommandStatesChanged(states);
}

void ChartView::ZoomIn() {
    if (!navigator_) return;
    navigator_->BeginZoomIn();
    UpdateCursor();
    EmitCommandStates();
}

void ChartView::ZoomOut() {
    if (!navigator_) return;
    navigator_->BeginZoomOut();
    UpdateCursor();
    EmitCommandStates();
}

void ChartView::EndZoom() {
    if (navigator_) navigator_->EndZoom();
    if (boxShown_) {
        boxShown_ = false;
        picChart_->update();
    }
    UpdateCursor();
    EmitCommandStates();
}

bool ChartView::ShowAll() {
    if (!navigator_ || !navigator_->ShowAll(isVisible())) return false;
    boxShown_ = false;
    UpdateCursor();
    EmitCommandStates();
    return true;
}

void ChartView::DocumentFilled() {
    if (!navigator_) return;
    boxShown_ = false;
    if (!navigator_->ShowAll(true)) {
        navigator_->EndZoom();
        navigator_->SetPoints(1, document_->PointCount());
    }
    UpdateCursor();
    EmitCommandStates();
}

bool ChartView::ShowAxisDialog() {
    if (!document_ || !navigator_) return false;
    frmAxis dialog(*document_, *navigator_, this);
    return dialog.exec() == QDialog::Accepted;
}

void ChartView::SetPoints(qint32 first, qint32 last) {
    if (navigator_) navigator_->SetPoints(first, last);
}

QImage ChartView::ChartImage() const {
    const QImage& shown = surface_[intBox_];
    if (!shown.isNull() && !drawWhenShown_) return shown.copy();
    if (!document_) return QImage();
    return RenderChartImage(*document_, slots_, picChart_->size().expandedTo(QSize(320, 200)),
                            chartFont_);
}

void ChartView::CopyBitmapToC() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const QImage picture = ChartImage();
    if (!picture.isNull()) clipboard->setImage(picture);
}

void ChartView::RenderTo(QPainter& painter, const QRectF& area, const QFont& font) {
    if (!document_) return;
    SyncSlots();
    drawing_ = true;
    ::DrawChart(painter, *document_, slots_, area, font);
    drawing_ = false;
}

void ChartView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (drawWhenShown_) ScheduleDraw();
    EmitCommandStates();
}

void ChartView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Leaving the page ends the zoom mode and disables the zoom commands.
    if (navigator_) navigator_->EndZoom();
    boxShown_ = false;
    freeBox_ = false;
    drag_ = Drag::None;
    pointer_.reset();
    readout_.reset();
    UpdateCursor();
    EmitCommandStates();
}

void ChartView::CanvasPressed(QPointF pos, Qt::MouseButton button, const QPoint& globalPos,
                              Qt::KeyboardModifiers modifiers) {
    if (!navigator_) return;
    if (button == Qt::RightButton) {
        drag_ = Drag::None;
        freeBox_ = false;
        EndZoom();
        emit ContextMenuRequested(globalPos);
        return;
    }
    if (button != Qt::LeftButton) return;
    freeBox_ = navigator_->Mode() == ZoomMode::None && (modifiers & Qt::ControlModifier) &&
               layout_.plot.contains(pos);
    if (navigator_->Mode() != ZoomMode::None || freeBox_) {
        boxStart_ = boxEnd_ = Clamped(layout_.plot, pos);
        boxShown_ = true;
        picChart_->update();
        return;
    }
    navigator_->MarkAt(layout_, pos);
    // A drag from the plot pans the chart.
    if (layout_.plot.contains(pos) && document_->PointCount() > 1) {
        drag_ = Drag::Pending;
        dragValues_ = modifiers & Qt::ShiftModifier;
        pressPos_ = pos;
        pressLayout_ = layout_;
        pressFirst_ = document_->FirstPoint;
        pressLast_ = document_->LastPoint;
    }
    picChart_->update();
}

void ChartView::CanvasMoved(QPointF pos, Qt::MouseButtons buttons) {
    if (boxShown_) {
        boxEnd_ = Clamped(layout_.plot, pos);
        picChart_->update();
        return;
    }
    if (drag_ != Drag::None && (buttons & Qt::LeftButton) && navigator_) {
        const QPointF moved = pos - pressPos_;
        if (drag_ == Drag::Pending) {
            if (std::abs(moved.x()) + std::abs(moved.y()) < kBoxThreshold) return;
            drag_ = dragValues_ ? Drag::Values : Drag::Points;
            picChart_->setCursor(Qt::ClosedHandCursor);
        }
        if (drag_ == Drag::Points)
            navigator_->PanPoints(pressFirst_, pressLast_, DragPoints(pressLayout_, moved.x()));
        else
            navigator_->PanValues(pressLayout_, moved.y());
        EmitCommandStates();
        return;
    }
    // The crosshair.
    const bool had = readout_.has_value();
    UpdateReadout(pos);
    if (had || readout_) picChart_->update();
}

void ChartView::CanvasReleased(QPointF pos, Qt::MouseButton button) {
    if (button == Qt::LeftButton && drag_ != Drag::None) {
        const bool panned = drag_ == Drag::Points || drag_ == Drag::Values;
        drag_ = Drag::None;
        if (panned) UpdateCursor();
        UpdateReadout(pos);
        picChart_->update();
        return;
    }
    if (button != Qt::LeftButton || !boxShown_ || !navigator_) return;
    boxEnd_ = Clamped(layout_.plot, pos);
    boxShown_ = false;
    const QPointF moved = boxEnd_ - boxStart_;
    const bool click = std::abs(moved.x()) + std::abs(moved.y()) < kBoxThreshold;
    if (freeBox_) {
        freeBox_ = false;
        if (!click) navigator_->ZoomToBox(layout_, QRectF(boxStart_, boxEnd_));
    } else if (click) {
        navigator_->ClickZoom(layout_, boxStart_);
    } else {
        navigator_->BoxZoom(layout_, QRectF(boxStart_, boxEnd_));
    }
    UpdateCursor();
    EmitCommandStates();
    picChart_->update();
}

void ChartView::CanvasDoubleClicked(QPointF pos, Qt::MouseButton button, const QPoint& globalPos) {
    if (!navigator_) return;
    // In zoom mode the second click of a double click zooms again.
    if (button != Qt::LeftButton || navigator_->Mode() != ZoomMode::None) {
        CanvasPressed(pos, button, globalPos);
        return;
    }
    navigator_->MarkAt(layout_, pos);
    picChart_->update();
    if (const std::optional<TableJump> jump = navigator_->TableJumpForMark())
        emit TableRowRequested(jump->row, jump->topRow);
}

void ChartView::QuantitiesChanged(const Document&) {
    slots_.Clear();
    SyncSlots();
    emit SlotsChanged();
    ScheduleDraw();
}

void ChartView::PointsAdded(const Document& document, qint32, qint32) {
    // A document being filled is drawn when it is complete; the real-time
    // window's points extend the chart as they come.
    if (!document.bRealTime || !navigator_) return;
    navigator_->PointsAdded();
}

void ChartView::PointsRemoved(const Document&, qint32, qint32) {
    if (navigator_) navigator_->AdoptDocumentRange();
    ScheduleDraw();
}

void ChartView::StatisticsChanged(const Document&) {
    ScheduleDraw();
}

void ChartView::ViewChanged(const Document&) {
    if (drawing_) return;
    SyncSlots();
    if (navigator_) navigator_->AdoptDocumentRange();
    UpdateScrollBar();
    ScheduleDraw();
}
