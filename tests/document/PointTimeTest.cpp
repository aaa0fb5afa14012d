// Point times: the fast reading of time stamps agrees with GetCDate, and the
// .t58 time field is written back exactly.
#include <gtest/gtest.h>

#include "base/TextHelpers.h"
#include "document/PointTime.h"
#include "download/TimeStamp.h"

TEST(StampOleDate, AgreesWithGetCDateOverYearsMonthsAndTimes) {
    int compared = 0;
    for (int yy = 0; yy < 100; yy += 7) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 15, 28, 29, 30, 31}) {
                const QString stamp = QStringLiteral("%1-%2-%3 %4:%5:%6")
                                          .arg(yy, 2, 10, QLatin1Char('0'))
                                          .arg(month, 2, 10, QLatin1Char('0'))
                                          .arg(day, 2, 10, QLatin1Char('0'))
                                          .arg((day * 7) % 24, 2, 10, QLatin1Char('0'))
                                          .arg((month * 13) % 60, 2, 10, QLatin1Char('0'))
                                          .arg((yy * 11) % 60, 2, 10, QLatin1Char('0'));
                const std::optional<QDateTime> expected = GetCDate(stamp);
                const std::optional<double> actual = StampOleDate(stamp);
                ASSERT_EQ(expected.has_value(), actual.has_value()) << qPrintable(stamp);
                if (expected) {
                    EXPECT_EQ(*actual, ToOleDate(*expected)) << qPrintable(stamp);
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 900);
}

TEST(StampOleDate, RefusesImpossibleDates) {
    EXPECT_FALSE(StampOleDate(u"07-13-01 12:00:00"));
    EXPECT_FALSE(StampOleDate(u"07-02-29 12:00:00"));  // 2007 is no leap year
    EXPECT_TRUE(StampOleDate(u"08-02-29 12:00:00"));
    EXPECT_FALSE(StampOleDate(u"07-1x-01 12:00:00"));
    EXPECT_FALSE(StampOleDate(u"07-01-01"));
}

TEST(IsTimeStampText, RecognisesTheWrittenFormsOnly) {
    EXPECT_TRUE(IsTimeStampText(u"12-03-05 14:00:00"));
    EXPECT_TRUE(IsTimeStampText(u"12-03-0514:00:00"));
    EXPECT_TRUE(IsTimeStampText(u"12/03/05 14.00.00"));
    EXPECT_FALSE(IsTimeStampText(u"12-03-05 14:00:00 "));
    EXPECT_FALSE(IsTimeStampText(u"12-03-05 14:00:0"));
    EXPECT_FALSE(IsTimeStampText(u"12-03-05914:00:00"));
    EXPECT_FALSE(IsTimeStampText(u"12-03-05\t14:00:00"));
    EXPECT_FALSE(IsTimeStampText(u"1234567890123456"));
    EXPECT_FALSE(IsTimeStampText(u"21.4"));
}

// The run reader keeps the last date: a stamp of another day, a stamp that is
// no date and a 16-character stamp after it must not be read with that date.
TEST(StampReader, AgreesWithTheSingleReaderAcrossDayChangesAndBadStamps) {
    const char16_t* stamps[] = {u"12-03-05 14:00:00", u"12-03-05 23:59:59", u"12-03-06 00:00:00",
                                u"12-03-0600:00:01",  u"12-02-30 10:00:00", u"12-02-29 10:00:00",
                                u"12-02-29 1x:00:00", u"39-01-01 00:00:00", u"12-02-29 24:60:60"};
    StampReader reader;
    for (const char16_t* stamp : stamps) {
        const QStringView text(stamp);
        const std::optional<double> single =
            IsTimeStampText(text) ? StampOleDate(text) : std::optional<double>();
        EXPECT_EQ(reader.Read(text), single) << QString::fromUtf16(stamp).toStdString();
    }
}

TEST(PointTimeTexts, WriteTwoAndFourDigitYears) {
    const double ole = ToOleDate(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)));
    QByteArray field;
    AppendT58Time(field, ole);
    EXPECT_EQ(field, QByteArray("99-12-31 23:59:58"));
    EXPECT_EQ(FullTimeText(ole), QStringLiteral("1999-12-31 23:59:58"));
    field.clear();
    AppendT58Time(field, ToOleDate(QDateTime(QDate(2038, 1, 1), QTime(0, 0, 0))));
    EXPECT_EQ(field, QByteArray("38-01-01 00:00:00"));
    const DateTimeParts parts = SplitOleDate(ole);
    EXPECT_EQ(parts.year, 1999);
    EXPECT_EQ(parts.second, 58);
}

TEST(PointTimeTexts, TheRunWriterAgreesWithTheSingleWriter) {
    const double start = ToOleDate(QDateTime(QDate(2026, 12, 31), QTime(23, 0, 0)));
    T58TimeWriter writer;
    for (int i = 0; i < 2 * 3600; i += 7) {
        const double ole = start + i / 86400.0;
        QByteArray single;
        QByteArray run;
        AppendT58Time(single, ole);
        writer.Append(run, ole);
        ASSERT_EQ(run, single) << i;
    }
    // Midnight exactly, the last second of a day, and a day before the epoch.
    for (const double ole : {46022.0, 46022.0 - 1.0 / 86400.0, -1.25}) {
        QByteArray single;
        QByteArray run;
        AppendT58Time(single, ole);
        writer.Append(run, ole);
        EXPECT_EQ(run, single) << ole;
    }
}
