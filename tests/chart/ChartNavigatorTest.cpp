// Zoom, scroll and marking without a screen: the point range rules, click and
// box zoom, the scroll bar in units of two points, the follow flag, Show All,
// and the double click to the data table.
#include <gtest/gtest.h>

#include "ChartTestDocuments.h"
#include "chart/ChartNavigator.h"
#include "document/DocumentObserver.h"

namespace {

std::unique_ptr<Document> Points(int n, int decimals = 1) {
    return MakeDocument(n, 10, {Ramp("A", 0.0, 90.0, n, decimals)});
}

QPointF AtPoint(const ChartLayout& layout, double k, double percentUp = 50.0) {
    return QPointF(layout.XOfPoint(k),
                   layout.plot.bottom() - layout.plot.height() * percentUp / 100.0);
}

qint32 Span(const Document& document) {
    return document.LastPoint - document.FirstPoint;
}

TEST(ChartRange, NormalizeFollowsTheRules) {
    struct Case {
        qint32 first, last, count, wantFirst, wantLast;
    };
    const Case cases[] = {
        {10, 20, 100, 10, 20},    // kept
        {10, 500, 100, 10, 100},  // last at most the count
        {50, 20, 100, 50, 51},    // last below first: first + 1
        {100, 90, 100, 99, 100},  // ... at most the count, then first below it
        {30, 30, 100, 29, 30},    // first not below last
        {-5, 0, 100, 1, 1},       // neither below 1
        {1, 1, 1, 1, 1},          // a single point
        {1, 0, 0, 1, 1},          // no points
    };
    for (const Case& c : cases) {
        qint32 first = c.first;
        qint32 last = c.last;
        ChartNavigator::NormalizeRange(first, last, c.count);
        EXPECT_EQ(first, c.wantFirst) << c.first << ".." << c.last << " of " << c.count;
        EXPECT_EQ(last, c.wantLast) << c.first << ".." << c.last << " of " << c.count;
    }
}

class CountingObserver : public DocumentObserver {
public:
    void ViewChanged(const Document&) override { ++changes; }
    int changes = 0;
};

TEST(ChartRange, SetPointsSetsTheScrollBarAndTheFlags) {
    auto document = Points(40000);
    ChartNavigator navigator(*document);
    CountingObserver observer;
    document->AddObserver(&observer);

    navigator.SetPoints(1000, 2001);
    EXPECT_EQ(document->FirstPoint, 1000);
    EXPECT_EQ(document->LastPoint, 2001);
    const ScrollBarSettings& bar = navigator.ScrollBar();
    EXPECT_EQ(bar.minimum, 500);  // half the span of 1001
    EXPECT_EQ(bar.value, 1000);   // half of 2001
    EXPECT_EQ(bar.maximum, 1000);
    EXPECT_EQ(bar.pageStep, 500);
    EXPECT_EQ(bar.singleStep, 166);
    EXPECT_FALSE(document->bShowAll);
    EXPECT_TRUE(document->bZoomOut);
    EXPECT_FALSE(navigator.Follow());
    EXPECT_EQ(observer.changes, 1);

    navigator.SetPoints(1, 40000);
    EXPECT_TRUE(document->bShowAll);
    EXPECT_FALSE(document->bZoomOut);
    EXPECT_TRUE(navigator.Follow());
    EXPECT_EQ(navigator.ScrollBar().maximum, 20000);

    // A zoom never lowers the scroll bar's maximum.
    navigator.SetPoints(10, 12);
    EXPECT_EQ(navigator.ScrollBar().maximum, 20000);
    EXPECT_EQ(navigator.ScrollBar().minimum, 1);
    EXPECT_EQ(navigator.ScrollBar().singleStep, 1);
    document->RemoveObserver(&observer);
}

TEST(ChartRange, BoundsOfTheirOwnCountAsZoomedEvenWithAllPoints) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    document->Quantity(0).AutoScale = false;
    navigator.SetPoints(1, 100);
    EXPECT_TRUE(document->bShowAll);
    EXPECT_TRUE(document->bZoomOut);
}

