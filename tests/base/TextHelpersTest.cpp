#include <gtest/gtest.h>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"

namespace {

// The reply fields of the instrument: TAB-separated, CR LF at the line end.
TEST(TakeField, ThreeFieldsOfOneLineThenEmpty) {
    QString text = QStringLiteral("A\tB\tC\r\n");
    EXPECT_EQ(TakeField(text), QStringLiteral("A"));
    EXPECT_EQ(text, QStringLiteral("B\tC\r\n"));
    EXPECT_EQ(TakeField(text), QStringLiteral("B"));
    EXPECT_EQ(TakeField(text), QStringLiteral("C"));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(TakeField(text), QString());
    EXPECT_TRUE(text.isEmpty());
}

TEST(TakeField, NoTabNoLineEndGivesEmptyFieldAndText) {
    QString text = QStringLiteral("dangling");
    EXPECT_EQ(TakeField(text), QString());
    EXPECT_TRUE(text.isEmpty());
}

TEST(TakeField, OneLeadingTabIsSkipped) {
    QString text = QStringLiteral("\tx\ty\r\n");
    EXPECT_EQ(TakeField(text), QStringLiteral("x"));
    EXPECT_EQ(TakeField(text), QStringLiteral("y"));

    // Only one TAB is skipped: the second one ends an empty field.
    text = QStringLiteral("\t\tz\r\n");
    EXPECT_EQ(TakeField(text), QString());
    EXPECT_EQ(text, QStringLiteral("z\r\n"));
}

TEST(TakeField, LastFieldDropsWhatFollowsTheLineEnd) {
    QString text = QStringLiteral("last\r\nnext line\r\n");
    EXPECT_EQ(TakeField(text), QStringLiteral("last"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(TakeField, EmptyFieldAfterAFieldIsSwallowedByTheTabSkip) {
    // After "a" the text begins with the second TAB, which is skipped as a
    // leading TAB: the empty field between the two TABs is not returned.
    QString text = QStringLiteral("a\t\tc\r\n");
    EXPECT_EQ(TakeField(text), QStringLiteral("a"));
    EXPECT_EQ(text, QStringLiteral("\tc\r\n"));
    EXPECT_EQ(TakeField(text), QStringLiteral("c"));
    EXPECT_TRUE(text.isEmpty());
}

TEST(TakeLine, ReturnsLineWithLineEndAndCountsTabs) {
    QString text = QStringLiteral("x\ty\r\nrest");
    int tabs = -7;
    EXPECT_EQ(TakeLine(text, tabs), QStringLiteral("x\ty\r\n"));
    EXPECT_EQ(tabs, 1);
    EXPECT_EQ(text, QStringLiteral("rest"));
}

TEST(TakeLine, WithoutLineEndEmptiesTextAndKeepsCount) {
    QString text = QStringLiteral("a\tb\tc");
    int tabs = 42;
    EXPECT_EQ(TakeLine(text, tabs), QString());
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(tabs, 42);
}

TEST(TakeLine, TabsOfLaterLinesAreNotCounted) {
    QString text = QStringLiteral("1\t2\t3\r\n4\t5\t6\t7\r\n");
    int tabs = 0;
    EXPECT_EQ(TakeLine(text, tabs), QStringLiteral("1\t2\t3\r\n"));
    EXPECT_EQ(tabs, 2);
    EXPECT_EQ(TakeLine(text, tabs), QStringLiteral("4\t5\t6\t7\r\n"));
    EXPECT_EQ(tabs, 3);
    EXPECT_TRUE(text.isEmpty());
}

TEST(TakeLine, LoneCarriageReturnIsNotALineEnd) {
    QString text = QStringLiteral("a\rb\r\nc");
    int tabs = 5;
    EXPECT_EQ(TakeLine(text, tabs), QStringLiteral("a\rb\r\n"));
    EXPECT_EQ(tabs, 0);
    EXPECT_EQ(text, QStringLiteral("c"));
}

TEST(HexToInt, ReadsHexadecimalDigitsAsSixteenBits) {
    EXPECT_EQ(HexToInt(QStringLiteral("0A")), 10);
    EXPECT_EQ(HexToInt(QStringLiteral("ff")), 255);
    EXPECT_EQ(HexToInt(QStringLiteral("7FFF")), 32767);
    EXPECT_EQ(HexToInt(QStringLiteral("8000")), -32768);
    EXPECT_EQ(HexToInt(QStringLiteral("FFFF")), -1);
    EXPECT_EQ(HexToInt(QStringLiteral(" 1b ")), 27);
    EXPECT_EQ(HexToInt(QString()), 0);
    EXPECT_EQ(HexToInt(QStringLiteral("12G4")), 0x12);
}

TEST(LeadingDecimal, ReadsTheDigitsBeforeAnythingElseAsBasicsValDoes) {
    EXPECT_EQ(LeadingDecimal(u"02"), 2);  // the interval unit code of a header
    EXPECT_EQ(LeadingDecimal(u" 40 "), 40);
    EXPECT_EQ(LeadingDecimal(u"4x"), 4);
    EXPECT_EQ(LeadingDecimal(u"x4"), 0);
    EXPECT_EQ(LeadingDecimal(u"-2"), 0);
    EXPECT_EQ(LeadingDecimal(u""), 0);
}

// A UNIT reply's unit choice or a file's interval field of many digits: no
// overflow, the largest int.
TEST(LeadingDecimal, DigitsPastTheIntRangeGiveTheLargestInt) {
    EXPECT_EQ(LeadingDecimal(u"2147483647"), 2147483647);
    EXPECT_EQ(LeadingDecimal(u"2147483648"), 2147483647);
    EXPECT_EQ(LeadingDecimal(u"2222222221\t"), 2147483647);
    EXPECT_EQ(LeadingDecimal(u"99999999999999999999x"), 2147483647);
}

// One test instance per locale kind; each sets the state it needs.
class NumberFormat : public ::testing::Test {
protected:
    void TearDown() override { UserLocale::Init(QLocale::c()); }
};

TEST_F(NumberFormat, PointLocalePatternsAndValues) {
    UserLocale::Init(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(DecimalsPattern(0), QStringLiteral("0"));
    EXPECT_EQ(DecimalsPattern(1), QStringLiteral("0.0"));
    EXPECT_EQ(DecimalsPattern(3), QStringLiteral("0.000"));
    EXPECT_EQ(FormatDecimals(3.14159, 2), QStringLiteral("3.14"));
    EXPECT_EQ(FormatDecimals(2.5, 0), QStringLiteral("3"));
    EXPECT_EQ(FormatDecimals(12345.678, 1), QStringLiteral("12345.7"));  // no grouping
    EXPECT_EQ(FormatDecimals(-1.005, 1), QStringLiteral("-1.0"));
}

TEST_F(NumberFormat, CommaLocalePrintsDecimalComma) {
    UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(DecimalsPattern(2), QStringLiteral("0,00"));
    EXPECT_EQ(FormatDecimals(3.14159, 2), QStringLiteral("3,14"));
    EXPECT_EQ(FormatDecimals(1234567.0, 2), QStringLiteral("1234567,00"));
    EXPECT_EQ(FormatDecimals(-20.25, 1), QStringLiteral("-20,3"));  // half away from zero
    EXPECT_EQ(FormatDecimals(7.0, 0), QStringLiteral("7"));
}

TEST_F(NumberFormat, ValueRoundingToZeroHasNoSign) {
    UserLocale::Init(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(FormatDecimals(-0.001, 2), QStringLiteral("0,00"));
    EXPECT_EQ(FormatDecimals(-0.4, 0), QStringLiteral("0"));
    EXPECT_EQ(FormatDecimals(-0.006, 2), QStringLiteral("-0,01"));
}

TEST_F(NumberFormat, DateTimeUsesShortDateBlankLongTime) {
    UserLocale::Init(QLocale(QLocale::Swedish, QLocale::Sweden));
    const QDateTime when(QDate(2024, 3, 7), QTime(9, 5, 4));
    const QString expected = UserLocale::Locale().toString(when.date(), QLocale::ShortFormat) +
                             QStringLiteral(" ") + QStringLiteral("09:05:04");
    EXPECT_EQ(FormatDateTimeLocal(when), expected);
    EXPECT_TRUE(FormatDateTimeLocal(when).startsWith(QStringLiteral("2024-03-07 ")));
}

// Bytes of the instrument: Windows-1252 with its five holes kept as symbols.
TEST(DecodeInstrumentBytes, AsciiAndLatin1PassThrough) {
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("DIR\r\n\x1A")), QStringLiteral("DIR\r\n\x1A"));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\xE5\xE4\xF6\xB0")), QStringLiteral("åäö°"));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\xFF", 1)), QString(QChar(0xFF)));
}

// A reply is decoded eight bytes at a time: a byte must decode as it does
// alone wherever it stands in a long text, among ASCII or not.
TEST(DecodeInstrumentBytes, EveryByteDecodesAsAloneAtEveryPlaceOfALongText) {
    for (int offset = 0; offset < 9; ++offset) {
        QByteArray bytes(offset, 'x');
        QString expected(offset, u'x');
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, static_cast<char>(b));
            bytes += one + QByteArray(b % 11, 'a');
            expected += DecodeInstrumentBytes(one) + QString(b % 11, u'a');
        }
        EXPECT_EQ(DecodeInstrumentBytes(bytes), expected) << offset;
    }
}

