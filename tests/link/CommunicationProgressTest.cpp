// The progress window's arithmetic.
#include <gtest/gtest.h>

#include "link/CommunicationProgress.h"

TEST(CommunicationProgress, RowValueNeverMovesBackAndScalesPerFile) {
    CommunicationProgress p;
    p.Load();
    p.SetFileCount(2);
    EXPECT_EQ(p.Maximum(), 200);
    p.SetFileNow(2);
    p.SetFileRows(100);  // 206 rows counted twice plus the header lines
    p.SetRowValue(103);
    EXPECT_DOUBLE_EQ(p.Value(), 100 + 103.0 / 206 * 100);
    p.SetRowValue(50);
    EXPECT_DOUBLE_EQ(p.Value(), 100 + 103.0 / 206 * 100) << "a lower row leaves the bar";
    p.SetRowValue(207);
    EXPECT_DOUBLE_EQ(p.Value(), 100 + 103.0 / 206 * 100) << "past the row total: ignored";
}

TEST(CommunicationProgress, RowsAbove65000CountAs65000) {
    CommunicationProgress p;
    p.Load();
    p.SetFileRows(70000);
    EXPECT_EQ(p.RowTotal(), 65000 * 2 + 6);
    p.SetFileRows(0);
    EXPECT_EQ(p.RowTotal(), 65000 * 2 + 6) << "no rows: unchanged";
}

TEST(CommunicationProgress, ValueRaisesTheMaximumAndFileNumbersAreChecked) {
    CommunicationProgress p;
    p.Load();
    p.SetMaximum(16);
    p.SetValue(19);
    EXPECT_EQ(p.Maximum(), 19);
    EXPECT_EQ(p.Value(), 19);
    p.SetFileCount(3);
    p.SetFileNow(4);
    EXPECT_EQ(p.CurrentFile(), 0);
    p.SetRowValue(10);
    EXPECT_EQ(p.Value(), 19) << "no current file: no row progress";
}

// Regression: two files each took half the bar, so a six-point range
// download followed by a 720-point file stood at 50 % after six points.
TEST(CommunicationProgress, APlanGivesEachFileTheShareOfItsPoints) {
    CommunicationProgress p;
    p.Load();
    p.SetFilePlan({6, 720});
    EXPECT_EQ(p.FileCount(), 2);
    EXPECT_EQ(p.Maximum(), (6 * 2 + 6) + (720 * 2 + 6));
    p.SetFileNow(1);
    p.SetFileRows(6);
    p.SetRowValue(18);  // every line of the first file received and parsed
    EXPECT_EQ(p.Value(), 18);
    p.SetFileNow(2);
    EXPECT_EQ(p.FilePoints(), 720);
    p.SetFileRows(700);  // the header knows better than the estimate
    EXPECT_EQ(p.Maximum(), 18 + 700 * 2 + 6);
    p.SetRowValue(706);
    EXPECT_EQ(p.Value(), 18 + 706);
    p.SetRowValue(1406);
    EXPECT_EQ(p.Value(), p.Maximum()) << "full exactly when the last line is parsed";
}

TEST(CommunicationProgress, DetailTellsTheFileAndThePointsSoFar) {
    CommunicationProgress p;
    p.Load();
    EXPECT_EQ(p.DetailText(), QString());
    p.SetFilePlan({100, 500, 10});
    p.SetFileNow(2);
    p.SetPointsReceived(123);
    EXPECT_EQ(p.DetailText(), QStringLiteral("Fil 2 av 3 \u2013 123 av 500 datapunkter"));
    p.SetFileNow(3);
    EXPECT_EQ(p.PointsReceived(), 0) << "a new file starts from nothing";
}

TEST(CommunicationProgress, AWaitOfASecondOrMoreIsShownWithItsSeconds) {
    CommunicationProgress p;
    p.Load();
    int changes = 0;
    p.onChange = [&changes] { ++changes; };
    p.BeginWait();
    p.SetWaitElapsed(0.4);
    EXPECT_FALSE(p.ShowsWaiting()) << "a short wait would only flicker";
    changes = 0;
    p.SetWaitElapsed(12.3);
    p.SetWaitElapsed(12.9);
    EXPECT_EQ(changes, 1) << "told once per whole second";
    EXPECT_TRUE(p.ShowsWaiting());
    EXPECT_EQ(p.DetailText(), QStringLiteral("Väntar på instrumentet... 12 s"));
    p.BeginWait();
    EXPECT_EQ(p.WaitSeconds(), 12) << "a wait already running keeps its start";
    p.EndWait();
    EXPECT_FALSE(p.ShowsWaiting());
    EXPECT_EQ(p.DetailText(), QString());
}
