// The instrument's time stamps are wall-clock readings: no time zone of the
// computer may move or refuse them.
#include <gtest/gtest.h>

#include <ctime>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "download/DirEntry.h"
#include "download/Download.h"
#include "download/TimeStamp.h"

namespace {

// The computer's time zone for one test: Sweden, whose clocks jump from 02:00
// to 03:00 on 2026-03-29.
class StockholmTime {
public:
    StockholmTime() : saved_(qgetenv("TZ")) {
        qputenv("TZ", "Europe/Stockholm");
        tzset();
    }
    ~StockholmTime() {
        if (saved_.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", saved_);
        tzset();
    }

private:
    QByteArray saved_;
};

}  // namespace

TEST(WallClock, AStampInsideTheSpringForwardHourIsKeptAsWritten) {
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Stockholm");
    tzset();
    const auto time = GetCDate("26-03-29 02:30:00");  // clocks jump from 02:00 to 03:00
    ASSERT_TRUE(time.has_value());
    EXPECT_TRUE(time->isValid());
    EXPECT_EQ(time->date(), QDate(2026, 3, 29));
    EXPECT_EQ(time->time(), QTime(2, 30, 0));
    EXPECT_EQ(FromOleDate(ToOleDate(*time)).time(), QTime(2, 30, 0));
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
}

// Regression: the dialog built the range as local time, which does not exist
// inside the skipped hour, and the tool refused "--from 2026-03-29 02:30:00"
// as a usage error; the instrument holds readings of that hour all the same.
TEST(WallClock, ARangeTimeInsideTheSpringForwardHourIsSentAsWritten) {
    StockholmTime stockholm;
    UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
    DirEntry entry;
    entry.Key = QStringLiteral("#0");
    entry.SecondCount = QStringLiteral("10");  // the file answers a range

    QString fromDate = QStringLiteral("2026-03-29"), fromTime = QStringLiteral("02:30:00");
    QString toDate = QStringLiteral("2026-03-29"), toTime = QStringLiteral("02:45:00");
    QDateTime from;
    QDateTime to;
    ASSERT_TRUE(RangeCheck(fromDate, fromTime, toDate, toTime, from, to));
    EXPECT_EQ(PlayCommand(entry, true, from, to),
              QStringLiteral("PLAY 0 2026-03-29 02:30:00 2026-03-29 02:45:00\r"));

    // The tool's form of a range time.
    const std::optional<QDateTime> typed = ReadWallClockText(QStringLiteral("2026-03-29 02:30:00"));
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(WallClockText(*typed), QStringLiteral("2026-03-29 02:30:00"));
    EXPECT_LT(*typed, to);
    EXPECT_FALSE(ReadWallClockText(QStringLiteral("2026-02-30 02:30:00")).has_value());
    EXPECT_FALSE(ReadWallClockText(QStringLiteral("2026-03-29")).has_value());
    UserLocale::Init(QLocale::c());
}