TEST(DecodeInstrumentBytes, HighControlsFollowWindows1252) {
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x80", 1)), QString(QChar(0x20AC)));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x82", 1)), QString(QChar(0x201A)));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x8A", 1)), QString(QChar(0x0160)));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x96", 1)), QString(QChar(0x2013)));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x99", 1)), QString(QChar(0x2122)));
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("\x9F", 1)), QString(QChar(0x0178)));
}

TEST(DecodeInstrumentBytes, FiveUndefinedCodesKeepTheirValue) {
    for (const int code : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        const QByteArray bytes(1, static_cast<char>(code));
        EXPECT_EQ(DecodeInstrumentBytes(bytes), QString(QChar(code))) << code;
    }
}

TEST(DecodeInstrumentBytes, NoBreakSpaceBecomesBlankAndNulSurvives) {
    EXPECT_EQ(DecodeInstrumentBytes(QByteArray("1\xA0"
                                               "2",
                                               3)),
              QStringLiteral("1 2"));
    const QString withNul = DecodeInstrumentBytes(QByteArray("a\0b", 3));
    ASSERT_EQ(withNul.size(), 3);
    EXPECT_EQ(withNul[1], QChar(0));
}

TEST(EncodeInstrumentText, RoundTripsEveryByteButNoBreakSpace) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    const QByteArray back = EncodeInstrumentText(DecodeInstrumentBytes(all));
    ASSERT_EQ(back.size(), 256);
    for (int b = 0; b < 256; ++b) {
        const unsigned char expected = b == 0xA0 ? ' ' : static_cast<unsigned char>(b);
        EXPECT_EQ(static_cast<unsigned char>(back[b]), expected) << b;
    }
}

