#include "chart/ChartView.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "chart/ChartRenderer.h"
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
        setMouseTracking(false);
        setMinimumSize(120, 80);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        view_->PaintCanvas(painter);
    }
    void resizeEvent(QResizeEvent*) override { view_->ScheduleDraw(); }
    void mousePressEvent(QMouseEvent* event) override {
        view_->CanvasPressed(event->position(), event->button(), event->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent* event) override { view_->CanvasMoved(event->position()); }
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
                              chartFont_);
        drawing_ = false;
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
    if (boxShown_) {
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(QColor(0, 0, 0, 24));
        painter.drawRect(QRectF(boxStart_, boxEnd_).normalized());
    }
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
    UpdateCursor();
    EmitCommandStates();
}

void ChartView::CanvasPressed(QPointF pos, Qt::MouseButton button, const QPoint& globalPos) {
    if (!navigator_) return;
    if (button == Qt::RightButton) {
        EndZoom();
        emit ContextMenuRequested(globalPos);
        return;
    }
    if (button != Qt::LeftButton) return;
    if (navigator_->Mode() != ZoomMode::None) {
        boxStart_ = boxEnd_ = Clamped(layout_.plot, pos);
        boxShown_ = true;
        picChart_->update();
        return;
    }
    navigator_->MarkAt(layout_, pos);
    picChart_->update();
}

void ChartView::CanvasMoved(QPointF pos) {
    if (!boxShown_) return;
    boxEnd_ = Clamped(layout_.plot, pos);
    picChart_->update();
}

void ChartView::CanvasReleased(QPointF pos, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !boxShown_ || !navigator_) return;
    boxEnd_ = Clamped(layout_.plot, pos);
    boxShown_ = false;
    const QPointF moved = boxEnd_ - boxStart_;
    if (std::abs(moved.x()) + std::abs(moved.y()) < kBoxThreshold)
        navigator_->ClickZoom(layout_, boxStart_);
    else
        navigator_->BoxZoom(layout_, QRectF(boxStart_, boxEnd_));
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
