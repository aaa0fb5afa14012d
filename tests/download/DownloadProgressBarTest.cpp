// The download's progress line for a terminal: what it says, the time left at
// the line's speed, and how it fits the terminal's width.
#include <gtest/gtest.h>

#include "download/DownloadProgressBar.h"

namespace {

// The bar between its brackets.
QString BarOf(const QString& line) {
    const qsizetype open = line.indexOf(QLatin1Char('['));
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    return open >= 0 && close > open ? line.mid(open + 1, close - open - 1) : QString();
}

}  // namespace

TEST(DownloadProgressBar, HalfwayShowsNamePointsHalfABarAndTheTimeLeft) {
    const QString line = DownloadProgressBarText(80, QStringLiteral("Lab 1"), 500, 1000, 10.0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("Lab 1 "))) << qPrintable(line);
    EXPECT_TRUE(line.contains(QStringLiteral(" 500/1000 ["))) << qPrintable(line);
    EXPECT_TRUE(line.contains(QStringLiteral("]  50% "))) << qPrintable(line);
    // 500 points in 10 s: the other 500 take 10 s more.
    EXPECT_TRUE(line.endsWith(QStringLiteral(" 0:10 left"))) << qPrintable(line);
    const QString bar = BarOf(line);
    ASSERT_GE(bar.size(), 10) << qPrintable(line);
    EXPECT_EQ(bar.count(QLatin1Char('=')), bar.size() / 2) << qPrintable(line);
    EXPECT_EQ(bar.at(bar.size() / 2), QLatin1Char('>')) << qPrintable(line);
    EXPECT_LE(line.size(), 80);
}

TEST(DownloadProgressBar, TimeLeftFollowsTheSpeedSoFar) {
    // 250 points in 5 s is 50 a second: 750 more take 15 s.
    EXPECT_TRUE(DownloadProgressBarText(80, QStringLiteral("A"), 250, 1000, 5.0)
                    .endsWith(QStringLiteral(" 0:15 left")));
    // Partial seconds are rounded up: 1 point left at 3 points a second.
    EXPECT_TRUE(DownloadProgressBarText(80, QStringLiteral("A"), 3, 4, 1.0)
                    .endsWith(QStringLiteral(" 0:01 left")));
    // 100 of 70000 points in 30 s at 19200 baud: hours.
    EXPECT_TRUE(DownloadProgressBarText(100, QStringLiteral("Logg"), 100, 70000, 30.0)
                    .endsWith(QStringLiteral(" 5:49:30 left")));
    // Nothing arrived yet: no speed to go by.
    EXPECT_TRUE(DownloadProgressBarText(80, QStringLiteral("A"), 0, 1000, 4.0)
                    .endsWith(QStringLiteral("--:-- left")));
    EXPECT_TRUE(DownloadProgressBarText(80, QStringLiteral("A"), 10, 1000, 0.0)
                    .endsWith(QStringLiteral("--:-- left")));
}

TEST(DownloadProgressBar, ACompleteFileShowsAFullBarAndTheTimeItTook) {
    const QString line = DownloadProgressBarText(80, QStringLiteral("Lab 1"), 1000, 1000, 73.4);
    EXPECT_TRUE(line.contains(QStringLiteral(" 1000/1000 ["))) << qPrintable(line);
    EXPECT_TRUE(line.contains(QStringLiteral("] 100% "))) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral(" in 1:13"))) << qPrintable(line);
    const QString bar = BarOf(line);
    EXPECT_EQ(bar, QString(bar.size(), QLatin1Char('='))) << qPrintable(line);
    // One point short is not yet complete.
    const QString almost = DownloadProgressBarText(80, QStringLiteral("Lab 1"), 999, 1000, 73.4);
    EXPECT_TRUE(almost.contains(QStringLiteral("]  99% "))) << qPrintable(almost);
    EXPECT_TRUE(BarOf(almost).contains(QLatin1Char('>'))) << qPrintable(almost);
}

TEST(DownloadProgressBar, MorePointsThanExpectedRaiseTheTotal) {
    const QString line = DownloadProgressBarText(80, QStringLiteral("Lager"), 730, 720, 8.0);
    EXPECT_TRUE(line.contains(QStringLiteral(" 730/730 ["))) << qPrintable(line);
    EXPECT_TRUE(line.contains(QStringLiteral("] 100% "))) << qPrintable(line);
}

