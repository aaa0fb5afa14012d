// The instrument's time stamps are wall-clock readings: no time zone of the
// computer may move or refuse them.
#include <gtest/gtest.h>

#include <ctime>

#include "download/TimeStamp.h"
#include "instrument/TextHelpers.h"

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
