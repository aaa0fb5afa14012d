// The chart page's direct gestures on the widget: the wheel and a drag move
// the range exactly as the navigator's rules give it, Shift works on the
// values, Ctrl draws a zoom box at any time, the keys, the crosshair read-out
// of the nearest point, the legend, the grid lines and the "no data" text.
//
// With TR58_CHART_SHOTS set to a folder, the tests also save what they show
// there (for a look by eye).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include "ChartTestDocuments.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartGestures.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartView.h"

namespace {

void SaveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("TR58_CHART_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    widget->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

class ChartGestureTest : public ::testing::Test {
protected:
    void Open(std::unique_ptr<Document> doc, bool showAll = true) {
        document = std::move(doc);
        view = std::make_unique<ChartView>();
        view->resize(900, 520);
        view->SetDocument(document.get());
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        if (showAll) ASSERT_TRUE(view->ShowAll());
        Settle();
    }
    void TearDown() override {
        if (view) view->SetDocument(nullptr);
        ChartView::SetGridLinesForAll(false);
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    QWidget* Canvas() const { return view->findChild<QWidget*>(QStringLiteral("picChart")); }
    QPointF AtPoint(double k, double percentUp = 50.0) const {
        const ChartLayout& layout = view->Layout();
        return QPointF(layout.XOfPoint(k),
                       layout.plot.bottom() - layout.plot.height() * percentUp / 100.0);
    }
    void Wheel(QPointF at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWheelEvent event(at, Canvas()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Canvas(), &event);
        Settle();
    }
    void Move(QPointF to, Qt::MouseButtons buttons = Qt::NoButton,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(QEvent::MouseMove, to, Canvas()->mapToGlobal(to), Qt::NoButton, buttons,
                          modifiers);
        QApplication::sendEvent(Canvas(), &event);
    }
    void Drag(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(Canvas(), Qt::LeftButton, modifiers, from.toPoint());
        // In steps, as a hand moves; the range follows from the press.
        for (int i = 1; i <= 4; ++i) Move(from + (to - from) * i / 4.0, Qt::LeftButton, modifiers);
        QTest::mouseRelease(Canvas(), Qt::LeftButton, modifiers, to.toPoint());
        Settle();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(key), modifiers);
        Settle();
    }

    std::unique_ptr<Document> document;
    std::unique_ptr<ChartView> view;
};

TEST_F(ChartGestureTest, TheWheelZoomsTimeAroundThePointerByTheNavigatorsRules) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    const ChartLayout before = view->Layout();
    const QPointF at = AtPoint(251);
    const PointRange expected = WheelZoomRange(1, 1000, 1000, before.PointAtX(at.x()), 1.0);
    Wheel(at, 120);
    EXPECT_EQ(document->FirstPoint, expected.first);
    EXPECT_EQ(document->LastPoint, expected.last);
    EXPECT_EQ(document->LastPoint - document->FirstPoint, 799);
    // The point under the pointer stays under it.
    EXPECT_NEAR(view->Layout().PointAtX(at.x()), 251.0, 1.0);
    EXPECT_TRUE(document->GetAutoScale(0));
    EXPECT_TRUE(view->CommandStates().zoomOut);

    // Back out: everything again (and never more).
    Wheel(at, -120);
    Wheel(at, -120);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 1000);
}

TEST_F(ChartGestureTest, ShiftWheelZoomsTheValues) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    const AxisLayout axis = view->Layout().axes.front();
    const double span = axis.scale.upper - axis.scale.lower;
    Wheel(AtPoint(500, 50), 120, Qt::ShiftModifier);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 1000);
    EXPECT_FALSE(document->GetAutoScale(0));
    const double zoomed = document->GetScaleValue(true, 0) - document->GetScaleValue(false, 0);
    EXPECT_NEAR(zoomed, span / 1.25, 0.11);
}

TEST_F(ChartGestureTest, ADragPansTimeByTheNavigatorsRules) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    view->SetPoints(401, 600);
    Settle();
    const ChartLayout layout = view->Layout();
    const QPointF from = AtPoint(500);
    const QPointF to = from + QPointF(-50.0 * layout.PixelsPerPoint(), 0.0);
    const PointRange expected = PanRange(401, 600, 1000, DragPoints(layout, to.x() - from.x()));
    Drag(from, to);
    EXPECT_EQ(document->FirstPoint, expected.first);
    EXPECT_EQ(document->LastPoint, expected.last);
    EXPECT_NEAR(document->FirstPoint, 451, 1);
    EXPECT_EQ(document->LastPoint - document->FirstPoint, 199);
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::None);
    SaveShot(view.get(), QStringLiteral("chart-panned"));

    // Far past the start: it stops at the first point with its span.
    Drag(AtPoint(500), AtPoint(500) + QPointF(2000.0, 0.0));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 200);
}

