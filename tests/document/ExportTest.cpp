// Text and CSV exports under a Swedish and an English (US) locale.
#include <gtest/gtest.h>

#include <QBuffer>

#include "DocumentTestSupport.h"
#include "document/Export.h"
#include "document/T58File.h"

namespace {

// RH and T with one missing reading, as in the .t58 example.
void StoreRoom(Document& document) {
    ASSERT_TRUE(FillDocument(document, {"RH", "T"}, {"%RH", QStringLiteral("\u00b0C")},
                             {"12-03-05 14:00:00\t45.2\t21.37", "12-03-05 14:00:10\t-\t21.40"}));
}

QByteArray Export(Document& document, bool csv) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(csv ? csvFormat(document, buffer) : txtFormat(document, buffer));
    return buffer.data();
}

}  // namespace

TEST(TextExport, SwedishLocale) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, false), QByteArray("\tRH, %RH\tT, \xC2\xB0"
                                                  "C\r\n"
                                                  "2012-03-05 14:00:00\t45,2\t21,37\r\n"
                                                  "2012-03-05 14:00:10\t-\t21,40\r\n"));
}

TEST(TextExport, EnglishLocale) {
    LocaleScope english(EnglishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, false), QByteArray("\tRH, %RH\tT, \xC2\xB0"
                                                  "C\r\n"
                                                  "3/5/12 2:00:00 PM\t45.2\t21.37\r\n"
                                                  "3/5/12 2:00:10 PM\t-\t21.40\r\n"));
}

TEST(CsvExport, SwedishLocaleUsesSemicolonsAndCommas) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, true), QByteArray("\xEF\xBB\xBF;\"RH, %RH\";\"T, \xC2\xB0"
                                                 "C\"\r\n"
                                                 "2012-03-05 14:00:00;45,2;21,37\r\n"
                                                 "2012-03-05 14:00:10;;21,40\r\n"));
}

TEST(CsvExport, EnglishLocaleUsesCommasAndPoints) {
    LocaleScope english(EnglishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, true), QByteArray("\xEF\xBB\xBF,\"RH, %RH\",\"T, \xC2\xB0"
                                                 "C\"\r\n"
                                                 "3/5/12 2:00:00 PM,45.2,21.37\r\n"
                                                 "3/5/12 2:00:10 PM,,21.40\r\n"));
}

TEST(CsvExport, FollowsAStoredListSeparator) {
    LocaleScope swedish(SwedishLocale(), QStringLiteral("|"));
    Document document;
    StoreRoom(document);
    const QByteArray bytes = Export(document, true);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF|\"RH, %RH\"|\"T"));
    EXPECT_TRUE(bytes.contains("14:00:10||21,40\r\n"));
}

TEST(Exports, LeaveOutTheTimeAtMidnightAndKeepTheColumnOfANamelessQuantity) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(document, {QString(), QStringLiteral("T\u0090")}, {QString(), "C"},
                             {"12-03-05 00:00:00\t1\t2", "12-03-05 00:00:01\t3\t-"}));
    EXPECT_EQ(Export(document, false),
              QByteArray("\t\tT[I], C\r\n2012-03-05\t1\t2\r\n2012-03-05 00:00:01\t3\t-\r\n"));
    EXPECT_EQ(Export(document, true), QByteArray("\xEF\xBB\xBF;;\"T[I], C\"\r\n2012-03-05;1;2\r\n"
                                                 "2012-03-05 00:00:01;3;\r\n"));
}

TEST(Exports, DoNotMarkTheDocumentAsSaved) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    StoreRoom(document);
    document.iSaved = Saved::kChanged;
    Export(document, true);
    Export(document, false);
    EXPECT_EQ(document.iSaved, Saved::kChanged);
    EXPECT_FALSE(document.bCommunicate);
}

// Regression: exports were Windows-1252 whatever the system, so on a UTF-8
// desktop "°C" and "Ö" arrived garbled in spreadsheets and editors.
TEST(Exports, AreWrittenInTheUsersEncoding) {
    const auto exportBoth = [](UserTextEncoding encoding) {
        LocaleScope swedish(SwedishLocale(), QString(), encoding);
        Document document;
        EXPECT_TRUE(FillDocument(document, {QStringLiteral("\u00d6stra"), "T"},
                                 {"%RH", QStringLiteral("\u00b0C")},
                                 {"12-03-05 14:00:00\t45.2\t21.37"}));
        return std::pair{Export(document, false), Export(document, true)};
    };
    const auto [utf8Text, utf8Csv] = exportBoth(UserTextEncoding::Utf8);
    for (const QByteArray& bytes : {utf8Text, utf8Csv}) {
        EXPECT_TRUE(bytes.contains("\xC3\x96stra, %RH")) << bytes.constData();
        EXPECT_TRUE(
            bytes.contains("T, \xC2\xB0"
                           "C"))
            << bytes.constData();
    }
    // The byte-order mark by which spreadsheets know a UTF-8 CSV file; the
    // text file has none (editors need none, and it would join the first field).
    EXPECT_TRUE(utf8Csv.startsWith("\xEF\xBB\xBF;\""));
    EXPECT_TRUE(utf8Text.startsWith("\t\xC3\x96"));

    // A legacy 8-bit locale keeps Windows-1252, without a mark.
    const auto [legacyText, legacyCsv] = exportBoth(UserTextEncoding::Windows1252);
    EXPECT_EQ(legacyText, QByteArray("\t\xD6stra, %RH\tT, \xB0"
                                     "C\r\n2012-03-05 14:00:00\t45,2\t21,37\r\n"));
    EXPECT_EQ(legacyCsv, QByteArray(";\"\xD6stra, %RH\";\"T, \xB0"
                                    "C\"\r\n2012-03-05 14:00:00;45,2;21,37\r\n"));
}

// Regression: the text file's header had no field above the time column, so in
// a spreadsheet every heading stood one column left of its data.
TEST(TextExport, HeaderHasAFieldForEveryDataField) {
    LocaleScope english(EnglishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(
        document, {"RH", "T", "p"}, {"%RH", "C", "hPa"},
        {"12-03-05 14:00:00\t45.2\t21.37\t1013", "12-03-05 14:00:10\t-\t21.40\t1012"}));
    const QList<QByteArray> lines = Export(document, false).split('\n');
    ASSERT_EQ(lines.size(), 4);  // three lines and the empty rest after the last
    for (const QByteArray& line : lines.mid(1, 2))
        EXPECT_EQ(lines.at(0).count('\t'), line.count('\t')) << line.constData();
    EXPECT_TRUE(lines.at(0).startsWith("\tRH, %RH\t"));
}
