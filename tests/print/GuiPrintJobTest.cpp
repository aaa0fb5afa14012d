// Printing into PDF files, read back with poppler's pdftotext and pdfinfo as a
// reader of the file would see it. Text needs fonts, so these run under the
// (offscreen) application of the window tests.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "chart/ChartSlots.h"
#include "chart/ChartTestDocuments.h"
#include "document/DataTableModel.h"
#include "document/Statistics.h"
#include "print/PrintJob.h"

namespace {

QString RunProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of every page, in page order (pdftotext ends each page with a form feed).
QStringList PageTexts(const QString& pdf) {
    QStringList pages = RunProgram(QStringLiteral("pdftotext"),
                                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

int PdfPages(const QString& pdf) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const QRegularExpressionMatch match = pages.match(RunProgram(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A table row as pdftotext lays it out: its cells in order, blanks between.
QRegularExpression RowPattern(const DataTableModel& table, int row) {
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c)
        cells << QRegularExpression::escape(table.GridText(row, c));
    return QRegularExpression(QStringLiteral("(^|\\n)\\s*") + cells.join(QStringLiteral("\\s+")) +
                              QStringLiteral("\\s*(\\n|$)"));
}

std::unique_ptr<Document> ClimateDocument(int points) {
    auto document = MakeDocument(points, 10, ClimateQuantities());
    document->Title = QStringLiteral("Klimatrum 3");
    return document;
}

const PrintChoice kAllParts{true, true, true, false};

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

}  // namespace

// Every page of a 2000-point, 3-quantity job in both orientations: the title,
// "Sida N (M)" with the job's page count, the parts in order, each from a new
// page, and the data table's first and last rows.
TEST_F(PrintJobTest, EveryPageCarriesTheTitleAndItsNumberOfTheJobsPages) {
    auto document = ClimateDocument(2000);
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    const DataTableModel table(*document);
    int portraitPages = 0;
    for (const bool landscape : {false, true}) {
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        PrintChoice choice = kAllParts;
        choice.landscape = landscape;
        const QString pdf = Path(landscape ? "landscape.pdf" : "portrait.pdf");
        QString error;
        ASSERT_TRUE(WritePdf(pdf, *document, chartSlots, choice, error)) << qPrintable(error);

        QPdfWriter counter(Path("count.pdf"));
        const int pages = CountPrintPages(counter, *document, chartSlots, choice);
        EXPECT_EQ(PdfPages(pdf), pages);
        // The information page, the chart page, and the table at 10 pt:
        // between 35 and 90 rows a page.
        EXPECT_GE(pages, 2 + 2000 / 90);
        EXPECT_LE(pages, 2 + 2000 / 35 + 1);
        if (landscape)
            EXPECT_GT(pages, portraitPages);  // fewer rows fit across the long side
        else
            portraitPages = pages;

        const QStringList texts = PageTexts(pdf);
        ASSERT_EQ(texts.size(), pages);
        for (int n = 1; n <= pages; ++n) {
            const QString& text = texts.at(n - 1);
            EXPECT_TRUE(text.contains(QStringLiteral("Klimatrum 3"))) << "page " << n;
            EXPECT_TRUE(text.contains(QStringLiteral("Sida %1 (%2)").arg(n).arg(pages)))
                << "page " << n;
        }
        EXPECT_TRUE(texts.at(0).contains(StringTable::Text(Str::kInfoSummary)));
        EXPECT_FALSE(texts.at(1).contains(StringTable::Text(Str::kInfoSummary)));
        EXPECT_TRUE(texts.at(2).contains(RowPattern(table, 1))) << qPrintable(texts.at(2));
        EXPECT_FALSE(texts.at(1).contains(RowPattern(table, 1)));
        EXPECT_TRUE(texts.back().contains(RowPattern(table, 2000))) << qPrintable(texts.back());
        // Every page of the table repeats the quantity headers.
        for (int n = 3; n <= pages; ++n)
            EXPECT_TRUE(texts.at(n - 1).contains(QStringLiteral("RH"))) << "page " << n;
    }
}

TEST_F(PrintJobTest, InformationPartShowsTheRecordingAndEveryStatistic) {
    auto document = ClimateDocument(500);
    UpdateFilledInformation(*document, false);
    document->Notes = QStringLiteral("Kalibrerad mot referens R2.\r\nDörren öppen 10:15.");
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    const QString pdf = Path("info.pdf");
    QString error;
    ASSERT_TRUE(WritePdf(pdf, *document, chartSlots, {true, false, false, false}, error));
    const QStringList texts = PageTexts(pdf);
    ASSERT_EQ(texts.size(), 1);
    const QString& text = texts.at(0);
    for (const Str::Id caption : {Str::kInfoRecording, Str::kInfoSummary, Str::kInfoMinimum,
                                  Str::kInfoMaximum, Str::kInfoMean})
        EXPECT_TRUE(text.contains(StringTable::Text(caption))) << caption;
    EXPECT_TRUE(text.contains(document->Info.Start)) << qPrintable(text);
    EXPECT_TRUE(text.contains(document->Info.Interval)) << qPrintable(text);
    for (int q = 0; q < document->QuantityCount(); ++q) {
        // The quantity's row: name, unit, minimum, maximum, mean.
        QStringList cells{document->Quantity(q).Name, document->Quantity(q).Unit};
        for (const StatisticKind kind :
             {StatisticKind::Minimum, StatisticKind::Maximum, StatisticKind::Mean})
            cells << StatisticText(*document, q, kind);
        for (QString& cell : cells) cell = QRegularExpression::escape(cell);
        EXPECT_TRUE(text.contains(QRegularExpression(cells.join(QStringLiteral("\\s+")))))
            << qPrintable(cells.join(u' ')) << "\n"
            << qPrintable(text);
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Dörren öppen 10:15.")));
}

// The chart is drawn on the page, not pasted as a picture: its tick labels are
// text of the PDF and the file holds no image.
TEST_F(PrintJobTest, ChartPageIsVectorDrawingWithTextLabels) {
    auto document = ClimateDocument(2000);
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    const QString pdf = Path("chart.pdf");
    QString error;
    ASSERT_TRUE(WritePdf(pdf, *document, chartSlots, {false, true, false, true}, error));
    const QStringList texts = PageTexts(pdf);
    ASSERT_EQ(texts.size(), 1);
    // The axes' bounds, as the chart labels them, after the printed chart set them.
    for (int q = 0; q < 3; ++q) {
        for (const bool upper : {false, true}) {
            const QString label =
                FormatDecimals(document->GetScaleValue(upper, q), document->GetDecs(q));
            EXPECT_TRUE(texts.at(0).contains(label)) << qPrintable(label) << "\n"
                                                     << qPrintable(texts.at(0));
        }
    }
    const QString images =
        RunProgram(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).trimmed();
    EXPECT_EQ(images.split(QLatin1Char('\n')).size(), 2) << qPrintable(images);  // header only
}

TEST_F(PrintJobTest, StatusTextsNameEachPartThenReady) {
    auto document = ClimateDocument(100);
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    QPdfWriter writer(Path("status.pdf"));
    QStringList said;
    EXPECT_TRUE(PrintDocument(writer, *document, chartSlots, kAllParts,
                              [&said](const QString& text) { said << text; }));
    EXPECT_EQ(said, (QStringList{StringTable::Text(Str::kPrintingInformation),
                                 StringTable::Text(Str::kPrintingChart),
                                 StringTable::Text(Str::kPrintingDataTable),
                                 StringTable::Text(Str::kReady)}));
    EXPECT_FALSE(document->bPrinting);
}

TEST_F(PrintJobTest, AStopAfterTheFirstPageEndsTheJob) {
    auto document = ClimateDocument(2000);
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    const QString pdf = Path("stopped.pdf");
    QStringList said;
    bool printingSeen = false;
    {
        QPdfWriter writer(pdf);
        EXPECT_FALSE(PrintDocument(
            writer, *document, chartSlots, kAllParts,
            [&said](const QString& text) { said << text; },
            [&] {
                printingSeen = document->bPrinting;
                return true;
            }));
    }
    EXPECT_TRUE(printingSeen);
    EXPECT_FALSE(document->bPrinting);
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_EQ(said, (QStringList{StringTable::Text(Str::kPrintingInformation),
                                 StringTable::Text(Str::kReady)}));
}

TEST_F(PrintJobTest, NothingChosenPrintsNothing) {
    auto document = ClimateDocument(10);
    ChartSlots chartSlots;
    QString error;
    EXPECT_FALSE(WritePdf(Path("none.pdf"), *document, chartSlots, {}, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("none.pdf")));
}

// A saved empty download: the information page, empty axes and the table's
// headers, one page each.
TEST_F(PrintJobTest, ADocumentWithoutPointsPrintsOnePagePerPart) {
    auto document = ClimateDocument(0);
    ChartSlots chartSlots;
    chartSlots.Sync(*document);
    const QString pdf = Path("empty.pdf");
    QString error;
    ASSERT_TRUE(WritePdf(pdf, *document, chartSlots, kAllParts, error)) << qPrintable(error);
    const QStringList texts = PageTexts(pdf);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts.at(2).contains(QStringLiteral("Sida 3 (3)")));
    EXPECT_TRUE(texts.at(2).contains(QStringLiteral("RH")));
}