TEST_F(ChartGestureTest, ShiftDragPansTheValues) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    const ChartLayout layout = view->Layout();
    const AxisLayout axis = layout.axes.front();
    const double dy = layout.plot.height() / 5.0;
    const ValueBounds expected = DragBounds(layout, axis, dy);
    Drag(AtPoint(500, 60), AtPoint(500, 60) + QPointF(0.0, dy), Qt::ShiftModifier);
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_NEAR(document->GetScaleValue(false, 0), expected.lower, 0.051);
    EXPECT_NEAR(document->GetScaleValue(true, 0), expected.upper, 0.051);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 1000);
}

TEST_F(ChartGestureTest, CtrlDragZoomsToABoxAgainWithoutTheButton) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    Drag(AtPoint(101, 90), AtPoint(601, 10), Qt::ControlModifier);
    EXPECT_NEAR(document->FirstPoint, 101, 1);
    EXPECT_NEAR(document->LastPoint, 601, 1);
    EXPECT_EQ(view->Navigator()->Mode(), ZoomMode::None);
    Drag(AtPoint(201, 90), AtPoint(301, 10), Qt::ControlModifier);
    EXPECT_NEAR(document->FirstPoint, 201, 1);
    EXPECT_NEAR(document->LastPoint, 301, 1);
    EXPECT_FALSE(document->GetAutoScale(0));
}

TEST_F(ChartGestureTest, KeysZoomInOutAndShowAll) {
    Open(MakeDocument(1000, 60, ClimateQuantities()));
    view->SetPoints(101, 201);
    Settle();
    Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(document->FirstPoint, 111);
    EXPECT_EQ(document->LastPoint, 191);
    Key(Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(document->FirstPoint, 101);
    EXPECT_EQ(document->LastPoint, 201);
    Key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 1000);
    view->SetPoints(101, 201);
    Settle();
    Key(Qt::Key_Home);
    EXPECT_TRUE(document->bShowAll);
}

TEST_F(ChartGestureTest, TheRealTimeChartStopsFollowingAfterAGestureUntilShowAll) {
    auto doc = MakeDocument(300, 1, ClimateQuantities());
    doc->bRealTime = true;
    Open(std::move(doc));
    ASSERT_TRUE(view->Navigator()->Follow());
    const auto add = [this](int n) {
        for (int i = 0; i < n; ++i) {
            const qint32 k = document->AppendPoint(TestStartTime() + 1.0);
            for (int q = 0; q < 3; ++q) document->SetValue(k, q, 20.0f, true);
        }
        document->NotifyPointsAdded(document->PointCount() - n, n);
        Settle();
    };
    Wheel(AtPoint(300), 120);
    EXPECT_FALSE(view->Navigator()->Follow());
    const qint32 first = document->FirstPoint;
    const qint32 last = document->LastPoint;
    add(10);
    EXPECT_EQ(document->FirstPoint, first);
    EXPECT_EQ(document->LastPoint, last);
    ASSERT_TRUE(view->ShowAll());
    add(10);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 320);
}

TEST_F(ChartGestureTest, TheReadOutShowsTheNearestPointsValues) {
    // Values 0.1 apart: each point's value is its own.
    Open(MakeDocument(
        400, 60,
        {{QStringLiteral("T"), QStringLiteral("°C"), 1, [](int i) { return 10.0 + 0.1 * i; }, {}},
         {QStringLiteral("RH"), QStringLiteral("%"), 0, [](int i) { return 200.0 - i; }, {}}}));
    view->SetPoints(101, 200);
    Settle();
    // A little right of point 150: the read-out is point 150's, not the
    // value under the pixel.
    Move(AtPoint(150.3, 80));
    ASSERT_TRUE(view->Readout());
    EXPECT_EQ(view->Readout()->point, 150);
    ASSERT_EQ(view->Readout()->values.size(), 2);
    EXPECT_EQ(view->Readout()->values.at(0).text, FormatDecimals(10.0 + 0.1 * 149, 1));
    EXPECT_EQ(view->Readout()->values.at(1).text, QStringLiteral("51"));
    EXPECT_EQ(view->Readout()->timeText,
              FormatDateTimeLocal(FromOleDate(document->PointTime(149))));
    // It is drawn over the chart, not into its picture.
    const QImage shown = Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(shown, view->ChartImage().convertToFormat(QImage::Format_RGB32));
    SaveShot(view.get(), QStringLiteral("chart-readout"));
    Move(AtPoint(150.6, 80));
    EXPECT_EQ(view->Readout()->point, 151);
    // Off the plot: no read-out.
    Move(QPointF(2.0, 2.0));
    EXPECT_FALSE(view->Readout());
}

