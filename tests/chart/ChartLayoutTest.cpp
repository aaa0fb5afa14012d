// Layout of the chart without a screen: colour slots, label columns, the plot
// area rule, even spacing of points, the time labels, and keeping the drawn
// bounds.
#include <gtest/gtest.h>

#include "ChartTestDocuments.h"
#include "chart/ChartLayout.h"
#include "chart/ChartMetrics.h"
#include "chart/ChartSlots.h"
#include "document/DocumentObserver.h"

namespace {

TEST(ChartSlots, TickingTakesTheLowestFreeSlot) {
    ChartSlots chartSlots;
    EXPECT_TRUE(chartSlots.Tick(4));
    EXPECT_TRUE(chartSlots.Tick(1));
    EXPECT_TRUE(chartSlots.Tick(6));
    EXPECT_EQ(chartSlots.SlotOf(4), 0);
    EXPECT_EQ(chartSlots.SlotOf(1), 1);
    EXPECT_EQ(chartSlots.SlotOf(6), 2);
    // A fourth is refused; ticking one again keeps its slot.
    EXPECT_FALSE(chartSlots.Tick(2));
    EXPECT_EQ(chartSlots.SlotOf(2), -1);
    EXPECT_TRUE(chartSlots.Tick(1));
    EXPECT_EQ(chartSlots.SlotOf(1), 1);
    // Unticking frees the slot; the next tick takes it, the others stay.
    chartSlots.Untick(4);
    EXPECT_TRUE(chartSlots.Tick(2));
    EXPECT_EQ(chartSlots.SlotOf(2), 0);
    EXPECT_EQ(chartSlots.SlotOf(6), 2);
    EXPECT_EQ(chartSlots.DrawnQuantities(), (QList<int>{1, 2, 6}));
    EXPECT_EQ(chartSlots.ColourOf(2), QColor(255, 0, 0));
    EXPECT_EQ(chartSlots.ColourOf(1), QColor(0, 192, 0));
    EXPECT_EQ(chartSlots.ColourOf(6), QColor(0, 0, 255));
    EXPECT_FALSE(chartSlots.ColourOf(3).isValid());
}

TEST(ChartSlots, FollowTheDocumentsCheckBoxesInTheOrderTheyWereTicked) {
    auto document = MakeDocument(
        10, 60, {Constant("A", 1), Constant("B", 2), Constant("C", 3), Constant("D", 4)});
    // Filling ticks the first three, in quantity order.
    ChartSlots chartSlots = SlotsOf(*document);
    EXPECT_EQ(chartSlots.QuantityIn(0), 0);
    EXPECT_EQ(chartSlots.QuantityIn(1), 1);
    EXPECT_EQ(chartSlots.QuantityIn(2), 2);
    EXPECT_FALSE(document->SetCharted(3, true));  // a fourth is refused

    EXPECT_TRUE(document->SetCharted(0, false));
    chartSlots.Sync(*document);
    EXPECT_TRUE(document->SetCharted(3, true));
    chartSlots.Sync(*document);
    // D took A's red slot; B and C kept green and blue.
    EXPECT_EQ(chartSlots.SlotOf(3), 0);
    EXPECT_EQ(chartSlots.SlotOf(1), 1);
    EXPECT_EQ(chartSlots.SlotOf(2), 2);
    EXPECT_EQ(chartSlots.SlotOf(0), -1);
}

class ClimateLayout : public ::testing::Test {
protected:
    std::unique_ptr<Document> document = MakeDocument(720, 600, ClimateQuantities());
    FakeMetrics metrics;
    ChartLayout Layout(const QRectF& area = QRectF(0, 0, 800, 400)) {
        return ComputeChartLayout(*document, SlotsOf(*document), metrics, area);
    }
};

TEST_F(ClimateLayout, PlotAreaFollowsTheLabelColumns) {
    const ChartLayout layout = Layout();
    ASSERT_EQ(layout.axes.size(), 3);
    // Columns: tick 10 + three gaps of 3 + widest label + the title's line.
    // T: "30.0" 28; RH: "60.0" 28; Td: "11.00" 35.
    EXPECT_DOUBLE_EQ(layout.axes[0].labelWidth, 28);
    EXPECT_DOUBLE_EQ(layout.axes[1].labelWidth, 28);
    EXPECT_DOUBLE_EQ(layout.axes[2].labelWidth, 35);
    // left = left margin (61 + 68) - 1, right = 800 - 61, top 20, bottom 400 - 4 x 14.
    EXPECT_EQ(layout.plot, QRectF(QPointF(128, 20), QPointF(739, 344)));
}

TEST_F(ClimateLayout, AxesStandOnTheSidesOfTheirSlots) {
    const ChartLayout layout = Layout();
    const AxisLayout* red = layout.AxisOf(0);
    const AxisLayout* green = layout.AxisOf(1);
    const AxisLayout* blue = layout.AxisOf(2);
    ASSERT_TRUE(red && green && blue);
    EXPECT_EQ(red->colour, QColor(255, 0, 0));
    EXPECT_EQ(green->colour, QColor(0, 192, 0));
    EXPECT_EQ(blue->colour, QColor(0, 0, 255));
    EXPECT_DOUBLE_EQ(red->axisX, layout.plot.left());
    EXPECT_FALSE(red->rightSide);
    EXPECT_DOUBLE_EQ(green->axisX, layout.plot.right());
    EXPECT_TRUE(green->rightSide);
    EXPECT_DOUBLE_EQ(blue->column.left(), 0);
    EXPECT_DOUBLE_EQ(blue->axisX, 68);
    EXPECT_LE(blue->column.right(), red->column.left());
    EXPECT_GE(green->column.left(), layout.plot.right());
    EXPECT_EQ(red->title, QStringLiteral("T (°C)"));
}

TEST_F(ClimateLayout, SidesWithoutAnAxisKeepAMinimalMargin) {
    document->SetCharted(1, false);
    document->SetCharted(2, false);
    ChartLayout layout = Layout();
    ASSERT_EQ(layout.axes.size(), 1);
    EXPECT_DOUBLE_EQ(layout.plot.right(), 800 - kMinimumMargin);
    EXPECT_DOUBLE_EQ(layout.plot.left(), 61 - 1);

    document->SetCharted(0, false);
    layout = Layout();
    EXPECT_TRUE(layout.axes.isEmpty());
    EXPECT_DOUBLE_EQ(layout.plot.left(), kMinimumMargin - 1);
    // The time axis stays.
    EXPECT_TRUE(layout.timeStep);
    EXPECT_FALSE(layout.timeLabels.isEmpty());
}

TEST_F(ClimateLayout, PointsAreSpacedEvenlyFromEdgeToEdge) {
    document->FirstPoint = 101;
    document->LastPoint = 201;
    const ChartLayout layout = Layout();
    EXPECT_DOUBLE_EQ(layout.XOfPoint(101), layout.plot.left());
    EXPECT_DOUBLE_EQ(layout.XOfPoint(201), layout.plot.right());
    EXPECT_DOUBLE_EQ(layout.XOfPoint(151), layout.plot.center().x());
    EXPECT_DOUBLE_EQ(layout.PointAtX(layout.XOfPoint(137)), 137);
    const AxisLayout& axis = layout.axes[0];
    EXPECT_DOUBLE_EQ(layout.YOfValue(axis, axis.scale.lower), layout.plot.bottom());
    EXPECT_DOUBLE_EQ(layout.YOfValue(axis, axis.scale.upper), layout.plot.top());
    EXPECT_NEAR(layout.ValueAtY(axis, layout.YOfValue(axis, 21.3)), 21.3, 1e-9);

    // A single point counts as a span of one.
    document->FirstPoint = 5;
    document->LastPoint = 5;
    const ChartLayout single = Layout();
    EXPECT_DOUBLE_EQ(single.Span(), 1);
    EXPECT_DOUBLE_EQ(single.XOfPoint(5), single.plot.left());
}

TEST_F(ClimateLayout, TimeLabelsFitTheRoomOfAFullTimeText) {
    const ChartLayout layout = Layout();
    // Room of a label: 19 characters + "W" = 140; 611 units hold 4 labels;
    // five days need a step of two days.
    ASSERT_TRUE(layout.timeStep);
    EXPECT_EQ(*layout.timeStep, (TimeStep{TimeUnit::Days, 2, 2 * 86400.0}));
    ASSERT_EQ(layout.timeLabels.size(), 3);
    EXPECT_EQ(layout.timeLabels[0].lines, (QStringList{"2026-11-03", "00:00:00"}));
    for (const TimeLabel& label : layout.timeLabels) {
        EXPECT_TRUE(label.shown);
        EXPECT_DOUBLE_EQ(label.x, layout.XOfPoint(label.point));
        EXPECT_GE(label.rect.top(), layout.plot.bottom() + kMajorTick);
        EXPECT_LE(label.rect.bottom(), layout.area.bottom());
    }
}

// Points keep the order they came in: times that jump back and forth between
// two hours put a label on every point. Those that would touch their
// neighbour show no text.
TEST(ChartLayoutTimeLabels, CrowdedLabelsDoNotOverlap) {
    auto document = MakeDocument(40, 1, {Constant("A", 1.0)});
    for (int i = 0; i < 40; ++i)
        document->SetPointTime(i, TestStartTime() + (i % 2 ? 3600 + i : i) / 86400.0);
    FakeMetrics metrics;
    const ChartLayout layout =
        ComputeChartLayout(*document, SlotsOf(*document), metrics, QRectF(0, 0, 900, 300));
    ASSERT_GT(layout.timeLabels.size(), 10);
    int shown = 0;
    double lastRight = -1e9;
    for (const TimeLabel& label : layout.timeLabels) {
        EXPECT_GE(label.rect.left(), layout.area.left());
        EXPECT_LE(label.rect.right(), layout.area.right());
        if (!label.shown) continue;
        ++shown;
        EXPECT_GT(label.rect.left(), lastRight) << label.point;
        lastRight = label.rect.right();
    }
    EXPECT_GT(shown, 2);
    EXPECT_LT(shown, layout.timeLabels.size());
}

TEST_F(ClimateLayout, TickLabelsStandBesideTheirTicks) {
    const ChartLayout layout = Layout();
    for (const AxisLayout& axis : layout.axes) {
        ASSERT_EQ(axis.labels.size(), axis.scale.MajorTicks().size());
        for (const TickLabel& label : axis.labels) {
            EXPECT_TRUE(label.shown) << qPrintable(label.text);
            EXPECT_NEAR(label.rect.center().y(), layout.YOfValue(axis, label.value), 1e-9);
            if (axis.rightSide)
                EXPECT_GT(label.rect.left(), axis.axisX + kMajorTick);
            else
                EXPECT_LT(label.rect.right(), axis.axisX - kMajorTick);
        }
    }
    EXPECT_EQ(layout.axes[0].labels.first().text, QStringLiteral("10.0"));
}

// On a low picture the labels of an axis would overlap: every other one (or
// more) shows no text, and those shown keep apart.
TEST_F(ClimateLayout, TickLabelsOfALowPictureDoNotOverlap) {
    const ChartLayout layout = Layout(QRectF(0, 0, 800, 120));
    for (const AxisLayout& axis : layout.axes) {
        int shown = 0;
        double lowestTop = 1e9;
        for (const TickLabel& label : axis.labels) {
            EXPECT_GE(label.rect.top(), layout.area.top());
            EXPECT_LE(label.rect.bottom(), layout.area.bottom());
            if (!label.shown) continue;
            ++shown;
            EXPECT_LE(label.rect.bottom(), lowestTop) << qPrintable(label.text);
            lowestTop = label.rect.top();
        }
        EXPECT_GE(shown, 2);
        EXPECT_LT(shown, axis.labels.size());
    }
}

class ViewCounter : public DocumentObserver {
public:
    void ViewChanged(const Document&) override { ++changes; }
    int changes = 0;
};

TEST(ChartLayoutBounds, DrawnBoundsAreKeptWithoutCountingAsAZoom) {
    auto document = MakeDocument(100, 60, {Ramp("A", 20.3, 21.7, 100)});
    FakeMetrics metrics;
    const ChartLayout layout =
        ComputeChartLayout(*document, SlotsOf(*document), metrics, QRectF(0, 0, 600, 300));
    ViewCounter counter;
    document->AddObserver(&counter);
    document->bZoomOut = false;
    StoreAxisBounds(*document, layout);
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 20.0f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 30.0f);
    EXPECT_FALSE(document->bZoomOut);
    EXPECT_EQ(counter.changes, 2);
    // Storing the same bounds again tells nobody.
    document->bZoomOut = true;
    StoreAxisBounds(*document, layout);
    EXPECT_TRUE(document->bZoomOut);
    EXPECT_EQ(counter.changes, 2);
    document->RemoveObserver(&counter);
}

}  // namespace