TEST(DownloadProgressBar, AnUnknownTotalShowsThePointsAlone) {
    EXPECT_EQ(DownloadProgressBarText(80, QStringLiteral("Tom"), 0, 0, 1.0),
              QStringLiteral("Tom  0 points"));
    EXPECT_EQ(DownloadProgressBarText(80, QStringLiteral("Lab 1"), 523, 0, 1.0),
              QStringLiteral("Lab 1  523 points"));
}

TEST(DownloadProgressBar, CountsKeepTheirPlaceWhileTheyGrow) {
    // The done count is as wide as the total, so the bar does not move.
    const QString early = DownloadProgressBarText(80, QStringLiteral("Lab 1"), 7, 1000, 1.0);
    const QString late = DownloadProgressBarText(80, QStringLiteral("Lab 1"), 700, 1000, 100.0);
    EXPECT_TRUE(early.contains(QStringLiteral("   7/1000 ["))) << qPrintable(early);
    EXPECT_EQ(early.indexOf(QLatin1Char('[')), late.indexOf(QLatin1Char('[')));
    EXPECT_EQ(early.size(), late.size());
}

TEST(DownloadProgressBar, NeverWiderThanTheTerminal) {
    const QString longName = QStringLiteral("Kylrum Öst [I] med en mycket lång beskrivning");
    for (int width = 1; width <= 200; ++width) {
        for (const QString& name : {QStringLiteral("Lab 1"), longName}) {
            for (const qint32 total : {0, 12, 1000, 65000}) {
                const QString line = DownloadProgressBarText(width, name, total / 3, total, 5.0);
                EXPECT_LE(line.size(), width) << width << ' ' << qPrintable(line);
                EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')));
            }
        }
    }
}

TEST(DownloadProgressBar, ALongNameIsCutAndANarrowTerminalDropsTheBarFirst) {
    const QString longName = QStringLiteral("Kylrum Öst [I] med en mycket lång beskrivning");
    const QString wide = DownloadProgressBarText(80, longName, 1250, 2500, 20.0);
    EXPECT_TRUE(wide.startsWith(QStringLiteral("Kylrum Öst"))) << qPrintable(wide);
    EXPECT_TRUE(wide.contains(QChar(0x2026))) << qPrintable(wide);
    EXPECT_FALSE(BarOf(wide).isEmpty()) << qPrintable(wide);

    // 40 columns: no room for a bar, but the numbers stay whole.
    const QString narrow = DownloadProgressBarText(40, QStringLiteral("Lab 1"), 500, 1000, 10.0);
    EXPECT_FALSE(narrow.contains(QLatin1Char('['))) << qPrintable(narrow);
    EXPECT_TRUE(narrow.contains(QStringLiteral(" 500/1000"))) << qPrintable(narrow);
    EXPECT_TRUE(narrow.endsWith(QStringLiteral("0:10 left"))) << qPrintable(narrow);
    EXPECT_TRUE(narrow.startsWith(QStringLiteral("Lab 1"))) << qPrintable(narrow);

    // A wide terminal gets a longer bar, up to a limit.
    EXPECT_GT(BarOf(DownloadProgressBarText(120, QStringLiteral("A"), 1, 2, 1.0)).size(),
              BarOf(DownloadProgressBarText(80, QStringLiteral("A"), 1, 2, 1.0)).size());
    EXPECT_LE(BarOf(DownloadProgressBarText(400, QStringLiteral("A"), 1, 2, 1.0)).size(), 50);
}

TEST(DownloadProgressBar, ClockReadings) {
    EXPECT_EQ(DownloadClockText(0), QStringLiteral("0:00"));
    EXPECT_EQ(DownloadClockText(7), QStringLiteral("0:07"));
    EXPECT_EQ(DownloadClockText(754), QStringLiteral("12:34"));
    EXPECT_EQ(DownloadClockText(3723), QStringLiteral("1:02:03"));
    EXPECT_EQ(DownloadClockText(-5), QStringLiteral("0:00"));
    EXPECT_EQ(DownloadClockText(1000000), QStringLiteral("99:59:59"));
}
