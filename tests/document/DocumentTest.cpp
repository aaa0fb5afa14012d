// The document record: rounding to a quantity's decimals, the chart's scale
// bounds, finding a point by date, the interval texts, the line routines.
#include <gtest/gtest.h>

#include <charconv>

#include "DocumentTestSupport.h"
#include "base/TextHelpers.h"
#include "document/DocumentObserver.h"
#include "document/DocumentTexts.h"

namespace {

double Ole(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return ToOleDate(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

Document& OneQuantity(Document& document, qint16 decimals) {
    document.SetQuantityCount(1);
    document.Quantity(0).Decimals = decimals;
    return document;
}

class CountingObserver : public DocumentObserver {
public:
    void PointsAdded(const Document&, qint32 first, qint32 count) override {
        lastFirst = first;
        added += count;
    }
    void PointsRemoved(const Document&, qint32, qint32 count) override { removed += count; }
    void QuantitiesChanged(const Document&) override { ++quantities; }
    void ViewChanged(const Document&) override { ++views; }
    qint32 added = 0;
    qint32 removed = 0;
    qint32 lastFirst = -1;
    int quantities = 0;
    int views = 0;
};

}  // namespace

TEST(CutDecimal, RoundsHalfToEven) {
    Document document;
    OneQuantity(document, 0);
    EXPECT_EQ(document.CutDecimal(2.5f, 0), 2.0f);
    EXPECT_EQ(document.CutDecimal(3.5f, 0), 4.0f);
    EXPECT_EQ(document.CutDecimal(-2.5f, 0), -2.0f);
    document.Quantity(0).Decimals = 1;
    EXPECT_EQ(document.CutDecimal(2.25f, 0), 2.2f);
    EXPECT_EQ(document.CutDecimal(2.75f, 0), 2.8f);
    document.Quantity(0).Decimals = 2;
    EXPECT_EQ(document.CutDecimal(21.3749f, 0), 21.37f);
}

TEST(CutDecimal, KeepsAtMostSevenDecimalsAndIgnoresTheLocale) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    OneQuantity(document, 9);
    EXPECT_EQ(document.CutDecimal(0.123456789f, 0), 0.1234568f);
    document.Quantity(0).Decimals = 3;
    EXPECT_EQ(document.CutDecimal(1013.25049f, 0), 1013.25f);
}

TEST(CutDecimal, LeavesAValueOfUnknownDecimalsAlone) {
    Document document;
    OneQuantity(document, -1);
    EXPECT_EQ(document.CutDecimal(2.345f, 0), 2.345f);
}

TEST(SetScaleValue, ClampsAtTheLimitsWithoutZooming) {
    Document document;
    OneQuantity(document, 1);
    document.SetScaleValue(true, 0, 1e6f);
    EXPECT_EQ(document.GetScaleValue(true, 0), 999999.0f);
    document.SetScaleValue(false, 0, -1e5f);
    EXPECT_EQ(document.GetScaleValue(false, 0), -99999.0f);
    EXPECT_FALSE(document.bZoomOut);
}

TEST(SetScaleValue, StoresARoundedBoundAndZooms) {
    Document document;
    OneQuantity(document, 1);
    document.SetScaleValue(true, 0, 25.25f);
    EXPECT_EQ(document.GetScaleValue(true, 0), 25.2f);
    EXPECT_TRUE(document.bZoomOut);
    document.bZoomOut = false;
    document.SetScaleValue(false, 0, -12.36f);
    EXPECT_EQ(document.GetScaleValue(false, 0), -12.4f);
    EXPECT_TRUE(document.bZoomOut);
}

TEST(ShowAll, TakesTheScalesFromMinimumAndMaximumWithinTheLimits) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {"p"}, {"hPa"},
                             {"26-01-01 00:00:00\t-200000", "26-01-01 00:00:10\t5000000"}));
    document.Quantity(0).Minimum = -200000.0f;
    document.Quantity(0).Maximum = 5000000.0f;
    document.bZoomOut = true;
    document.ShowAll();
    EXPECT_EQ(document.GetScaleValue(false, 0), -99999.0f);
    EXPECT_EQ(document.GetScaleValue(true, 0), 999999.0f);
    qint32 first = 0, last = 0, count = 0;
    document.GetPoints(first, last, count);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(count, 2);
    EXPECT_FALSE(document.bZoomOut);
    EXPECT_TRUE(document.bShowAll);
}