TEST(EncodeInstrumentText, UnrepresentableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(EncodeInstrumentText(QStringLiteral("TIME 24 3 7")), QByteArray("TIME 24 3 7"));
    EXPECT_EQ(EncodeInstrumentText(QStringLiteral("€ Ω")), QByteArray("\x80 ?"));
    EXPECT_EQ(EncodeInstrumentText(QString(QChar(0x80))), QByteArray("?"));
    // A character outside the basic plane is one question mark.
    EXPECT_EQ(EncodeInstrumentText(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                                     "b")),
              QByteArray("a?b"));
}

TEST(CleanInstrumentText, SymbolCodesBecomeReadableText) {
    const QString raw = QString(QChar(0x81)) + QStringLiteral("m/s") + QChar(0x8D) + QChar(0x8F) +
                        QChar(0x90) + QChar(0x9D);
    EXPECT_EQ(CleanInstrumentText(raw), QStringLiteral("[D]m/s23[I][II]"));
}

TEST(CleanInstrumentText, ControlsBelowTabAndCtrlZRemoved) {
    QString raw = QStringLiteral("a");
    for (int c = 0; c < 9; ++c) raw.append(QChar(c));
    raw.append(QStringLiteral("\t\n\x0B\x0C\rb\x1A\x1B"));
    EXPECT_EQ(CleanInstrumentText(raw), QStringLiteral("a\t\n\x0B\x0C\rb\x1B"));
    EXPECT_EQ(CleanInstrumentText(QStringLiteral("Temp °C å€")), QStringLiteral("Temp °C å€"));
}