int CountColour(const QImage& image, const QRectF& area, QRgb colour) {
    int count = 0;
    const QRect box = area.toAlignedRect() & image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) count += image.pixel(x, y) == colour;
    }
    return count;
}

TEST_F(ChartGestureTest, TheLegendShowsEveryQuantityInItsColour) {
    Open(MakeDocument(600, 60, ClimateQuantities()));
    const ChartLegend legend = view->Legend();
    ASSERT_EQ(legend.entries.size(), 3);
    EXPECT_EQ(legend.entries.at(0).text, QStringLiteral("T (°C)"));
    EXPECT_EQ(legend.entries.at(1).text, QStringLiteral("RH (%RH)"));
    EXPECT_EQ(legend.entries.at(2).text, QStringLiteral("Td (°C)"));
    const QImage shown = Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const LegendEntry& entry : legend.entries) {
        EXPECT_EQ(CountColour(shown, entry.sample, entry.colour.rgb()),
                  qRound(entry.sample.width()) * qRound(entry.sample.height()))
            << entry.text.toStdString();
        // Its text is drawn.
        EXPECT_GT(CountColour(shown, entry.textRect, qRgb(0, 0, 0)), 0);
    }
    SaveShot(view.get(), QStringLiteral("chart-legend"));
}

TEST_F(ChartGestureTest, GridLinesOnEveryChartPageWhenSwitchedOn) {
    Open(MakeDocument(600, 60, ClimateQuantities()));
    const QRgb grid = kGridColour;
    const QRectF inner = view->Layout().plot.adjusted(2, 2, -2, -2);
    EXPECT_EQ(CountColour(view->ChartImage(), inner, grid), 0);
    ChartView::SetGridLinesForAll(true);
    EXPECT_TRUE(view->GridLines());
    Settle();
    EXPECT_GT(CountColour(view->ChartImage(), inner, grid), qRound(inner.width()));
    // A chart page made later has them too.
    ChartView later;
    EXPECT_TRUE(later.GridLines());
    SaveShot(view.get(), QStringLiteral("chart-grid"));
}

TEST_F(ChartGestureTest, ADocumentWithoutPointsSaysSo) {
    auto doc = MakeDocument(0, 60, ClimateQuantities());
    doc->LastPoint = 0;
    Open(std::move(doc), false);
    view->DrawChart();
    Settle();
    const QImage shown = Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The text is there: dark pixels in the middle of the plot, where an
    // empty chart is white.
    const QFontMetrics metrics(view->font());
    const QString text = StringTable::Text(Str::kChartNoData);
    ASSERT_FALSE(text.isEmpty());
    const QRectF plot = view->Layout().plot;
    const QRectF middle(plot.center().x() - metrics.horizontalAdvance(text) / 2.0,
                        plot.center().y() - metrics.height() / 2.0, metrics.horizontalAdvance(text),
                        metrics.height());
    int dark = 0;
    const QRect box = middle.toAlignedRect() & shown.rect();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) dark += qGray(shown.pixel(x, y)) < 160;
    }
    EXPECT_GT(dark, 20);
    EXPECT_EQ(qGray(view->ChartImage().pixel(middle.center().toPoint())), 255);
    EXPECT_FALSE(view->Readout());
    SaveShot(view.get(), QStringLiteral("chart-no-data"));
}

int GridPixels(const QImage& image, const QRectF& plot) {
    int count = 0;
    const QRgb grid = kGridColour;
    for (int y = static_cast<int>(plot.top()) + 2; y < plot.bottom() - 1; ++y) {
        for (int x = static_cast<int>(plot.left()) + 2; x < plot.right() - 1; ++x)
            count += image.pixel(x, y) == grid ? 1 : 0;
    }
    return count;
}

TEST(ChartGrid, GridLinesOnlyWhenAskedFor) {
    auto document = MakeDocument(600, 60, ClimateQuantities());
    const QSize size(800, 400);
    const QImage plain = RenderChartImage(*document, SlotsOf(*document), size);
    const QImage grid =
        RenderChartImage(*document, SlotsOf(*document), size, QFont(), ChartStyle{true});
    const FontChartMetrics metrics(QFont(), nullptr);
    const ChartLayout layout =
        ComputeChartLayout(*document, SlotsOf(*document), metrics, QRectF(QPointF(), size));
    EXPECT_EQ(GridPixels(plain, layout.plot), 0);
    // At least one line across and one up the whole plot.
    EXPECT_GT(GridPixels(grid, layout.plot), static_cast<int>(layout.plot.width()));
}

}  // namespace