TEST(GetDatePoint, CountsFromOneAndGivesZeroBeforeTheFirstPoint) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"T"}, {"C"},
                     {"26-03-05 14:00:00\t1", "26-03-05 14:00:10\t2", "26-03-05 14:00:20\t3"}));
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 13, 59, 59)), 0);
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 14, 0, 0)), 1);
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 14, 0, 5)), 2);
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 14, 0, 20)), 3);
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 15, 0, 0)), 4);
    Document empty;
    EXPECT_EQ(empty.GetDatePoint(Ole(2026, 3, 5)), 0);
}

TEST(GetDatePoint, SearchesPointsInTheOrderReceived) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"T"}, {"C"},
                     {"26-03-05 14:00:00\t1", "26-03-05 16:00:00\t2", "26-03-05 15:00:00\t3"}));
    EXPECT_EQ(document.GetDatePoint(Ole(2026, 3, 5, 14, 30)), 2);
}

TEST(IntervalText, ShowsValueAndUnitOrNothing) {
    EXPECT_EQ(IntervalText(10, 2), QStringLiteral("10 s"));
    EXPECT_EQ(IntervalText(3, 10), QStringLiteral("3 d"));
    EXPECT_EQ(IntervalText(5, 4), QStringLiteral("5 min"));
    EXPECT_EQ(IntervalText(2, 8), QStringLiteral("2 h"));
    EXPECT_EQ(IntervalText(1, 20), QStringLiteral("1 m"));
    EXPECT_EQ(IntervalText(1, 40), QStringLiteral("1 a"));
    EXPECT_EQ(IntervalText(3, 7), QString());
    EXPECT_EQ(IntervalText(3, 0), QString());
}

TEST(DocumentOperations, GiveQuantitiesTimesAndPoints) {
    Document document;
    QList<qint16> quantities{7};
    EXPECT_FALSE(document.GetQuantit(quantities));
    EXPECT_TRUE(quantities.isEmpty());
    ASSERT_TRUE(FillDocument(document, {"RH", "T", "Td"}, {"%RH", "C", "C"},
                             {"12-03-05 14:00:00\t45.2\t21.37\t9.0"}));
    EXPECT_TRUE(document.GetQuantit(quantities));
    EXPECT_EQ(quantities, (QList<qint16>{0, 1, 2}));
    EXPECT_EQ(document.GetCols(), 3);
    EXPECT_EQ(document.GetDecs(1), 2);
    EXPECT_EQ(document.strGetTime(0), QStringLiteral("2012-03-05 14:00:00"));
    EXPECT_EQ(document.GetDatafilePoints(), 1);
    document.StartTime = 1.5;
    document.StopTime = 2.5;
    document.IntervalValue = 10;
    double start = 0, stop = 0;
    EXPECT_EQ(document.GetTimes(start, stop), 10);
    EXPECT_EQ(start, 1.5);
    EXPECT_EQ(stop, 2.5);
    document.SetAutoScale(2, true);
    EXPECT_TRUE(document.GetAutoScale(2));
    EXPECT_FALSE(document.GetAutoScale(0));
}

TEST(DocumentOperations, RefuseAFourthChartedQuantity) {
    Document document;
    document.SetQuantityCount(4);
    EXPECT_TRUE(document.SetCharted(0, true));
    EXPECT_TRUE(document.SetCharted(1, true));
    EXPECT_TRUE(document.SetCharted(2, true));
    EXPECT_FALSE(document.SetCharted(3, true));
    EXPECT_FALSE(document.IsCharted(3));
    EXPECT_TRUE(document.SetCharted(1, false));
    EXPECT_TRUE(document.SetCharted(3, true));
    EXPECT_EQ(document.ChartedCount(), 3);
}

