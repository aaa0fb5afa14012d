// The time axis: the 34-entry step table, the fit rule, and the points that
// get a label.
#include <gtest/gtest.h>

#include "ChartTestDocuments.h"
#include "chart/TimeAxis.h"

namespace {

TEST(TimeStepTable, HoldsThe34EntriesFromFineToCoarse) {
    const auto& table = TimeStepTable();
    ASSERT_EQ(table.size(), 34u);
    const std::vector<std::pair<TimeUnit, std::vector<int>>> expected = {
        {TimeUnit::Seconds, {1, 2, 4, 5, 10, 15, 30}},
        {TimeUnit::Minutes, {1, 2, 4, 5, 10, 15, 30}},
        {TimeUnit::Hours, {1, 2, 3, 6, 8, 12}},
        {TimeUnit::Days, {1, 2, 4, 7, 14}},
        {TimeUnit::Months, {1, 2, 3, 4, 6}},
        {TimeUnit::Years, {1, 2, 3, 5}}};
    const std::map<TimeUnit, double> unitSeconds = {
        {TimeUnit::Seconds, 1},           {TimeUnit::Minutes, 60},
        {TimeUnit::Hours, 3600},          {TimeUnit::Days, 86400},
        {TimeUnit::Months, 31.0 * 86400}, {TimeUnit::Years, 366.0 * 86400}};
    size_t i = 0;
    for (const auto& [unit, steps] : expected) {
        for (int step : steps) {
            ASSERT_LT(i, table.size());
            EXPECT_EQ(table[i].unit, unit) << i;
            EXPECT_EQ(table[i].step, step) << i;
            EXPECT_DOUBLE_EQ(table[i].seconds, step * unitSeconds.at(unit)) << i;
            if (i > 0) {
                EXPECT_GT(table[i].seconds, table[i - 1].seconds);
            }
            ++i;
        }
    }
}

TEST(TimeStepChoice, TakesTheFirstEntryThatFits) {
    // An hour with room for 10 labels: 5 minutes would need 12, 10 minutes 6.
    EXPECT_EQ(ChooseTimeStep(3600, 10), (TimeStep{TimeUnit::Minutes, 10, 600}));
    // Exactly as many steps as labels still fits.
    EXPECT_EQ(ChooseTimeStep(3600, 12), (TimeStep{TimeUnit::Minutes, 5, 300}));
    // A week with 8 labels: one day.
    EXPECT_EQ(ChooseTimeStep(7 * 86400.0, 8), (TimeStep{TimeUnit::Days, 1, 86400}));
    // Nothing to span: the first entry.
    EXPECT_EQ(ChooseTimeStep(0, 0), (TimeStep{TimeUnit::Seconds, 1, 1}));
    // A year and a half with 6 labels: 3 months of 31 days (93 days) fit.
    EXPECT_EQ(ChooseTimeStep(548 * 86400.0, 6), (TimeStep{TimeUnit::Months, 3, 93 * 86400.0}));
}

TEST(TimeStepChoice, NoEntryMeansNoLabels) {
    // A century with room for 10 labels: even 5 years of 366 days give 20.
    EXPECT_FALSE(ChooseTimeStep(100 * 365.25 * 86400, 10));
    // No room at all for a span of an hour.
    EXPECT_FALSE(ChooseTimeStep(3600, 0));
}

TEST(TimeStepChoice, LabelsThatFitAreWholeLabels) {
    EXPECT_EQ(TimeLabelsThatFit(1000, 142), 7);
    EXPECT_EQ(TimeLabelsThatFit(141, 142), 0);
    EXPECT_EQ(TimeLabelsThatFit(1000, 0), 0);
}

QStringList Times(const Document& document, const QList<qint32>& points) {
    QStringList times;
    for (qint32 k : points) times << document.strGetTime(k - 1);
    return times;
}

TEST(TimeLabelPoints, FallWhereTheTimePassesAMultipleOfTheStep) {
    // Every 10 s from 08:00:00: the minute changes at every sixth point.
    auto document = MakeDocument(30, 10, {Constant("A", 1.0)});
    const QList<qint32> points = TimeLabelPoints(*document, 1, 30, {TimeUnit::Minutes, 1, 60});
    EXPECT_EQ(points, (QList<qint32>{7, 13, 19, 25}));
    EXPECT_EQ(Times(*document, points).first(), QStringLiteral("2026-11-02 08:01:00"));

    // Steps of 15 s: at :15, :30, :45, :00.
    const QList<qint32> quarter = TimeLabelPoints(*document, 1, 30, {TimeUnit::Seconds, 15, 15});
    EXPECT_EQ(Times(*document, quarter.mid(0, 4)),
              (QStringList{"2026-11-02 08:00:20", "2026-11-02 08:00:30", "2026-11-02 08:00:50",
                           "2026-11-02 08:01:00"}));
}

TEST(TimeLabelPoints, OnlyPointsAfterTheFirstShownAndUpToTheLast) {
    auto document = MakeDocument(30, 10, {Constant("A", 1.0)});
    // From point 7 (08:01:00) to 20: the next minute starts at point 13.
    EXPECT_EQ(TimeLabelPoints(*document, 7, 20, {TimeUnit::Minutes, 1, 60}),
              (QList<qint32>{13, 19}));
    EXPECT_TRUE(TimeLabelPoints(*document, 5, 5, {TimeUnit::Minutes, 1, 60}).isEmpty());
}

// Readings logged once a minute all fall on second 0: a step of seconds must
// still label them where the minute changes.
TEST(TimeLabelPoints, ALargerComponentChangingAlsoCounts) {
    auto document = MakeDocument(5, 60, {Constant("A", 1.0)});
    EXPECT_EQ(TimeLabelPoints(*document, 1, 5, {TimeUnit::Seconds, 30, 30}),
              (QList<qint32>{2, 3, 4, 5}));
}

TEST(TimeLabelPoints, CalendarStepsStartAtTheFirstOfTheMonthAndYear) {
    // Daily readings from 2026-11-02: weeks counted from the first of the month.
    auto daily = MakeDocument(70, 86400, {Constant("A", 1.0)});
    const QStringList weeks =
        Times(*daily, TimeLabelPoints(*daily, 1, 70, {TimeUnit::Days, 7, 7 * 86400.0}));
    EXPECT_EQ(weeks.mid(0, 6),
              (QStringList{"2026-11-08 08:00:00", "2026-11-15 08:00:00", "2026-11-22 08:00:00",
                           "2026-11-29 08:00:00", "2026-12-01 08:00:00", "2026-12-08 08:00:00"}));
    // Quarters: January, April, July, October (80 weeks reach May 2028).
    auto weekly = MakeDocument(80, 7 * 86400.0, {Constant("A", 1.0)});
    const QStringList quarters =
        Times(*weekly, TimeLabelPoints(*weekly, 1, 80, {TimeUnit::Months, 3, 93 * 86400.0}));
    ASSERT_EQ(quarters.size(), 6);
    EXPECT_TRUE(quarters.at(0).startsWith(QStringLiteral("2027-01-")));
    EXPECT_TRUE(quarters.at(1).startsWith(QStringLiteral("2027-04-")));
    EXPECT_TRUE(quarters.at(2).startsWith(QStringLiteral("2027-07-")));
    EXPECT_TRUE(quarters.at(3).startsWith(QStringLiteral("2027-10-")));
    EXPECT_TRUE(quarters.at(4).startsWith(QStringLiteral("2028-01-")));
    EXPECT_TRUE(quarters.at(5).startsWith(QStringLiteral("2028-04-")));
    // Six-hourly steps: 12:00, 18:00, 00:00, 06:00 of hourly readings.
    auto hourly = MakeDocument(30, 3600, {Constant("A", 1.0)});
    EXPECT_EQ(Times(*hourly, TimeLabelPoints(*hourly, 1, 30, {TimeUnit::Hours, 6, 6 * 3600.0})),
              (QStringList{"2026-11-02 12:00:00", "2026-11-02 18:00:00", "2026-11-03 00:00:00",
                           "2026-11-03 06:00:00", "2026-11-03 12:00:00"}));
}

TEST(TimeLabelPoints, StopAtOnceWhenTheWindowCloses) {
    auto document = MakeDocument(20000, 1, {Constant("A", 1.0)});
    document->bExit = true;
    const QList<qint32> points = TimeLabelPoints(*document, 1, 20000, {TimeUnit::Seconds, 1, 1});
    EXPECT_LT(points.size(), 5000);
    document->bExit = false;
    EXPECT_EQ(TimeLabelPoints(*document, 1, 20000, {TimeUnit::Seconds, 1, 1}).size(), 19999);
}

TEST(TimeLabelLines, TimeOverDateBelowADayDateOverTimeAbove) {
    const double at = TestStartTime() + (3 * 3600 + 25 * 60 + 7) / 86400.0;
    EXPECT_EQ(TimeLabelLines(at, TimeUnit::Minutes), (QStringList{"11:25:07", "2026-11-02"}));
    EXPECT_EQ(TimeLabelLines(at, TimeUnit::Days), (QStringList{"2026-11-02", "11:25:07"}));
}

}  // namespace
