#include <gtest/gtest.h>

#include "base/UserLocale.h"

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

TEST_F(UserLocaleTest, LocaleNamesSayWhetherTheUserWritesUtf8) {
    for (const char* name : {"sv_SE.UTF-8", "C.UTF-8", "C.utf8", "de_DE.utf8@euro", "en_US.UTF_8"})
        EXPECT_EQ(UserLocale::EncodingOfLocaleName(QString::fromLatin1(name)),
                  UserTextEncoding::Utf8)
            << name;
    for (const char* name :
         {"sv_SE.ISO-8859-1", "sv_SE@euro", "sv_SE", "C", "POSIX", "ru_RU.KOI8-R"})
        EXPECT_EQ(UserLocale::EncodingOfLocaleName(QString::fromLatin1(name)),
                  UserTextEncoding::Windows1252)
            << name;
}

// The encoding is decided once, from the environment's locale names (the first
// set of LC_ALL, LC_CTYPE, LANG), and the exports' text follows it.
TEST_F(UserLocaleTest, TextEncodingFollowsTheEnvironment) {
    const QByteArray savedAll = qgetenv("LC_ALL");
    const auto encodingUnder = [](const char* lcAll) {
        qputenv("LC_ALL", lcAll);
        UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
        return UserLocale::EncodeText(QStringLiteral("\u00d6 \u00b0C \u20ac"));
    };
    EXPECT_EQ(encodingUnder("sv_SE.UTF-8"), QByteArray("\xC3\x96 \xC2\xB0"
                                                       "C \xE2\x82\xAC"));
    EXPECT_EQ(UserLocale::TextEncoding(), UserTextEncoding::Utf8);
    EXPECT_EQ(encodingUnder("sv_SE.ISO-8859-1"), QByteArray("\xD6 \xB0"
                                                            "C \x80"));
    EXPECT_EQ(UserLocale::TextEncoding(), UserTextEncoding::Windows1252);
    if (savedAll.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", savedAll);
}
