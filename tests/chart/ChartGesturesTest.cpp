// The chart's direct gestures without a screen: which range a wheel notch, a
// drag or a key gives (and that the navigator applies it with its range
// rules), the bounds of a vertical zoom or pan, the nearest point and the
// read-out, the legend, and following the newest point.
#include <gtest/gtest.h>

#include "ChartTestDocuments.h"
#include "base/TextHelpers.h"
#include "chart/ChartGestures.h"
#include "chart/ChartNavigator.h"

namespace {

std::unique_ptr<Document> Points(int n) {
    return MakeDocument(n, 10, {Ramp("A", 0.0, 90.0, n)});
}

TEST(ChartGestures, AWindowIsShiftedIntoThePointsKeepingItsSpan) {
    EXPECT_EQ(FitWindow(95, 10, 100), (PointRange{90, 100}));
    EXPECT_EQ(FitWindow(-5, 10, 100), (PointRange{1, 11}));
    EXPECT_EQ(FitWindow(40, 10, 100), (PointRange{40, 50}));
    // More than all the points: all of them.
    EXPECT_EQ(FitWindow(1, 500, 100), (PointRange{1, 100}));
}

TEST(ChartGestures, AWheelNotchZoomsAroundThePointer) {
    // A span of 100 around its middle: 80, the middle stays the middle.
    EXPECT_EQ(WheelZoomRange(1, 101, 1000, 51.0, 1.0), (PointRange{11, 91}));
    // At the left edge the first point stays.
    EXPECT_EQ(WheelZoomRange(1, 101, 1000, 1.0, 1.0), (PointRange{1, 81}));
    // A notch back undoes it.
    EXPECT_EQ(WheelZoomRange(11, 91, 1000, 51.0, -1.0), (PointRange{1, 101}));
    // At the newest point the window grows into older ones.
    EXPECT_EQ(WheelZoomRange(900, 1000, 1000, 1000.0, -1.0), (PointRange{875, 1000}));
    // Two notches at once: 100 / 1.5625 = 64.
    EXPECT_EQ(WheelZoomRange(1, 101, 1000, 1.0, 2.0), (PointRange{1, 65}));
}

TEST(ChartGestures, TheWheelKeepsTheZoomRulesOfTheSpan) {
    // A span below 3 becomes 2, and zooming in on 2 stays at 2.
    EXPECT_EQ(WheelZoomRange(10, 13, 100, 11.0, 1.0), (PointRange{10, 12}));
    EXPECT_EQ(WheelZoomRange(10, 12, 100, 11.0, 1.0), (PointRange{10, 12}));
    // Small spans still narrow by a point a notch.
    EXPECT_EQ(WheelZoomRange(10, 14, 100, 10.0, 1.0), (PointRange{10, 13}));
    // Out from everything: still everything.
    EXPECT_EQ(WheelZoomRange(1, 100, 100, 50.0, -1.0), (PointRange{1, 100}));
    // Out near the end: 29 x 1.25^3 = 57 points, shifted to end at the last one.
    EXPECT_EQ(WheelZoomRange(70, 99, 100, 95.0, -3.0), (PointRange{43, 100}));
}

TEST(ChartGestures, APanKeepsTheSpanWithinThePoints) {
    EXPECT_EQ(PanRange(11, 91, 1000, 20.4), (PointRange{31, 111}));
    EXPECT_EQ(PanRange(11, 91, 100, 50.0), (PointRange{20, 100}));
    EXPECT_EQ(PanRange(11, 91, 100, -30.0), (PointRange{1, 81}));
}

TEST(ChartGestures, ADragMovesThePointsWithThePointer) {
    auto document = Points(1001);
    const ChartLayout layout = FakeLayout(*document);
    // Dragged right by 10 points' width: ten older points come into view.
    EXPECT_DOUBLE_EQ(DragPoints(layout, 10.0 * layout.PixelsPerPoint()), -10.0);
    EXPECT_DOUBLE_EQ(DragPoints(layout, -2.5 * layout.PixelsPerPoint()), 2.5);
}

TEST(ChartGestures, TheValuesZoomAroundThePointerAndPanWithIt) {
    EXPECT_EQ(WheelZoomBounds({0.0, 10.0}, 5.0, 1.0), (ValueBounds{1.0, 9.0}));
    EXPECT_EQ(WheelZoomBounds({0.0, 10.0}, 0.0, 1.0), (ValueBounds{0.0, 8.0}));
    const ValueBounds narrow = WheelZoomBounds({0.0, 0.001}, 0.0005, 1.0);
    EXPECT_NEAR(narrow.upper - narrow.lower, kMinimumValueSpan, 1e-12);
    EXPECT_NEAR(narrow.lower, 0.0, 1e-12);

    auto document = Points(100);
    const ChartLayout layout = FakeLayout(*document);
    ASSERT_FALSE(layout.axes.isEmpty());
    const AxisLayout& axis = layout.axes.front();
    const double span = axis.scale.upper - axis.scale.lower;
    // Dragged down by a tenth of the plot: the axis shows a tenth higher.
    const ValueBounds moved = DragBounds(layout, axis, layout.plot.height() / 10.0);
    EXPECT_NEAR(moved.lower, axis.scale.lower + span / 10.0, 1e-9);
    EXPECT_NEAR(moved.upper, axis.scale.upper + span / 10.0, 1e-9);
}

TEST(ChartGestures, TheNavigatorAppliesAWheelNotchAtThePointer) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 1000);
    const ChartLayout layout = FakeLayout(*document);
    navigator.WheelZoomPoints(layout, layout.XOfPoint(251), 1.0);
    // 999 / 1.25 = 799 points; point 251 keeps its quarter of the window.
    EXPECT_EQ(document->FirstPoint, 51);
    EXPECT_EQ(document->LastPoint, 850);
    EXPECT_FALSE(document->bShowAll);
    EXPECT_TRUE(document->bZoomOut);
    EXPECT_EQ(navigator.ScrollBar().minimum, 799 / 2);
    // Only time is zoomed: the values keep their automatic scale.
    EXPECT_TRUE(document->Quantity(0).AutoScale);
    EXPECT_EQ(navigator.Mode(), ZoomMode::None);
}

