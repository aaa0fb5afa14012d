#include <gtest/gtest.h>

#include "instrument/UserLocale.h"

namespace {

class UserLocaleTest : public ::testing::Test {
protected:
    void TearDown() override {
        UserLocale::SetListSeparatorOverride(QString());
        UserLocale::Init(QLocale::c());
    }
};

TEST_F(UserLocaleTest, PointLocaleReadsInstrumentNumbers) {
    UserLocale::Init(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(UserLocale::DecimalSeparator(), QStringLiteral("."));
    EXPECT_FALSE(UserLocale::PointNotDecimal());
    EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral(","));
}

TEST_F(UserLocaleTest, CommaLocaleCannotReadPointNumbers) {
    for (const QLocale& locale :
         {QLocale(QLocale::Swedish, QLocale::Sweden), QLocale(QLocale::German, QLocale::Germany),
          QLocale(QLocale::French, QLocale::France)}) {
        UserLocale::Init(locale);
        EXPECT_EQ(UserLocale::DecimalSeparator(), QStringLiteral(","))
            << locale.name().toStdString();
        // German reads "." as a group mark: "100.01" is either not a number
        // or 10001, never 100.01.
        EXPECT_TRUE(UserLocale::PointNotDecimal()) << locale.name().toStdString();
        EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral(";"));
    }
}

TEST_F(UserLocaleTest, StoredListSeparatorWins) {
    UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
    UserLocale::SetListSeparatorOverride(QStringLiteral("\t"));
    EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral("\t"));
    // It outlives a new reading of the locale.
    UserLocale::Init(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral("\t"));
    UserLocale::SetListSeparatorOverride(QString());
    EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral(","));
}

TEST_F(UserLocaleTest, FormatsComeFromTheLocaleWithoutTimeZone) {
    const QLocale swedish(QLocale::Swedish, QLocale::Sweden);
    UserLocale::Init(swedish);
    EXPECT_EQ(UserLocale::ShortDateFormat(), swedish.dateFormat(QLocale::ShortFormat));
    EXPECT_EQ(UserLocale::LongTimeFormat(), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(UserLocale::Locale(), swedish);

    UserLocale::Init(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString longTime = UserLocale::LongTimeFormat();
    EXPECT_FALSE(longTime.contains(u't')) << longTime.toStdString();
    EXPECT_TRUE(longTime.contains(QStringLiteral("ss")));
    EXPECT_FALSE(longTime.endsWith(u' '));
}

TEST_F(UserLocaleTest, CLocaleUsesPoint) {
    UserLocale::Init(QLocale::c());
    EXPECT_EQ(UserLocale::DecimalSeparator(), QStringLiteral("."));
    EXPECT_FALSE(UserLocale::PointNotDecimal());
    EXPECT_EQ(UserLocale::ListSeparator(), QStringLiteral(","));
}

}  // namespace
