// Vertical scales: the value range rules, the rounding of bounds to the scale
// base, the 1-2-5 steps with at most nine labels, and the tick lists.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ChartTestDocuments.h"
#include "base/UserLocale.h"
#include "chart/ChartScale.h"

namespace {

struct ScaleExample {
    const char* name;
    double low;
    double high;
    int decimals;
    double base;
    double lower;
    double upper;
    double major;
    double minor;
    int labels;
};

void PrintTo(const ScaleExample& example, std::ostream* out) {
    *out << example.name;
}

class ScaleExamples : public ::testing::TestWithParam<ScaleExample> {};

TEST_P(ScaleExamples, GiveBaseBoundsAndSteps) {
    const ScaleExample& e = GetParam();
    const AxisScale scale = ComputeAxisScale({e.low, e.high}, e.decimals, true);
    EXPECT_DOUBLE_EQ(scale.base, e.base);
    EXPECT_DOUBLE_EQ(scale.lower, e.lower);
    EXPECT_DOUBLE_EQ(scale.upper, e.upper);
    EXPECT_DOUBLE_EQ(scale.major, e.major);
    EXPECT_DOUBLE_EQ(scale.minor, e.minor);
    EXPECT_EQ(scale.MajorTicks().size(), e.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Chart, ScaleExamples,
    ::testing::Values(
        // One decimal, 20.3 to 21.7: base 10, bounds 20 and 30, steps 2 and 0.5.
        ScaleExample{"OneDecimal", 20.3, 21.7, 1, 10, 20, 30, 2, 0.5, 6},
        // Two decimals, 0.12 to 0.87: base 1, bounds 0 and 1, steps 0.2 and 0.05.
        ScaleExample{"TwoDecimals", 0.12, 0.87, 2, 1, 0, 1, 0.2, 0.05, 6},
        // No decimals, 980 to 1030: base 100, bounds 900 and 1100, steps 50 and 10.
        ScaleExample{"NoDecimals", 980, 1030, 0, 100, 900, 1100, 50, 10, 5},
        // A negative lower bound is rounded away from zero, a negative upper
        // bound towards it.
        ScaleExample{"Negative", -12.3, -4.5, 1, 10, -20, 0, 5, 1, 5},
        // Three decimals: base 0.1.
        ScaleExample{"ThreeDecimals", 1.234, 1.289, 3, 0.1, 1.2, 1.3, 0.02, 0.005, 6},
        // A wide range grows the base tenfold until a step fits.
        ScaleExample{"WideRange", 3.0, 4321.0, 0, 1000, 0, 5000, 1000, 200, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChartScale, TickListsOfTheOneDecimalExample) {
    const AxisScale scale = ComputeAxisScale({20.3, 21.7}, 1, true);
    const QList<double> major = scale.MajorTicks();
    ASSERT_EQ(major.size(), 6);
    for (int i = 0; i < major.size(); ++i) EXPECT_NEAR(major.at(i), 20.0 + 2.0 * i, 1e-9);
    const QList<double> minor = scale.MinorTicks();
    // Every half unit from 20 to 30 (21 of them) but the 6 labelled ones.
    EXPECT_EQ(minor.size(), 21 - 6);
    EXPECT_NEAR(minor.first(), 20.5, 1e-9);
    for (double value : minor) EXPECT_NE(std::fmod(std::round(value * 10), 20.0), 0.0) << value;
}

TEST(ChartScale, AxisLabelsShowTheDecimals) {
    UserLocale::Init(QLocale::c());
    EXPECT_EQ(AxisLabel(20.0, 1), QStringLiteral("20.0"));
    EXPECT_EQ(AxisLabel(0.2, 2), QStringLiteral("0.20"));
    EXPECT_EQ(AxisLabel(1100, 0), QStringLiteral("1100"));
    EXPECT_EQ(AxisLabel(-0.0, 1), QStringLiteral("0.0"));
    // The screen follows the user's decimal separator.
    UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(AxisLabel(20.5, 1), QStringLiteral("20,5"));
    UserLocale::Init(QLocale::c());
}

// Any range, any decimals: at most nine labels, steps of 1, 2 or 5 times a
// power of ten, automatic bounds that enclose the range and are multiples of
// the base.
TEST(ChartScale, NeverMoreThanNineLabelsOnA125Sequence) {
    std::mt19937 random(58);
    std::uniform_real_distribution<double> centre(-5000.0, 50000.0);
    std::uniform_real_distribution<double> exponent(-4.0, 5.0);
    for (int run = 0; run < 5000; ++run) {
        const int decimals = run % 5;
        const double unit = std::pow(10.0, -decimals);
        const double low = std::round(centre(random) / unit) * unit;
        const double high = low + std::round(std::pow(10.0, exponent(random)) / unit + 1) * unit;
        for (bool automatic : {true, false}) {
            const AxisScale scale = ComputeAxisScale({low, high}, decimals, automatic);
            SCOPED_TRACE(testing::Message()
                         << low << ".." << high << " d=" << decimals << " auto=" << automatic);
            const QList<double> labels = scale.MajorTicks();
            ASSERT_LE(labels.size(), kMaxAxisLabels);
            ASSERT_LE((scale.upper - scale.lower) / scale.major + 1.0, kMaxAxisLabels + 1e-6);
            const double mantissa =
                scale.major / std::pow(10.0, std::floor(std::log10(scale.major)));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 ||
                        std::fabs(mantissa - 5) < 1e-6)
                << scale.major;
            if (automatic) {
                EXPECT_LE(scale.lower, low + 1e-9);
                EXPECT_GE(scale.upper, high - 1e-9);
                EXPECT_NEAR(std::remainder(scale.lower, scale.base), 0.0, scale.base * 1e-9);
                EXPECT_NEAR(std::remainder(scale.upper, scale.base), 0.0, scale.base * 1e-9);
                EXPECT_GE(labels.size(), 2);
            } else {
                EXPECT_NEAR(scale.lower, low, 1e-9);
                EXPECT_NEAR(scale.upper, high, 1e-9);
            }
        }
    }
}

// Bounds the user set are kept; a narrow zoom still gets labels.
TEST(ChartScale, BoundsSetByHandAreKeptAndLabelled) {
    const AxisScale scale = ComputeAxisScale({20.3, 20.9}, 1, false);
    EXPECT_DOUBLE_EQ(scale.lower, 20.3);
    EXPECT_DOUBLE_EQ(scale.upper, 20.9);
    const QList<double> labels = scale.MajorTicks();
    ASSERT_GE(labels.size(), 2);
    for (double value : labels) {
        EXPECT_GE(value, 20.3 - 1e-9);
        EXPECT_LE(value, 20.9 + 1e-9);
    }
}

TEST(ChartValueRange, ComesFromStatisticsPointsOrStoredScales) {
    auto document = MakeDocument(100, 60, {Ramp("A", 10.0, 19.9, 100)});
    // All points, automatic: the statistics.
    ValueRange range = QuantityValueRange(*document, 0);
    EXPECT_NEAR(range.lower, 10.0, 1e-5);
    EXPECT_NEAR(range.upper, 19.9, 1e-5);

    // A part, automatic: the points shown.
    document->bShowAll = false;
    document->FirstPoint = 11;
    document->LastPoint = 21;
    range = QuantityValueRange(*document, 0);
    EXPECT_NEAR(range.lower, 11.0, 1e-5);
    EXPECT_NEAR(range.upper, 12.0, 1e-5);

    // Not automatic: the stored scale, exchanged when given upside down.
    document->Quantity(0).AutoScale = false;
    document->SetScaleValue(false, 0, 30.0f);
    document->SetScaleValue(true, 0, 25.0f);
    range = QuantityValueRange(*document, 0);
    EXPECT_NEAR(range.lower, 25.0, 1e-5);
    EXPECT_NEAR(range.upper, 30.0, 1e-5);
}

TEST(ChartValueRange, RealTimeDocumentSearchesItsPoints) {
    auto document = MakeDocument(10, 5, {Ramp("A", 1.0, 1.9, 10)});
    document->bRealTime = true;
    // A new reading far above the statistics computed earlier.
    const qint32 k = document->AppendPoint(TestStartTime() + 1.0);
    document->SetValue(k, 0, 50.0f, true);
    document->LastPoint = document->PointCount();
    const ValueRange range = QuantityValueRange(*document, 0);
    EXPECT_NEAR(range.upper, 50.0, 1e-5);
    EXPECT_NEAR(range.lower, 1.0, 1e-5);
}

TEST(ChartValueRange, EqualValuesStillGiveAnAxis) {
    for (int decimals : {0, 1, 2}) {
        auto document = MakeDocument(20, 60, {Constant("A", 5.0, decimals)});
        const ValueRange range = QuantityValueRange(*document, 0);
        EXPECT_DOUBLE_EQ(range.lower, 5.0);
        EXPECT_NEAR(range.upper, 5.0 + std::pow(10.0, -decimals), 1e-9);
        const AxisScale scale = ComputeAxisScale(range, decimals, true);
        EXPECT_LT(scale.lower, scale.upper);
        EXPECT_LE(scale.lower, 5.0);
        EXPECT_GE(scale.upper, range.upper - 1e-9);
    }
}

TEST(ChartValueRange, AllInvalidValuesGiveAnEmptyRangeRaisedByOneUnit) {
    TestQuantity none = Constant("A", 7.0, 1);
    none.valid = [](int) { return false; };
    auto document = MakeDocument(20, 60, {none});
    EXPECT_EQ(document->Quantity(0).StatsValid, 0);
    const ValueRange range = QuantityValueRange(*document, 0);
    EXPECT_LT(range.lower, range.upper);
    const AxisScale scale = ComputeAxisScale(range, AxisDecimals(document->Quantity(0)), true);
    EXPECT_LT(scale.lower, scale.upper);
    EXPECT_GE(scale.MajorTicks().size(), 2);
}

TEST(ChartValueRange, UnknownDecimalsCountAsTwo) {
    QuantityInfo quantity;
    quantity.Decimals = -1;
    EXPECT_EQ(AxisDecimals(quantity), 2);
    quantity.Decimals = 9;
    EXPECT_EQ(AxisDecimals(quantity), 7);
}

}  // namespace