TEST(ChartGestures, TheNavigatorPansAndZoomsTheValues) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(101, 200);
    navigator.PanPoints(101, 200, -150.0);
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 100);

    navigator.SetPoints(1, 1000);
    const ChartLayout layout = FakeLayout(*document);
    const AxisLayout& axis = layout.axes.front();
    const double middle = (axis.scale.lower + axis.scale.upper) / 2.0;
    navigator.WheelZoomValues(layout, layout.YOfValue(axis, middle), 1.0);
    EXPECT_FALSE(document->Quantity(0).AutoScale);
    const double span = (axis.scale.upper - axis.scale.lower) / 1.25;
    EXPECT_NEAR(document->GetScaleValue(false, 0), middle - span / 2.0, 0.051);
    EXPECT_NEAR(document->GetScaleValue(true, 0), middle + span / 2.0, 0.051);
    EXPECT_TRUE(document->bZoomOut);
    // The points stay where they were.
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 1000);
}

TEST(ChartGestures, KeysZoomAroundTheMiddle) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(101, 201);
    navigator.ZoomPointsAroundCentre(1.0);
    EXPECT_EQ(document->FirstPoint, 111);
    EXPECT_EQ(document->LastPoint, 191);
    navigator.ZoomPointsAroundCentre(-1.0);
    EXPECT_EQ(document->FirstPoint, 101);
    EXPECT_EQ(document->LastPoint, 201);
}

TEST(ChartGestures, ABoxZoomNeedsNoZoomModeAndCanBeRepeated) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 1000);
    ChartLayout layout = FakeLayout(*document);
    ASSERT_TRUE(navigator.ZoomToBox(
        layout, QRectF(QPointF(layout.XOfPoint(101), layout.plot.top() + 10),
                       QPointF(layout.XOfPoint(601), layout.plot.bottom() - 10))));
    EXPECT_EQ(document->FirstPoint, 101);
    EXPECT_EQ(document->LastPoint, 601);
    EXPECT_EQ(navigator.Mode(), ZoomMode::None);
    layout = FakeLayout(*document);
    ASSERT_TRUE(navigator.ZoomToBox(
        layout, QRectF(QPointF(layout.XOfPoint(201), layout.plot.top() + 10),
                       QPointF(layout.XOfPoint(301), layout.plot.bottom() - 10))));
    EXPECT_EQ(document->FirstPoint, 201);
    EXPECT_EQ(document->LastPoint, 301);
    EXPECT_FALSE(document->Quantity(0).AutoScale);
}

TEST(ChartGestures, AGestureStopsFollowingAndShowAllResumesIt) {
    auto document = Points(100);
    document->bRealTime = true;
    ChartNavigator navigator(*document);
    ASSERT_TRUE(navigator.ShowAll());
    ASSERT_TRUE(navigator.Follow());
    const auto add = [&document](int n) {
        for (int i = 0; i < n; ++i) {
            const qint32 k = document->AppendPoint(TestStartTime() + 1.0);
            document->SetValue(k, 0, 5.0f, true);
        }
    };
    // A notch at the newest point keeps it in view, but the user chose the
    // window: new points do not move it.
    const ChartLayout layout = FakeLayout(*document);
    navigator.WheelZoomPoints(layout, layout.plot.right(), 1.0);
    EXPECT_EQ(document->LastPoint, 100);
    EXPECT_FALSE(navigator.Follow());
    const qint32 first = document->FirstPoint;
    add(10);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, first);
    EXPECT_EQ(document->LastPoint, 100);

    ASSERT_TRUE(navigator.ShowAll());
    EXPECT_TRUE(navigator.Follow());
    add(5);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 115);

    // A pan stops it as well.
    navigator.SetPoints(96, 115);
    ASSERT_TRUE(navigator.Follow());
    navigator.PanPoints(96, 115, -10.0);
    EXPECT_FALSE(navigator.Follow());
    add(5);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, 86);
    EXPECT_EQ(document->LastPoint, 105);
}

