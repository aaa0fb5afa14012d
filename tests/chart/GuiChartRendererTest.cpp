// The renderer on real fonts and pixels: colours on the sides of their
// slots, no curve for a quantity without readings, and the per-column
// drawing painting exactly what drawing every point paints.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>
#include <random>

#include "ChartTestDocuments.h"
#include "chart/ChartRenderer.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 192, 0);
const QRgb kBlue = qRgb(0, 0, 255);

// Pixels of exactly one colour in the columns from left to right (inclusive).
int Count(const QImage& image, QRgb colour, int left, int right, int top = 0, int bottom = -1) {
    if (bottom < 0) bottom = image.height() - 1;
    int count = 0;
    for (int y = std::max(top, 0); y <= std::min(bottom, image.height() - 1); ++y)
        for (int x = std::max(left, 0); x <= std::min(right, image.width() - 1); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

struct Drawn {
    QImage image;
    ChartLayout layout;
};

Drawn Draw(Document& document, QSize size = QSize(900, 500)) {
    Drawn drawn;
    drawn.image = QImage(size, QImage::Format_RGB32);
    QPainter painter(&drawn.image);
    drawn.layout = DrawChart(painter, document, SlotsOf(document),
                             QRectF(QPointF(0, 0), QSizeF(size)), QFont());
    return drawn;
}

TEST(ChartRenderer, EachColourOnTheSideOfItsSlot) {
    auto document = MakeDocument(720, 600, ClimateQuantities());
    const Drawn drawn = Draw(*document);
    const QImage& image = drawn.image;
    const QRectF plot = drawn.layout.plot;
    const int left = static_cast<int>(plot.left());
    const int right = static_cast<int>(plot.right());
    const AxisLayout* red = drawn.layout.AxisOf(0);
    ASSERT_TRUE(red);

    // Red (slot 0): the inner column on the left and its curve; never right.
    EXPECT_GT(Count(image, kRed, static_cast<int>(red->column.left()), left - 1), 50);
    EXPECT_GT(Count(image, kRed, left + 1, right - 1), 200);
    EXPECT_EQ(Count(image, kRed, right + 1, image.width() - 1), 0);
    // Green (slot 1): right of the plot and its curve; never left.
    EXPECT_GT(Count(image, kGreen, right + 1, image.width() - 1), 50);
    EXPECT_GT(Count(image, kGreen, left + 1, right - 1), 200);
    EXPECT_EQ(Count(image, kGreen, 0, left - 1), 0);
    // Blue (slot 2): the outer column on the left, outside red's column.
    EXPECT_GT(Count(image, kBlue, 0, static_cast<int>(red->column.left()) - 1), 50);
    EXPECT_GT(Count(image, kBlue, left + 1, right - 1), 200);
    EXPECT_EQ(Count(image, kBlue, right + 1, image.width() - 1), 0);
    // The bounds drawn were kept as the scales.
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 10.0f);
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 30.0f);
}

TEST(ChartRenderer, AQuantityWithoutReadingsDrawsNoCurve) {
    QList<TestQuantity> quantities = ClimateQuantities();
    quantities[1].valid = [](int) { return false; };
    auto document = MakeDocument(300, 60, quantities);
    const Drawn drawn = Draw(*document);
    const int left = static_cast<int>(drawn.layout.plot.left());
    const int right = static_cast<int>(drawn.layout.plot.right());
    // Its axis is there, its curve is not.
    EXPECT_GT(Count(drawn.image, kGreen, right, drawn.image.width() - 1), 20);
    EXPECT_EQ(Count(drawn.image, kGreen, left + 1, right - 1), 0);
    EXPECT_GT(Count(drawn.image, kRed, left + 1, right - 1), 100);
    EXPECT_GT(Count(drawn.image, kBlue, left + 1, right - 1), 100);
}

TEST(ChartRenderer, NoQuantityLeavesTheFrameAndTheTimeAxis) {
    auto document = MakeDocument(300, 60, ClimateQuantities());
    for (int q = 0; q < 3; ++q) document->SetCharted(q, false);
    const Drawn drawn = Draw(*document);
    for (QRgb colour : {kRed, kGreen, kBlue}) EXPECT_EQ(Count(drawn.image, colour, 0, 899), 0);
    const QRect frame = drawn.layout.plot.toRect();
    EXPECT_EQ(Count(drawn.image, qRgb(0, 0, 0), frame.left(), frame.left(), frame.top() + 1,
                    frame.bottom() - 1),
              frame.height() - 2);
    ASSERT_FALSE(drawn.layout.timeLabels.isEmpty());
    // Dark text below the plot.
    int dark = 0;
    for (int y = frame.bottom() + 12; y < drawn.image.height(); ++y)
        for (int x = 0; x < drawn.image.width(); ++x) dark += qGray(drawn.image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 100);
}

// What drawing every point paints: the segment between every two
// consecutive valid values and a dot on each, at the same rounded positions.
void DrawEveryPoint(QPainter& painter, const Document& document, const ChartLayout& layout,
                    const AxisLayout& axis) {
    bool havePrevious = false;
    QPoint previous;
    for (qint32 k = layout.first; k <= layout.last; ++k) {
        const PointValue value = document.Value(k - 1, axis.quantity);
        if (!value.Valid) continue;
        const QPoint p = CurvePoint(layout, axis, k, value.Value);
        if (havePrevious) painter.drawLine(previous, p);
        painter.drawPoint(p);
        previous = p;
        havePrevious = true;
    }
}

using CurveDrawer = void (*)(QPainter&, const Document&, const ChartLayout&, const AxisLayout&);