TEST(DocumentOperations, EditsMarkASavedDocumentAsChanged) {
    Document document;
    document.EditTitle(QStringLiteral("Store room"));
    EXPECT_EQ(document.iSaved, Saved::kNever);  // never saved: stays so
    document.iSaved = Saved::kUnchanged;
    document.EditNotes(QStringLiteral("checked"));
    EXPECT_EQ(document.iSaved, Saved::kChanged);
    document.iSaved = Saved::kUnchanged;
    document.EditTitle(QStringLiteral("Store room"));  // unchanged text
    EXPECT_EQ(document.iSaved, Saved::kUnchanged);
}

TEST(LineRoutines, TakeNamesAndUnitsCutAndCleaned) {
    Document document;
    document.SetQuantityCount(3);
    document.Property(QStringLiteral("\tTemperature\tH\x8DO\tRH\r\n"));
    document.Unit(QStringLiteral("\tdegrees C \tg/m\x8F\t%RH\r\n"));
    EXPECT_EQ(document.Quantity(0).Name, QStringLiteral("Temperatu"));
    EXPECT_EQ(document.Quantity(1).Name, QStringLiteral("H2O"));
    EXPECT_EQ(document.Quantity(2).Name, QStringLiteral("RH"));
    EXPECT_EQ(document.Quantity(0).Unit, QStringLiteral("degrees "));
    EXPECT_EQ(document.Quantity(1).Unit, QStringLiteral("g/m3"));
    for (int q = 0; q < 3; ++q) EXPECT_EQ(document.Quantity(q).Decimals, -1);
}

TEST(MeasToStruct, ReadsTimeStampsOfBothLengthsAndBothCenturies) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {"T"}, {"C"},
                             {"38-01-01 00:00:00\t1", "39-01-01 00:00:00\t2",
                              "12-03-05 14:00:07\t3", "12-03-0514:00:07\t4"}));
    EXPECT_EQ(document.PointTime(0), Ole(2038, 1, 1));
    EXPECT_EQ(document.PointTime(1), Ole(1939, 1, 1));
    EXPECT_EQ(document.PointTime(2), Ole(2012, 3, 5, 14, 0, 7));
    EXPECT_EQ(document.PointTime(3), document.PointTime(2));
}

TEST(MeasToStruct, RejectsATimeStampThatIsNoDate) {
    for (const char* stamp :
         {"07-13-01 12:00:00", "07-00-01 12:00:00", "07-04-31 12:00:00", "07-02-30 12:00:00",
          "07-01-32 12:00:00", "-", "", "07-01-01 12:00", "ab-cd-ef gh:ij:kl", "21.4"}) {
        Document document;
        document.SetQuantityCount(1);
        EXPECT_FALSE(document.MeasToStruct(QString::fromLatin1(stamp) + "\t1.0\r\n")) << stamp;
        // The count grew before the check; the caller takes the point back.
        EXPECT_EQ(document.PointCount(), 1) << stamp;
    }
}

TEST(MeasToStruct, WrapsHoursMinutesAndSeconds) {
    Document document;
    ASSERT_TRUE(FillDocument(document, {"T"}, {"C"}, {"12-03-05 25:61:62\t1"}));
    EXPECT_EQ(document.PointTime(0), Ole(2012, 3, 5, 1, 1, 2));
}