TEST(ChartReadout, ShowsTheNearestPointOfTheData) {
    // Values 0.5 apart, every seventh reading invalid.
    auto document = MakeDocument(
        200, 10,
        {{QStringLiteral("T"), QStringLiteral("°C"), 1, [](int i) { return 0.5 * i; }, {}},
         {QStringLiteral("P"), QStringLiteral("hPa"), 0, [](int i) { return 1000.0 + i; },
          [](int i) { return i % 7 != 0; }}});
    document->FirstPoint = 21;
    document->LastPoint = 120;
    const ChartLayout layout = FakeLayout(*document);

    // Just left and just right of half way between points 41 and 42.
    std::optional<ChartReadout> readout = ReadoutAt(*document, layout, layout.XOfPoint(41.45));
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->point, 41);
    readout = ReadoutAt(*document, layout, layout.XOfPoint(41.55));
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->point, 42);
    EXPECT_EQ(readout->time, document->PointTime(41));
    EXPECT_EQ(readout->timeText, FormatDateTimeLocal(FromOleDate(document->PointTime(41))));
    ASSERT_EQ(readout->values.size(), 2);
    EXPECT_EQ(readout->values.at(0).quantity, 0);
    EXPECT_DOUBLE_EQ(readout->values.at(0).value, 20.5);
    EXPECT_EQ(readout->values.at(0).text, FormatDecimals(20.5, 1));
    EXPECT_EQ(readout->values.at(0).colour, ChartSlots::Colour(0));
    EXPECT_EQ(readout->values.at(0).title, QStringLiteral("T (°C)"));
    EXPECT_EQ(readout->values.at(1).text, QStringLiteral("1041"));

    // Point 43 (reading 42) is invalid.
    readout = ReadoutAt(*document, layout, layout.XOfPoint(43));
    ASSERT_TRUE(readout);
    EXPECT_FALSE(readout->values.at(1).valid);
    EXPECT_EQ(readout->values.at(1).text, QStringLiteral("-"));

    // Off the plot: nothing; at its edges the first and last points shown.
    EXPECT_FALSE(ReadoutAt(*document, layout, layout.plot.left() - 1.0));
    EXPECT_FALSE(ReadoutAt(*document, layout, layout.plot.right() + 1.0));
    EXPECT_EQ(NearestPoint(layout, layout.plot.left()), 21);
    EXPECT_EQ(NearestPoint(layout, layout.plot.right()), 120);
}

TEST(ChartReadout, NothingForADocumentWithoutPoints) {
    auto document = MakeDocument(0, 10, ClimateQuantities());
    document->LastPoint = 0;
    const ChartLayout layout = FakeLayout(*document);
    EXPECT_FALSE(ReadoutAt(*document, layout, layout.plot.center().x()));
}

TEST(ChartLegend, ListsNameUnitAndColourOfEveryQuantityOnTheChart) {
    auto document = MakeDocument(100, 10, ClimateQuantities());
    const FakeMetrics metrics;
    const QRectF area(0, 0, 800, 400);
    ChartSlots chartSlots = SlotsOf(*document);
    ChartLegend legend =
        ComputeLegend(*document, ComputeChartLayout(*document, chartSlots, metrics, area), metrics);
    ASSERT_EQ(legend.entries.size(), 3);
    const QStringList names{"T", "RH", "Td"};
    const QStringList units{"°C", "%RH", "°C"};
    for (int i = 0; i < 3; ++i) {
        const LegendEntry& entry = legend.entries.at(i);
        EXPECT_EQ(entry.quantity, i);
        EXPECT_EQ(entry.name, names.at(i));
        EXPECT_EQ(entry.unit, units.at(i));
        EXPECT_EQ(entry.text, QStringLiteral("%1 (%2)").arg(names.at(i), units.at(i)));
        EXPECT_EQ(entry.colour, ChartSlots::Colour(i));
        EXPECT_TRUE(legend.box.contains(entry.sample));
        EXPECT_TRUE(legend.box.contains(entry.textRect));
        EXPECT_EQ(entry.textRect.width(), 7.0 * entry.text.size());
        if (i > 0) EXPECT_GT(entry.sample.left(), legend.entries.at(i - 1).textRect.right());
    }
    // The second quantity taken off the chart: the others keep their colours.
    document->SetCharted(1, false);
    chartSlots.Sync(*document);
    legend =
        ComputeLegend(*document, ComputeChartLayout(*document, chartSlots, metrics, area), metrics);
    ASSERT_EQ(legend.entries.size(), 2);
    EXPECT_EQ(legend.entries.at(1).quantity, 2);
    EXPECT_EQ(legend.entries.at(1).colour, ChartSlots::Colour(2));
}

}  // namespace