TEST(ChartZoom, ZoomingInOnASpanOfFiveGivesTwo) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(10, 15);
    const ChartLayout layout = FakeLayout(*document);
    navigator.BeginZoomIn();
    ASSERT_TRUE(navigator.ClickZoom(layout, AtPoint(layout, 12)));
    EXPECT_EQ(Span(*document), 2);
    EXPECT_EQ(document->FirstPoint, 11);
    EXPECT_EQ(document->LastPoint, 13);
    EXPECT_EQ(navigator.Mode(), ZoomMode::None);
}

TEST(ChartZoom, ZoomingOutFrom30000On40000GivesEverything) {
    auto document = Points(40000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(5001, 35001);
    const ChartLayout layout = FakeLayout(*document);
    navigator.BeginZoomOut();
    ASSERT_TRUE(navigator.ClickZoom(layout, AtPoint(layout, 20000)));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 40000);
    EXPECT_TRUE(document->bShowAll);
}

TEST(ChartZoom, AClickNearTheRightEndKeepsTheFullSpan) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    ASSERT_TRUE(navigator.ShowAll());
    const ChartLayout layout = FakeLayout(*document);
    navigator.BeginZoomIn();
    navigator.ClickZoom(layout, AtPoint(layout, 990));
    EXPECT_EQ(document->LastPoint, 1000);
    EXPECT_EQ(document->FirstPoint, 667);
    EXPECT_EQ(Span(*document), 999 / 3);

    // And near the left end, shifted right.
    navigator.ShowAll();
    navigator.BeginZoomIn();
    navigator.ClickZoom(FakeLayout(*document), AtPoint(layout, 5));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(Span(*document), 333);
}

TEST(ChartZoom, AClickZoomsTheValuesAroundTheClick) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    document->Quantity(0).AutoScale = false;
    document->SetScaleValue(false, 0, 0.0f);
    document->SetScaleValue(true, 0, 90.0f);
    navigator.SetPoints(1, 100);
    ChartLayout layout = FakeLayout(*document);
    ASSERT_DOUBLE_EQ(layout.axes[0].scale.upper, 90.0);

    navigator.BeginZoomIn();
    navigator.ClickZoom(layout, AtPoint(layout, 50, 50));
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 30.0f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 60.0f);
    EXPECT_FALSE(document->GetAutoScale(0));

    // Out again from a click a quarter up: 37.5 +- 45, rounded to one decimal.
    layout = FakeLayout(*document);
    navigator.BeginZoomOut();
    navigator.ClickZoom(layout, AtPoint(layout, 50, 25));
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), -7.5f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 82.5f);
}

TEST(ChartZoom, AVerticalSpanOf00001ZoomedInBecomes0001) {
    auto document = MakeDocument(50, 10, {Ramp("A", 1.0, 1.0001, 50, 5)});
    ChartNavigator navigator(*document);
    document->Quantity(0).AutoScale = false;
    document->SetScaleValue(false, 0, 1.0f);
    document->SetScaleValue(true, 0, 1.0001f);
    navigator.SetPoints(1, 50);
    const ChartLayout layout = FakeLayout(*document);
    ASSERT_NEAR(layout.axes[0].scale.upper - layout.axes[0].scale.lower, 0.0001, 1e-7);
    navigator.BeginZoomIn();
    navigator.ClickZoom(layout, AtPoint(layout, 25, 50));
    const double span = document->GetScaleValue(true, 0) - document->GetScaleValue(false, 0);
    EXPECT_NEAR(span, 0.001, 1e-6);
    EXPECT_NEAR(document->GetScaleValue(false, 0), 0.99955, 1e-6);
}

TEST(ChartZoom, ABoxGivesItsPointsAndValues) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 100);
    const ChartLayout layout = FakeLayout(*document);
    const AxisLayout& axis = layout.axes[0];
    navigator.BeginZoomIn();
    const QRectF box(QPointF(layout.XOfPoint(20), layout.YOfValue(axis, 70.0)),
                     QPointF(layout.XOfPoint(40), layout.YOfValue(axis, 20.0)));
    // Dragged from the lower right to the upper left: the same box.
    ASSERT_TRUE(navigator.BoxZoom(layout, QRectF(box.bottomRight(), box.topLeft())));
    EXPECT_EQ(document->FirstPoint, 20);
    EXPECT_EQ(document->LastPoint, 40);
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 20.0f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 70.0f);
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_EQ(navigator.Mode(), ZoomMode::None);
    EXPECT_TRUE(document->bZoomOut);
}