TEST(SafeFileNameText, ReplacesPathCharactersAfterCleaning) {
    EXPECT_EQ(SafeFileNameText(QStringLiteral("a:b;c/d\\e")), QStringLiteral("a_b_c_d_e"));
    // Symbol codes are cleaned first, so they become text, not "_".
    const QString raw =
        QStringLiteral("x") + QChar(0x8D) + QChar(0x01) + QChar(0x1A) + QStringLiteral("/y");
    EXPECT_EQ(SafeFileNameText(raw), QStringLiteral("x2_y"));
    EXPECT_EQ(SafeFileNameText(QStringLiteral("Rum 12 .t58")), QStringLiteral("Rum 12 .t58"));
}

TEST(ExpandTwoDigitYear, PivotBetween38And39) {
    EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(24), 2024);
    EXPECT_EQ(ExpandTwoDigitYear(38), 2038);
    EXPECT_EQ(ExpandTwoDigitYear(39), 1939);
    EXPECT_EQ(ExpandTwoDigitYear(99), 1999);
}

TEST(OleDate, KnownDates) {
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1900, 1, 1), QTime(12, 0))), 2.5);
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(2000, 1, 1), QTime(6, 0))), 36526.25);
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    EXPECT_EQ(FromOleDate(36526.25), QDateTime(QDate(2000, 1, 1), QTime(6, 0)));
    EXPECT_EQ(FromOleDate(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_DOUBLE_EQ(ToOleDate(QDateTime()), 0.0);
}

TEST(OleDate, RoundTripToTheSecondAndMidnightCarry) {
    const QDateTime when(QDate(2023, 11, 5), QTime(23, 59, 59));
    EXPECT_EQ(FromOleDate(ToOleDate(when)), when);
    const QDateTime early(QDate(1985, 6, 1), QTime(0, 0, 1));
    EXPECT_EQ(FromOleDate(ToOleDate(early)), early);
    // A value a hair below the next day rounds to its midnight.
    EXPECT_EQ(FromOleDate(45000.0 - 1e-10), QDateTime(QDate(2023, 3, 15), QTime(0, 0)));
    EXPECT_EQ(FromOleDate(45000.0), QDateTime(QDate(2023, 3, 15), QTime(0, 0)));
}

}  // namespace

namespace {

TEST(DecodeWindows1252, KeepsNoBreakSpaceUnlikeInstrumentBytes) {
    const QByteArray bytes("G\xF6ran\xA0\x80\x81", 8);
    const QString text = DecodeWindows1252(bytes);
    EXPECT_EQ(text, QStringLiteral("Göran") + QChar(0xA0) + QChar(0x20AC) + QChar(0x81));
    EXPECT_EQ(DecodeInstrumentBytes(bytes), QStringLiteral("Göran €") + QChar(0x81));
    EXPECT_EQ(EncodeInstrumentText(text), bytes);
}

}  // namespace
