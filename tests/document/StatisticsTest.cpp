// Minimum, maximum and mean, the texts of the information page, and what the
// first computation does to the chart.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/DocumentHost.h"
#include "document/DocumentTexts.h"
#include "document/Statistics.h"

namespace {

double Ole(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return ToOleDate(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

}  // namespace

TEST(Statistics, MinimumMaximumAndMeanOfValidReadings) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {"a", "b"}, {"", ""},
                             {"12-03-05 14:00:00\t1\t-", "12-03-05 14:00:01\t2\t2",
                              "12-03-05 14:00:02\t3\t-", "12-03-05 14:00:03\t4\t4"}));
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_EQ(document.Quantity(0).Minimum, 1.0f);
    EXPECT_EQ(document.Quantity(0).Maximum, 4.0f);
    EXPECT_EQ(document.Quantity(0).Mean, 2.5f);
    EXPECT_EQ(document.Quantity(1).Minimum, 2.0f);
    EXPECT_EQ(document.Quantity(1).Maximum, 4.0f);
    EXPECT_EQ(document.Quantity(1).Mean, 3.0f);
    EXPECT_EQ(document.Quantity(1).StatsValid, 1);
}

TEST(Statistics, AQuantityWithoutReadingsShowsEmptyBoxes) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {"a", "b"}, {"", ""},
                             {"12-03-05 14:00:00\t1.25\t-", "12-03-05 14:00:01\t2.5\t----"}));
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_EQ(document.Quantity(1).StatsValid, 0);
    EXPECT_EQ(StatisticText(document, 1, StatisticKind::Minimum), QString());
    EXPECT_EQ(StatisticText(document, 1, StatisticKind::Mean), QString());
    EXPECT_EQ(StatisticText(document, 0, StatisticKind::Mean), QStringLiteral("1.88"));
    EXPECT_EQ(StatisticText(document, 0, StatisticKind::Maximum), QStringLiteral("2.50"));
}

TEST(Statistics, TextsUseAPointWhateverTheLocale) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(document, {"T"}, {"C"}, {"12-03-05 14:00:00\t-1.5"}));
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_EQ(StatisticText(document, 0, StatisticKind::Minimum), QStringLiteral("-1.5"));
}

// Regression: the mean was summed in single precision, so the sum of many
// readings lost their last digits and 65000 equal readings did not average
// to that reading.
TEST(Statistics, MeanOfManyEqualReadingsIsThatReading) {
    Document document;
    document.SetQuantityCount(2);
    for (qint32 i = 0; i < kMaxPoints; ++i) {
        document.AppendPoint(40000.0 + i / 86400.0);
        document.SetValue(i, 0, 21.37f, true);
        document.SetValue(i, 1, 1013.3f, true);
    }
    document.Quantity(0).Decimals = 2;
    document.Quantity(1).Decimals = 1;
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_EQ(document.Quantity(0).Mean, 21.37f);
    EXPECT_EQ(document.Quantity(1).Mean, 1013.3f);
    EXPECT_EQ(StatisticText(document, 0, StatisticKind::Mean), QStringLiteral("21.37"));
}

TEST(Statistics, FirstComputationSetsScalesAndTheChartedQuantities) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"a", "b", "c", "d"}, {"", "", "", ""},
                     {"12-03-05 14:00:00\t1.04\t-\t10\t5", "12-03-05 14:00:01\t2.96\t-\t20\t6"}));
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_EQ(document.GetScaleValue(false, 0), 1.04f);
    EXPECT_EQ(document.GetScaleValue(true, 0), 2.96f);
    EXPECT_EQ(document.GetScaleValue(true, 2), 20.0f);
    EXPECT_FALSE(document.bZoomOut);
    for (int q = 0; q < 4; ++q) EXPECT_TRUE(document.GetAutoScale(q)) << q;
    EXPECT_TRUE(document.IsCharted(0));
    EXPECT_TRUE(document.IsCharted(1));
    EXPECT_TRUE(document.IsCharted(2));
    EXPECT_FALSE(document.IsCharted(3));

    // A later computation leaves the chart as the user set it.
    document.SetCharted(0, false);
    document.SetScaleValue(true, 0, 9.0f);
    ASSERT_TRUE(ComputeStatistics(document));
    EXPECT_FALSE(document.IsCharted(0));
    EXPECT_EQ(document.GetScaleValue(true, 0), 9.0f);
}