TEST(ChartZoom, ABoxBeyondThePlotIsHeldToIt) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 100);
    const ChartLayout layout = FakeLayout(*document);
    navigator.BeginZoomOut();
    navigator.BoxZoom(layout, QRectF(QPointF(-50, -50), QPointF(layout.XOfPoint(50), 1000)));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 50);
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), layout.axes[0].scale.lower);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), layout.axes[0].scale.upper);
}

TEST(ChartZoom, NothingHappensOutsideZoomMode) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 100);
    const ChartLayout layout = FakeLayout(*document);
    EXPECT_FALSE(navigator.ClickZoom(layout, AtPoint(layout, 50)));
    EXPECT_FALSE(navigator.BoxZoom(layout, QRectF(10, 10, 100, 100)));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 100);
    EXPECT_TRUE(document->GetAutoScale(0));
}

// Scrolling moves the window by whole pairs of points and keeps its span,
// odd or even, adding back the point the halving lost.
TEST(ChartScroll, KeepsTheSpanWithOddCounts) {
    struct Case {
        qint32 count, first, last;
        int value;
    };
    const Case cases[] = {
        {1001, 100, 351, 300},  // odd span, odd last
        {1001, 100, 350, 300},  // even span, even last
        {1001, 101, 350, 400},  // odd span, even last
        {1001, 100, 351, 126},  // to the far left
        {40001, 2, 3, 10000},   // a span of one
        {40001, 7, 8, 2},       // a span of one, to the left end
    };
    for (const Case& c : cases) {
        auto document = Points(c.count);
        ChartNavigator navigator(*document);
        navigator.SetPoints(1, c.count);
        navigator.SetPoints(c.first, c.last);
        const qint32 span = c.last - c.first;
        navigator.ScrollTo(c.value);
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last << " to " << c.value);
        EXPECT_EQ(Span(*document), span);
        if (document->FirstPoint > 1) {
            EXPECT_EQ(document->LastPoint, 2 * c.value + c.last % 2);
        }
        EXPECT_GE(document->FirstPoint, 1);
        EXPECT_LE(document->LastPoint, c.count);
        EXPECT_EQ(navigator.ScrollBar().value, c.value);
    }
}

TEST(ChartScroll, TheMaximumShowsTheNewestPointAndFollows) {
    auto document = Points(40001);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 40001);
    navigator.SetPoints(100, 1000);  // an even last point
    EXPECT_FALSE(navigator.Follow());
    navigator.ScrollTo(navigator.ScrollBar().maximum);
    EXPECT_EQ(document->LastPoint, 40001);
    EXPECT_EQ(Span(*document), 900);
    EXPECT_TRUE(navigator.Follow());
    navigator.ScrollTo(navigator.ScrollBar().maximum - 1);
    EXPECT_FALSE(navigator.Follow());
    EXPECT_EQ(document->LastPoint, 39998);
}

TEST(ChartShowAll, ResetsRangeScalesAndZoomMode) {
    auto document = Points(500);
    ChartNavigator navigator(*document);
    navigator.SetPoints(100, 200);
    document->Quantity(0).AutoScale = false;
    document->SetScaleValue(false, 0, 10.0f);
    document->SetScaleValue(true, 0, 20.0f);
    navigator.BeginZoomIn();

    EXPECT_FALSE(navigator.ShowAll(false));  // the chart page is not shown
    EXPECT_EQ(document->FirstPoint, 100);

    ASSERT_TRUE(navigator.ShowAll(true));
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 500);
    EXPECT_TRUE(document->GetAutoScale(0));
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), document->Quantity(0).Minimum);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), document->Quantity(0).Maximum);
    EXPECT_TRUE(document->bShowAll);
    EXPECT_FALSE(document->bZoomOut);
    EXPECT_EQ(navigator.Mode(), ZoomMode::None);
}

TEST(ChartShowAll, DoesNothingWithFewerThanTwoPoints) {
    auto document = Points(1);
    ChartNavigator navigator(*document);
    document->FirstPoint = 1;
    document->LastPoint = 1;
    document->Quantity(0).AutoScale = false;
    navigator.BeginZoomIn();
    EXPECT_FALSE(navigator.ShowAll());
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_EQ(navigator.Mode(), ZoomMode::In);
}