// The curves alone, on an image (where the column strokes are written into
// the pixels) or on a pixmap (where they are drawn as lines).
QImage Curves(const Document& document, const ChartLayout& layout, CurveDrawer draw, bool pixmap) {
    const QSize size = layout.area.size().toSize();
    QImage image(size, QImage::Format_RGB32);
    QPixmap picture(size);
    image.fill(Qt::white);
    picture.fill(Qt::white);
    {
        QPainter painter;
        if (pixmap)
            painter.begin(&picture);
        else
            painter.begin(&image);
        painter.setClipRect(layout.plot.toRect());
        for (const AxisLayout& axis : layout.axes) {
            painter.setPen(QPen(axis.colour, 0));
            draw(painter, document, layout, axis);
        }
    }
    return pixmap ? picture.toImage().convertToFormat(QImage::Format_RGB32) : image;
}

void ExpectSamePicture(Document& document, const QRectF& area = QRectF(0, 0, 800, 450)) {
    QImage probe(area.size().toSize(), QImage::Format_RGB32);
    const FontChartMetrics metrics(QFont(), &probe);
    const ChartLayout layout = ComputeChartLayout(document, SlotsOf(document), metrics, area);
    for (bool pixmap : {false, true}) {
        SCOPED_TRACE(pixmap ? "on a pixmap" : "on an image");
        const QImage columns = Curves(document, layout, DrawCurve, pixmap);
        const QImage everyPoint = Curves(document, layout, DrawEveryPoint, pixmap);
        int different = 0;
        for (int y = 0; y < columns.height(); ++y)
            for (int x = 0; x < columns.width(); ++x)
                different += columns.pixel(x, y) != everyPoint.pixel(x, y);
        EXPECT_EQ(different, 0);
        const int painted = columns.width() * columns.height() -
                            Count(columns, qRgb(255, 255, 255), 0, columns.width() - 1);
        EXPECT_GT(painted, 100);
    }
}

TEST(ChartCurves, ManyPointsPerColumnPaintWhatEveryPointPaints) {
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<double> values(65000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = 20 + 5 * std::sin(i / 900.0) + noise(random);
    QList<TestQuantity> quantities = {
        {"A", "u", 1, [&values](int i) { return values[static_cast<size_t>(i)]; }, {}},
        {"B", "u", 2, [](int i) { return std::cos(i / 50.0); }, {}},
        {"C", "u", 0, [](int i) { return (i / 1000) % 2 ? 100.0 : 0.0; }, {}}};
    auto document = MakeDocument(65000, 10, quantities);
    ExpectSamePicture(*document);
}

TEST(ChartCurves, FewerPointsThanColumnsPaintWhatEveryPointPaints) {
    QList<TestQuantity> quantities = ClimateQuantities();
    auto document = MakeDocument(157, 60, quantities);
    ExpectSamePicture(*document);
}

TEST(ChartCurves, InvalidReadingsAreBridgedAsEveryPointWould) {
    QList<TestQuantity> quantities = ClimateQuantities();
    // Single gaps, long gaps, and a lone reading between gaps.
    quantities[0].valid = [](int i) { return i % 7 != 3 && (i < 2000 || i > 6000); };
    quantities[1].valid = [](int i) { return i % 500 == 0; };
    quantities[2].valid = [](int i) { return i == 4321 || (i > 9000 && i % 2); };
    auto document = MakeDocument(12000, 10, quantities);
    ExpectSamePicture(*document);
    document->FirstPoint = 4000;
    document->LastPoint = 4600;
    document->bShowAll = false;
    ExpectSamePicture(*document);
}

TEST(ChartCurves, ValuesFarOffTheScalePaintWhatEveryPointPaints) {
    auto document = MakeDocument(3000, 10, ClimateQuantities());
    // Bounds of one's own, far narrower than the readings.
    document->Quantity(0).AutoScale = false;
    document->SetScaleValue(false, 0, 20.9f);
    document->SetScaleValue(true, 0, 21.1f);
    document->SetValue(1500, 0, 1e30f, true);
    document->SetValue(1501, 0, -1e30f, true);
    ExpectSamePicture(*document);
}

TEST(ChartRenderer, PrinterResolutionScalesMarginsAndLines) {
    auto document = MakeDocument(300, 60, ClimateQuantities());
    QImage page(QSize(4000, 2400), QImage::Format_RGB32);
    page.setDotsPerMeterX(23622);  // 600 dpi
    page.setDotsPerMeterY(23622);
    QPainter painter(&page);
    const ChartLayout layout =
        DrawChart(painter, *document, SlotsOf(*document), QRectF(0, 0, 4000, 2400), QFont());
    painter.end();
    EXPECT_NEAR(layout.unit, 6.25, 0.01);
    EXPECT_NEAR(layout.plot.top(), 125.0, 0.1);
    // The curve is several dots wide: a column crossing it holds more than one red dot.
    const int x = static_cast<int>(layout.plot.center().x());
    EXPECT_GE(Count(page, kRed, x, x, static_cast<int>(layout.plot.top()) + 1,
                    static_cast<int>(layout.plot.bottom()) - 1),
              4);
}

TEST(ChartRenderer, ImageOfTheGivenSize) {
    auto document = MakeDocument(50, 60, ClimateQuantities());
    const QImage image = RenderChartImage(*document, SlotsOf(*document), QSize(640, 360));
    EXPECT_EQ(image.size(), QSize(640, 360));
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_GT(Count(image, kRed, 0, 639), 50);
}

}  // namespace