TEST(Statistics, StopWhenTheWindowCloses) {
    class ClosingHost : public DocumentHost {
    public:
        explicit ClosingHost(Document& d) : d_(d) {}
        void Yield() override { d_.bExit = true; }
        Document& d_;
    };
    Document document;
    ASSERT_TRUE(FillDocument(document, {"a"}, {""}, {"12-03-05 14:00:00\t1"}));
    ClosingHost host(document);
    EXPECT_FALSE(ComputeStatistics(document, &host));
    EXPECT_EQ(document.Quantity(0).StatsValid, 0);
}

TEST(DurationText, BelowADayAndWithDays) {
    EXPECT_EQ(DurationText(3600 + 2 * 60 + 5), QStringLiteral("1:02:05"));
    EXPECT_EQ(DurationText(0), QStringLiteral("0:00:00"));
    EXPECT_EQ(DurationText(86399), QStringLiteral("23:59:59"));
    {
        LocaleScope swedish(SwedishLocale());
        EXPECT_EQ(DurationText(86400 + 3600 + 60 + 1), QStringLiteral("1 d 01:01:01"));
    }
    {
        LocaleScope english(EnglishLocale());
        EXPECT_EQ(DurationText(3 * 86400 + 13 * 3600), QStringLiteral("3 d 1:00:00 PM"));
    }
    EXPECT_EQ(WholeSeconds(Ole(2012, 3, 5, 14), Ole(2012, 3, 6, 15, 1, 1)), 86400 + 3661);
}

TEST(FilledInformation, LoggedAndManualRecordings) {
    LocaleScope swedish(SwedishLocale());
    Document logged;
    ASSERT_TRUE(
        FillDocument(logged, {"T"}, {"C"}, {"12-03-05 14:00:00\t1", "12-03-05 15:02:05\t2"}));
    logged.IntervalUnit = 2;
    logged.IntervalValue = 10;
    UpdateFilledInformation(logged, false);
    EXPECT_EQ(logged.Info.Interval, QStringLiteral("10 s"));
    EXPECT_EQ(logged.Info.Duration, QStringLiteral("1:02:05"));
    EXPECT_EQ(logged.Info.Start, QStringLiteral("2012-03-05 14:00:00"));
    EXPECT_EQ(logged.Info.Stop, QStringLiteral("2012-03-05 15:02:05"));
    EXPECT_EQ(logged.Info.Points, QStringLiteral("2"));
    EXPECT_EQ(logged.Info.RecordingKind, StringTable::Text(5005));

    Document manual;
    ASSERT_TRUE(FillDocument(manual, {"T"}, {"C"}, {"12-03-05 14:00:00\t1"}));
    manual.IntervalUnit = 2;
    manual.IntervalValue = 0;
    UpdateFilledInformation(manual, false);
    EXPECT_EQ(manual.Info.Interval, QString());
    EXPECT_EQ(manual.Info.Duration, QString());
    EXPECT_EQ(manual.Info.RecordingKind, QStringLiteral("Manuellt registrerade data"));
    EXPECT_EQ(manual.StopTime, manual.StartTime);

    Document realTime;
    ASSERT_TRUE(FillDocument(realTime, {"T"}, {"C"}, {"12-03-05 14:00:00\t1"}));
    realTime.IntervalUnit = 2;
    realTime.IntervalValue = 5;
    UpdateFilledInformation(realTime, true);
    EXPECT_EQ(realTime.Info.RecordingKind, QStringLiteral("Data i realtidsf\u00f6nstret"));
    EXPECT_EQ(realTime.Info.Stop, QString());  // shown when the window stops
    realTime.SetStopTime();
    EXPECT_EQ(realTime.Info.Stop, QStringLiteral("2012-03-05 14:00:00"));
}

TEST(InformationPage, ListsEveryLabelAndTheSummaryRows) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(document, {"RH", "T"}, {"%RH", "C"},
                             {"12-03-05 14:00:00\t45.2\t21.37", "12-03-05 14:00:10\t-\t21.40"}));
    document.Title = QStringLiteral("Store room");
    document.Notes = QStringLiteral("a\r\nb");
    document.IntervalUnit = 2;
    document.IntervalValue = 10;
    UpdateFilledInformation(document, false);
    ComputeStatistics(document);
    const QString text = InformationPageText(document);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Namn: Store room\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("  Intervall:     10 s\n"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("  Datapunkter:   2\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Parameter: Enhet: Minimum: Maximum: Genomsnitt:\n")))
        << qPrintable(text);
    EXPECT_TRUE(
        text.contains(QStringLiteral("  RH         %RH        45.2     45.2        45.2\n")))
        << qPrintable(text);
    EXPECT_TRUE(
        text.contains(QStringLiteral("  T          C         21.37    21.40       21.39\n")))
        << qPrintable(text);
    EXPECT_TRUE(text.endsWith(QStringLiteral("Anteckningar:\n  a\n  b\n")));
}
