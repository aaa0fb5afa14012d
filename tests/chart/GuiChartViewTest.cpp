// The chart page: double-buffered drawing, zoom by click and box with its
// cursors, the right button, the double click to the data table, the scroll
// bar, the command states, the clipboard and the real-time document.
//
// With TR58_CHART_SHOTS set to a folder, the tests also save what they show
// there (for a look by eye).
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "ChartTestDocuments.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartView.h"

namespace {

void SaveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("TR58_CHART_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

class ChartViewTest : public ::testing::Test {
protected:
    void Open(std::unique_ptr<Document> doc) {
        document = std::move(doc);
        view = std::make_unique<ChartView>();
        view->resize(900, 520);
        view->SetDocument(document.get());
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        ASSERT_TRUE(view->ShowAll());
        Settle();
    }
    void TearDown() override {
        if (view) view->SetDocument(nullptr);
    }
    // Lets the pending redraw run.
    static void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    QWidget* Canvas() const { return view->findChild<QWidget*>(QStringLiteral("picChart")); }
    QScrollBar* ScrollBar() const {
        return view->findChild<QScrollBar*>(QStringLiteral("hscChart"));
    }
    QPoint AtPoint(double k, double percentUp = 50.0) const {
        const ChartLayout& layout = view->Layout();
        return QPoint(qRound(layout.XOfPoint(k)),
                      qRound(layout.plot.bottom() - layout.plot.height() * percentUp / 100.0));
    }

    std::unique_ptr<Document> document;
    std::unique_ptr<ChartView> view;
};

TEST_F(ChartViewTest, DrawsOnTheHiddenSurfaceAndShowsIt) {
    Open(MakeDocument(720, 600, ClimateQuantities()));
    ASSERT_NE(Canvas(), nullptr);
    ASSERT_NE(ScrollBar(), nullptr);
    const int before = view->intBox();
    view->DrawChart();
    EXPECT_EQ(view->intBox(), 1 - before);
    // The picture shown is the renderer's picture of the page's size.
    const QImage expected =
        RenderChartImage(*document, view->Slots(), Canvas()->size(), view->font());
    EXPECT_EQ(view->ChartImage().convertToFormat(QImage::Format_RGB32), expected);
    SaveShot(view.get(), QStringLiteral("chart-three-quantities"));
}

TEST_F(ChartViewTest, ClickZoomInWithItsCursor) {
    Open(MakeDocument(600, 60, ClimateQuantities()));
    QSignalSpy states(view.get(), &ChartView::CommandStatesChanged);
    view->ZoomIn();
    EXPECT_EQ(Canvas()->cursor().shape(), Qt::BitmapCursor);
    ASSERT_EQ(states.size(), 1);
    EXPECT_FALSE(states.last().at(0).value<ChartCommandStates>().zoomIn);

    QTest::mouseClick(Canvas(), Qt::LeftButton, {}, AtPoint(300));
    Settle();
    EXPECT_EQ(document->LastPoint - document->FirstPoint, 599 / 3);
    EXPECT_NEAR((document->FirstPoint + document->LastPoint) / 2.0, 300, 2);
    EXPECT_EQ(Canvas()->cursor().shape(), Qt::ArrowCursor);
    const ChartCommandStates now = view->CommandStates();
    EXPECT_TRUE(now.zoomIn);
    EXPECT_TRUE(now.zoomOut);
    EXPECT_FALSE(document->GetAutoScale(0));
}

TEST_F(ChartViewTest, DraggingABoxZoomsToIt) {
    Open(MakeDocument(600, 60, ClimateQuantities()));
    view->ZoomIn();
    const QPoint from = AtPoint(100, 80);
    const QPoint to = AtPoint(250, 30);
    QTest::mousePress(Canvas(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), Canvas()->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Canvas(), &move);
    // The zoom box is shown over the chart while the button is held.
    const QImage during = Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(during, view->ChartImage().convertToFormat(QImage::Format_RGB32));
    SaveShot(view.get(), QStringLiteral("chart-zoom-box"));
    QTest::mouseRelease(Canvas(), Qt::LeftButton, {}, to);
    Settle();
    EXPECT_NEAR(document->FirstPoint, 100, 1);
    EXPECT_NEAR(document->LastPoint, 250, 1);
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::None);
    SaveShot(view.get(), QStringLiteral("chart-zoomed"));
}

TEST_F(ChartViewTest, RightButtonEndsZoomAndAsksForTheMenu) {
    Open(MakeDocument(200, 60, ClimateQuantities()));
    QSignalSpy menu(view.get(), &ChartView::ContextMenuRequested);
    view->ZoomOut();
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::Out);
    QTest::mouseClick(Canvas(), Qt::RightButton, {}, AtPoint(50));
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.first().at(0).toPoint(), Canvas()->mapToGlobal(AtPoint(50)));
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::None);
    EXPECT_EQ(Canvas()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 200);
}