TEST(MeasToStruct, MissingReadingsAreInvalidAndTheOthersAreTaken) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"RH", "T", "Td"}, {"%", "C", "C"},
                     {"12-03-05 14:00:00\t-\t21.37\t----", "12-03-05 14:00:10\t45.2\t\t9.05"}));
    EXPECT_EQ(document.Value(0, 0).Valid, 0);
    EXPECT_EQ(document.Value(0, 1).Valid, 1);
    EXPECT_EQ(document.Value(0, 1).Value, 21.37f);
    EXPECT_EQ(document.Value(0, 2).Valid, 0);
    EXPECT_EQ(document.Value(1, 0).Value, 45.2f);
    EXPECT_EQ(document.Value(1, 1).Valid, 0);
    EXPECT_EQ(document.Value(1, 2).Value, 9.05f);
}

// Regression: an empty reading in the middle of a line moved every reading
// after it one column to the left (the field reader skipped the empty field).
TEST(MeasToStruct, EmptyMiddleReadingKeepsLaterColumnsInPlace) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"A", "B", "C"}, {"", "", ""}, {"12-03-05 14:00:00\t1.5\t\t3.5"}));
    EXPECT_EQ(document.Value(0, 0).Value, 1.5f);
    EXPECT_EQ(document.Value(0, 1).Valid, 0);
    EXPECT_EQ(document.Value(0, 2).Valid, 1);
    EXPECT_EQ(document.Value(0, 2).Value, 3.5f);
}

TEST(MeasToStruct, TakesDecimalsFromTheFirstValidReading) {
    Document document;
    ASSERT_TRUE(
        FillDocument(document, {"T", "p", "n"}, {"C", "hPa", ""},
                     {"12-03-05 14:00:00\t21.35\t-\t7", "12-03-05 14:00:10\t21.4\t1013.25\t7.5"}));
    EXPECT_EQ(document.Quantity(0).Decimals, 2);  // not changed by 21.4
    EXPECT_EQ(document.Quantity(1).Decimals, 2);  // the first valid one is on line 2
    EXPECT_EQ(document.Quantity(2).Decimals, 0);
}

TEST(MeasToStruct, ReadsNumbersWithAPointWhateverTheLocale) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(document, {"T", "x", "y"}, {"C", "", ""},
                             {"12-03-05 14:00:00\t-21.35\t1,5\t1e3"}));
    EXPECT_EQ(document.Value(0, 0).Value, -21.35f);
    EXPECT_EQ(document.Quantity(0).Decimals, 2);
    EXPECT_EQ(document.Value(0, 1).Valid, 0);  // the instrument never writes a comma
    EXPECT_EQ(document.Value(0, 2).Value, 1000.0f);
}

TEST(MeasToStruct, MarksASavedDocumentAsChangedAndTellsObservers) {
    Document document;
    CountingObserver observer;
    document.AddObserver(&observer);
    document.SetQuantityCount(1);
    document.iSaved = Saved::kUnchanged;
    ASSERT_TRUE(document.MeasToStruct(QStringLiteral("12-03-05 14:00:00\t1\r\n")));
    EXPECT_EQ(document.iSaved, Saved::kChanged);
    EXPECT_EQ(observer.added, 1);
    EXPECT_EQ(observer.lastFirst, 0);
    document.RemoveLastPoint();
    EXPECT_EQ(observer.removed, 1);
    EXPECT_EQ(document.PointCount(), 0);
    document.RemoveObserver(&observer);
    document.SetQuantityCount(2);
    EXPECT_EQ(observer.quantities, 1);
}

TEST(PointStorage, HoldsPointsInOrderWithTheirFlags) {
    Document document;
    document.SetQuantityCount(8);
    document.ReservePoints(kMaxPoints);
    for (qint32 i = 0; i < kMaxPoints; ++i) {
        const qint32 n = document.AppendPoint(i);
        for (int q = 0; q < 8; ++q) document.SetValue(n, q, i * 0.5f + q, (i + q) % 3 != 0);
    }
    ASSERT_EQ(document.PointCount(), kMaxPoints);
    EXPECT_EQ(document.PointTime(64999), 64999.0);
    EXPECT_EQ(document.Value(64999, 7).Value, 64999 * 0.5f + 7);
    EXPECT_EQ(document.Value(64999, 7).Valid, (64999 + 7) % 3 != 0 ? 1 : 0);
    const DataPoint point = document.Point(10);
    EXPECT_EQ(point.Time, 10.0);
    ASSERT_EQ(point.Values.size(), 8);
    EXPECT_EQ(point.Values.at(3).Value, 8.0f);
    EXPECT_EQ(point.Values.at(2).Valid, 0);  // (10 + 2) % 3 == 0
}