TEST(ChartMark, DoubleClickGoesToTheMarkedRowFiveRowsBelowTheTop) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 1000);
    const ChartLayout layout = FakeLayout(*document);
    EXPECT_FALSE(navigator.TableJumpForMark());

    navigator.MarkAt(layout, AtPoint(layout, 3.3));
    EXPECT_EQ(navigator.Mark(), 3);
    EXPECT_EQ(navigator.TableJumpForMark(), (TableJump{3, 1}));

    navigator.MarkAt(layout, AtPoint(layout, 99.6));
    EXPECT_EQ(navigator.Mark(), 100);
    EXPECT_EQ(navigator.TableJumpForMark(), (TableJump{100, 95}));

    // A click outside the plot area clears the mark.
    navigator.MarkAt(layout, QPointF(layout.plot.left() - 5, layout.plot.center().y()));
    EXPECT_FALSE(navigator.Mark());
    EXPECT_FALSE(navigator.TableJumpForMark());
}

TEST(ChartMark, AMarkBeyondTheLastPointIsTheLastPoint) {
    auto document = Points(1000);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 1000);
    navigator.MarkAt(FakeLayout(*document), AtPoint(FakeLayout(*document), 1000));
    document->RemoveLastPoint();
    document->RemoveLastPoint();
    EXPECT_EQ(navigator.TableJumpForMark(), (TableJump{998, 993}));
}

TEST(ChartCommands, FollowTheZoomModeAndThePage) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 100);
    EXPECT_EQ(navigator.CommandStates(true), (ChartCommandStates{true, false, true, true}));
    navigator.BeginZoomIn();
    EXPECT_EQ(navigator.CommandStates(true), (ChartCommandStates{false, false, true, true}));
    navigator.SetPoints(10, 20);  // bZoomOut
    EXPECT_EQ(navigator.CommandStates(true), (ChartCommandStates{false, true, true, true}));
    navigator.BeginZoomOut();
    EXPECT_EQ(navigator.CommandStates(true), (ChartCommandStates{true, false, true, true}));
    navigator.EndZoom();
    EXPECT_EQ(navigator.CommandStates(true), (ChartCommandStates{true, true, true, true}));
    EXPECT_EQ(navigator.CommandStates(false), (ChartCommandStates{}));
}

TEST(ChartRealTime, NewPointsAreFollowedWhileTheChartFollows) {
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
    // Showing everything: everything stays in view.
    add(10);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 110);
    EXPECT_EQ(navigator.ScrollBar().maximum, 55);

    // A window at the end keeps its span and moves along.
    navigator.SetPoints(81, 110);
    EXPECT_TRUE(navigator.Follow());
    add(7);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, 88);
    EXPECT_EQ(document->LastPoint, 117);

    // Scrolled back, the window stays; the scroll range still grows.
    navigator.ScrollTo(30);
    EXPECT_FALSE(navigator.Follow());
    const qint32 first = document->FirstPoint;
    add(20);
    navigator.PointsAdded();
    EXPECT_EQ(document->FirstPoint, first);
    EXPECT_EQ(navigator.ScrollBar().maximum, 137 / 2);
}

TEST(ChartRange, ARangeNeverSetShowsAllPoints) {
    auto document = Points(300);
    document->FirstPoint = 1;
    document->LastPoint = 0;  // as a new record has it
    ChartNavigator navigator(*document);
    EXPECT_TRUE(navigator.AdoptDocumentRange());
    EXPECT_EQ(document->FirstPoint, 1);
    EXPECT_EQ(document->LastPoint, 300);
    EXPECT_TRUE(document->bShowAll);
    EXPECT_EQ(navigator.ScrollBar().maximum, 150);
}

TEST(ChartRange, ARangeStoredInTheDocumentIsTakenOver) {
    auto document = Points(100);
    ChartNavigator navigator(*document);
    navigator.SetPoints(1, 100);
    EXPECT_FALSE(navigator.AdoptDocumentRange());
    document->SetPoints(50, 20);
    EXPECT_TRUE(navigator.AdoptDocumentRange());
    EXPECT_EQ(document->FirstPoint, 50);
    EXPECT_EQ(document->LastPoint, 51);
    EXPECT_EQ(navigator.ScrollBar().minimum, 1);
    EXPECT_EQ(navigator.ScrollBar().value, 25);
}

}  // namespace