TEST_F(ChartViewTest, DoubleClickOnAMarkedPointAsksForItsTableRow) {
    Open(MakeDocument(200, 60, ClimateQuantities()));
    QSignalSpy rows(view.get(), &ChartView::TableRowRequested);
    QTest::mouseClick(Canvas(), Qt::LeftButton, {}, AtPoint(3));
    EXPECT_EQ(view->Navigator()->Mark(), 3);
    QTest::mouseDClick(Canvas(), Qt::LeftButton, {}, AtPoint(3));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.last().at(0).toInt(), 3);
    EXPECT_EQ(rows.last().at(1).toInt(), 1);

    QTest::mouseDClick(Canvas(), Qt::LeftButton, {}, AtPoint(100));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.last().at(0).toInt(), 100);
    EXPECT_EQ(rows.last().at(1).toInt(), 95);

    // Outside the plot area: no mark, no jump.
    QTest::mouseDClick(Canvas(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(rows.size(), 2);
    EXPECT_FALSE(view->Navigator()->Mark());
}

TEST_F(ChartViewTest, TheScrollBarMovesTheWindow) {
    Open(MakeDocument(1001, 60, ClimateQuantities()));
    view->SetPoints(100, 351);
    Settle();
    EXPECT_EQ(ScrollBar()->minimum(), 125);
    EXPECT_EQ(ScrollBar()->value(), 175);
    EXPECT_EQ(ScrollBar()->maximum(), 500);
    EXPECT_EQ(ScrollBar()->pageStep(), 125);
    ScrollBar()->setValue(300);
    Settle();
    EXPECT_EQ(document->LastPoint, 601);
    EXPECT_EQ(document->FirstPoint, 350);
    ScrollBar()->setValue(ScrollBar()->maximum());
    Settle();
    EXPECT_EQ(document->LastPoint, 1001);
    EXPECT_TRUE(view->Navigator()->Follow());
}

TEST_F(ChartViewTest, LeavingThePageDisablesTheCommands) {
    Open(MakeDocument(200, 60, ClimateQuantities()));
    view->ZoomIn();
    QSignalSpy states(view.get(), &ChartView::CommandStatesChanged);
    view->hide();
    ASSERT_GE(states.size(), 1);
    EXPECT_EQ(states.last().at(0).value<ChartCommandStates>(), ChartCommandStates{});
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::None);
    EXPECT_FALSE(view->ShowAll());  // ignored while the page is hidden
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    EXPECT_EQ(states.last().at(0).value<ChartCommandStates>(),
              (ChartCommandStates{true, false, true, true}));
}

TEST_F(ChartViewTest, CheckBoxesChangeTheSlotsAndRedraw) {
    QList<TestQuantity> quantities = ClimateQuantities();
    quantities.append(Ramp("Tw", 10.0, 20.0, 300, 2));
    Open(MakeDocument(300, 60, quantities));
    QSignalSpy changed(view.get(), &ChartView::SlotsChanged);
    EXPECT_FALSE(document->SetCharted(3, true));
    ASSERT_TRUE(document->SetCharted(0, false));
    ASSERT_TRUE(document->SetCharted(3, true));
    Settle();
    EXPECT_GE(changed.size(), 1);
    EXPECT_EQ(view->QuantityColour(3), QColor(255, 0, 0));
    EXPECT_FALSE(view->QuantityColour(0).isValid());
    const ChartLayout& layout = view->Layout();
    ASSERT_EQ(layout.axes.size(), 3);
    EXPECT_EQ(layout.axes[2].quantity, 3);
    EXPECT_EQ(layout.axes[2].slot, 0);
}

TEST_F(ChartViewTest, CopyPutsThePictureOnTheClipboard) {
    Open(MakeDocument(200, 60, ClimateQuantities()));
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    view->CopyBitmapToC();
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              view->ChartImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
}

TEST_F(ChartViewTest, TheRealTimeChartFollowsNewPoints) {
    Open(MakeDocument(100, 5, ClimateQuantities()));
    document->bRealTime = true;
    view->SetPoints(71, 100);
    for (int i = 0; i < 9; ++i) {
        const QString line = QStringLiteral("26-11-02 09:%1:00\t21.5\t44.0\t8.25")
                                 .arg(10 + i, 2, 10, QLatin1Char('0'));
        ASSERT_TRUE(document->MeasToStruct(line));
    }
    Settle();
    EXPECT_EQ(document->LastPoint, 109);
    EXPECT_EQ(document->FirstPoint, 80);
    EXPECT_EQ(ScrollBar()->maximum(), 54);
    EXPECT_EQ(view->Layout().last, 109);
}

// Filled while another page is shown: the chart shows everything when its
// page comes up.
TEST_F(ChartViewTest, AFilledDocumentShowsAllPointsOnAnyPage) {
    Open(MakeDocument(200, 60, ClimateQuantities()));
    view->SetPoints(50, 60);
    document->Quantity(0).AutoScale = false;
    view->hide();
    view->DocumentFilled();
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 200);
    EXPECT_TRUE(document->GetAutoScale(0));
    EXPECT_TRUE(document->bShowAll);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    Settle();
    EXPECT_EQ(view->Layout().last, 200);
}

TEST_F(ChartViewTest, ARangeSetInTheDocumentIsDrawnAndScrollable) {
    Open(MakeDocument(500, 60, ClimateQuantities()));
    document->SetPoints(400, 300);  // as another window might
    Settle();
    EXPECT_EQ(document->FirstPoint, 400);
    EXPECT_EQ(document->LastPoint, 401);
    EXPECT_EQ(view->Layout().first, 400);
    EXPECT_EQ(ScrollBar()->value(), 200);
}

}  // namespace