TEST(ParseReading, AcceptsTheInstrumentsNumbersOnly) {
    float value = 0.0f;
    const auto read = [&value](const char* text) {
        return ParseReading(QString::fromLatin1(text), value);
    };
    EXPECT_TRUE(read("21.35"));
    EXPECT_EQ(value, 21.35f);
    EXPECT_TRUE(read("1."));
    EXPECT_EQ(value, 1.0f);
    EXPECT_TRUE(read(".5"));
    EXPECT_EQ(value, 0.5f);
    EXPECT_TRUE(read("+3"));
    EXPECT_EQ(value, 3.0f);
    EXPECT_TRUE(read(" -4 "));
    EXPECT_EQ(value, -4.0f);
    EXPECT_TRUE(read("1.5E2"));
    EXPECT_EQ(value, 150.0f);
    for (const char* text :
         {"", "-", "----", ".", "1e", "nan", "inf", "0x10", "1,5", "--1", "1.2.3", "12a", "1e99"})
        EXPECT_FALSE(read(text)) << text;
    EXPECT_EQ(GetDecimals(u"21.35"), 2);
    EXPECT_EQ(GetDecimals(u"7"), 0);
    EXPECT_EQ(GetDecimals(u"-0.125"), 3);
}

TEST(PointDecimalText, QuickWayAgreesWithExactFormatting) {
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (int i = 0; i < 200000; ++i) {
        const int decimals = static_cast<int>(next() % 8);
        const float value = (static_cast<float>(next() % 2000000) - 1000000.0f) /
                            static_cast<float>(1u << (next() % 16));
        char exact[420];
        const auto result = std::to_chars(exact, exact + sizeof exact, static_cast<double>(value),
                                          std::chars_format::fixed, decimals);
        QByteArray expected(exact, result.ptr - exact);
        if (expected.startsWith('-') &&
            expected.count('0') + expected.count('.') == expected.size() - 1)
            expected.remove(0, 1);  // no minus sign on a zero
        QByteArray actual;
        AppendPointDecimal(actual, value, decimals);
        ASSERT_EQ(actual, expected) << value << ' ' << decimals;
    }
    EXPECT_EQ(PointDecimalText(2.5, 0), QStringLiteral("2"));  // a tie, to even
    EXPECT_EQ(PointDecimalText(-0.04, 1), QStringLiteral("0.0"));
    EXPECT_EQ(PointDecimalText(1e20, 2), QStringLiteral("100000000000000000000.00"));
}

TEST(ParseReading, QuickWayAgreesWithTheFullConversion) {
    quint32 seed = 777;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed;
    };
    for (int i = 0; i < 300000; ++i) {
        const int decimals = static_cast<int>(next() % 9);
        const quint64 digits = (static_cast<quint64>(next()) << 16 | next() % 65536) %
                               (i % 3 == 0 ? 100000ull : 1000000000000000ull);
        QByteArray text = QByteArray::number(digits).rightJustified(decimals + 1, '0');
        if (decimals > 0) text.insert(text.size() - decimals, '.');
        if (next() % 2) text.prepend('-');
        float expected = 0.0f;
        std::from_chars(text.constData(), text.constData() + text.size(), expected);
        float actual = 1.0f;
        ASSERT_TRUE(ParseReading(QString::fromLatin1(text), actual)) << text.constData();
        ASSERT_EQ(actual, expected) << text.constData();
    }
}
