// The axis dialog's rules: reading and stepping the boxes, the first box OK
// refuses, and applying the entries.
#include <gtest/gtest.h>

#include "ChartTestDocuments.h"
#include "base/UserLocale.h"
#include "chart/AxisForm.h"
#include "chart/ChartNavigator.h"

namespace {

class AxisFormTest : public ::testing::Test {
protected:
    void SetUp() override { UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden)); }
    void TearDown() override { UserLocale::Init(QLocale::c()); }
};

TEST_F(AxisFormTest, BoundsAcceptTheUsersSeparatorAndThePoint) {
    EXPECT_EQ(ParseBoundText(QStringLiteral("12,5")), 12.5);
    EXPECT_EQ(ParseBoundText(QStringLiteral(" 12.5 ")), 12.5);
    EXPECT_EQ(ParseBoundText(QStringLiteral("-3")), -3.0);
    EXPECT_EQ(ParseBoundText(QStringLiteral("1e3")), 1000.0);
    for (const char* refused : {"", " ", "abc", "12a", "1,2,3", "1 000", "nan", "inf", "--1"})
        EXPECT_FALSE(ParseBoundText(QString::fromLatin1(refused))) << refused;
}

TEST_F(AxisFormTest, PointsMustBeWholeNumbers) {
    EXPECT_EQ(ParsePointText(QStringLiteral("17")), 17);
    EXPECT_EQ(ParsePointText(QStringLiteral(" 0 ")), 0);
    for (const char* refused : {"", "1.5", "1,5", "x", "12b", "99999999999"})
        EXPECT_FALSE(ParsePointText(QString::fromLatin1(refused))) << refused;
}

TEST_F(AxisFormTest, UpDownStepsTenUnitsOfTheLastDecimalWithinTheLimits) {
    EXPECT_DOUBLE_EQ(StepBound(0.0, 1, false), -1.0);
    EXPECT_DOUBLE_EQ(StepBound(0.0, 1, true), 1.0);
    EXPECT_DOUBLE_EQ(StepBound(5.0, 0, true), 15.0);
    EXPECT_DOUBLE_EQ(StepBound(0.25, 2, false), 0.15);
    // Half a unit above the lower limit: the limit, not half a unit below it.
    EXPECT_DOUBLE_EQ(StepBound(-99998.5, 1, false), -99999.0);
    EXPECT_DOUBLE_EQ(StepBound(999998.0, 0, true), 999999.0);
    // Shown again with the decimals, in the user's notation.
    EXPECT_EQ(StepBoundText(QStringLiteral("0,0"), 1, false), QStringLiteral("-1,0"));
    EXPECT_EQ(StepBoundText(QStringLiteral("0.05"), 2, true), QStringLiteral("0,15"));
    EXPECT_FALSE(StepBoundText(QStringLiteral("x"), 1, true));
    EXPECT_EQ(BoundText(20.0, -1), QStringLiteral("20,00"));
}

TEST_F(AxisFormTest, PointStepsStayWithinThePoints) {
    EXPECT_EQ(StepPoint(5, 10, true), 6);
    EXPECT_EQ(StepPoint(10, 10, true), 10);
    EXPECT_EQ(StepPoint(1, 10, false), 1);
}

AxisEntries Entries() {
    AxisEntries entries;
    entries.rows = {{0, false, "30,0", "10,0"}, {1, false, "5", "1"}, {2, true, "x", "y"}};
    entries.firstPoint = "1";
    entries.lastPoint = "100";
    return entries;
}

TEST_F(AxisFormTest, TheFirstRefusedBoxInTheDialogsOrder) {
    AxisEntries entries = Entries();
    EXPECT_FALSE(FirstRefusedBox(entries, 100));  // the automatic row is not read

    entries.rows[1].upper = "5a";  // a letter in an upper box
    entries.rows[0].lower = "";
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::Lower, 0}));
    entries.rows[0].lower = "10";
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::Upper, 1}));

    entries = Entries();
    entries.rows[0].upper = "1000000";  // beyond the highest bound
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::Upper, 0}));
    entries.rows[0].upper = "999999";
    entries.rows[0].lower = "-99999,5";
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::Lower, 0}));

    entries = Entries();
    entries.firstPoint = "0";  // point 0 is refused
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::FirstPoint, 0}));
    entries.firstPoint = "1";
    entries.lastPoint = "101";
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::LastPoint, 0}));
    entries.lastPoint = "2,5";
    EXPECT_EQ(FirstRefusedBox(entries, 100), (AxisBoxRef{AxisBox::LastPoint, 0}));
}

TEST_F(AxisFormTest, ApplyingSetsScalingBoundsAndPoints) {
    auto document = MakeDocument(100, 10, ClimateQuantities());
    ChartNavigator navigator(*document);
    navigator.ShowAll();
    AxisEntries entries;
    entries.rows = {{0, false, "30,04", "10,06"}, {1, true, "1", "2"}};
    // A first point above the last is corrected by the range rules.
    entries.firstPoint = "60";
    entries.lastPoint = "40";
    ApplyAxisEntries(entries, *document, navigator);
    EXPECT_FALSE(document->GetAutoScale(0));
    EXPECT_FLOAT_EQ(document->GetScaleValue(true, 0), 30.0f);  // rounded to one decimal
    EXPECT_FLOAT_EQ(document->GetScaleValue(false, 0), 10.1f);
    EXPECT_TRUE(document->GetAutoScale(1));
    EXPECT_NE(document->GetScaleValue(true, 1), 1.0f);  // an automatic row keeps its bounds
    EXPECT_EQ(document->FirstPoint, 60);
    EXPECT_EQ(document->LastPoint, 61);
    EXPECT_TRUE(document->bZoomOut);
}

}  // namespace
