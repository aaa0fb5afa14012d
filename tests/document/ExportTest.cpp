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
    EXPECT_EQ(Export(document, false), QByteArray("RH, %RH\tT, \xB0"
                                                  "C\r\n"
                                                  "2012-03-05 14:00:00\t45,2\t21,37\r\n"
                                                  "2012-03-05 14:00:10\t-\t21,40\r\n"));
}

TEST(TextExport, EnglishLocale) {
    LocaleScope english(EnglishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, false), QByteArray("RH, %RH\tT, \xB0"
                                                  "C\r\n"
                                                  "3/5/12 2:00:00 PM\t45.2\t21.37\r\n"
                                                  "3/5/12 2:00:10 PM\t-\t21.40\r\n"));
}

TEST(CsvExport, SwedishLocaleUsesSemicolonsAndCommas) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, true), QByteArray(";\"RH, %RH\";\"T, \xB0"
                                                 "C\"\r\n"
                                                 "2012-03-05 14:00:00;45,2;21,37\r\n"
                                                 "2012-03-05 14:00:10;;21,40\r\n"));
}

TEST(CsvExport, EnglishLocaleUsesCommasAndPoints) {
    LocaleScope english(EnglishLocale());
    Document document;
    StoreRoom(document);
    EXPECT_EQ(Export(document, true), QByteArray(",\"RH, %RH\",\"T, \xB0"
                                                 "C\"\r\n"
                                                 "3/5/12 2:00:00 PM,45.2,21.37\r\n"
                                                 "3/5/12 2:00:10 PM,,21.40\r\n"));
}

TEST(CsvExport, FollowsAStoredListSeparator) {
    LocaleScope swedish(SwedishLocale(), QStringLiteral("|"));
    Document document;
    StoreRoom(document);
    const QByteArray bytes = Export(document, true);
    EXPECT_TRUE(bytes.startsWith("|\"RH, %RH\"|\"T"));
    EXPECT_TRUE(bytes.contains("14:00:10||21,40\r\n"));
}

TEST(Exports, LeaveOutTheTimeAtMidnightAndNamelessHeaders) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    ASSERT_TRUE(FillDocument(document, {QString(), QStringLiteral("T\u0090")}, {QString(), "C"},
                             {"12-03-05 00:00:00\t1\t2", "12-03-05 00:00:01\t3\t-"}));
    EXPECT_EQ(Export(document, false),
              QByteArray("\tT[I], C\r\n2012-03-05\t1\t2\r\n2012-03-05 00:00:01\t3\t-\r\n"));
    EXPECT_EQ(Export(document, true),
              QByteArray(";\"T[I], C\"\r\n2012-03-05;1;2\r\n2012-03-05 00:00:01;3;\r\n"));
}

TEST(Exports, DoNotMarkTheDocumentAsSaved) {
    LocaleScope swedish(SwedishLocale());
    Document document;
    StoreRoom(document);
    document.iSaved = 2;
    Export(document, true);
    Export(document, false);
    EXPECT_EQ(document.iSaved, 2);
    EXPECT_FALSE(document.bCommunicate);
}
