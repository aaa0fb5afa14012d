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
