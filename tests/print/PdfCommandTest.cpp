// tr58 pdf: a saved document printed into a PDF by the command-line tool.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "chart/ChartTestDocuments.h"
#include "document/DocumentFiles.h"
#include "support/SimProcess.h"

namespace {

QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PdfCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        auto document = MakeDocument(300, 60, ClimateQuantities());
        document->Title = QStringLiteral("Kylrum");
        input_ = dir_.filePath(QStringLiteral("kylrum.t58"));
        ASSERT_TRUE(SaveDocumentFile(*document, input_, DocumentFileType::T58));
    }
    QTemporaryDir dir_;
    QString input_;
};

}  // namespace

TEST_F(PdfCommandTest, PrintsTheChosenPartsInOrder) {
    const QString pdf = dir_.filePath(QStringLiteral("all.pdf"));
    const ToolRun all = RunTool({"pdf", input_, "-o", pdf});
    ASSERT_EQ(all.exitCode, 0) << qPrintable(all.err);
    EXPECT_TRUE(all.err.isEmpty()) << qPrintable(all.err);
    const QStringList pages = PdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("Sammanfattningsdata")));
    EXPECT_TRUE(pages.back().contains(QStringLiteral("300 ")));  // the last row's number

    // Only the table, in landscape, whatever order --parts names them in.
    const QString table = dir_.filePath(QStringLiteral("table.pdf"));
    ASSERT_EQ(RunTool({"pdf", input_, "-o", table, "--parts", "table", "--landscape"}).exitCode, 0);
    const QString text = PdfText(table);
    EXPECT_FALSE(text.contains(QStringLiteral("Sammanfattningsdata")));
    EXPECT_TRUE(text.contains(QStringLiteral("Kylrum")));
    const QString both = dir_.filePath(QStringLiteral("both.pdf"));
    ASSERT_EQ(RunTool({"pdf", input_, "-o", both, "--parts", "table,information"}).exitCode, 0);
    EXPECT_TRUE(PdfText(both)
                    .split(QLatin1Char('\f'))
                    .at(0)
                    .contains(QStringLiteral("Sammanfattningsdata")));
}

TEST_F(PdfCommandTest, RefusesWrongArgumentsAndFiles) {
    const QString pdf = dir_.filePath(QStringLiteral("out.pdf"));
    EXPECT_EQ(RunTool({"pdf"}).exitCode, 2);
    EXPECT_EQ(RunTool({"pdf", input_}).exitCode, 2);  // no -o
    EXPECT_EQ(RunTool({"pdf", input_, "-o", pdf, "--parts", "charts"}).exitCode, 2);
    EXPECT_EQ(RunTool({"pdf", input_, "-o", pdf, "--parts", ""}).exitCode, 2);
    EXPECT_EQ(RunTool({"pdf", input_, "-o", pdf, "--parts"}).exitCode, 2);
    EXPECT_EQ(RunTool({"pdf", input_, "-o", pdf, "--portrait"}).exitCode, 2);
    // Regression: "-o" naming the document itself replaced the recording with
    // its printout.
    QFile document(input_);
    ASSERT_TRUE(document.open(QIODevice::ReadOnly));
    const QByteArray before = document.readAll();
    document.close();
    EXPECT_EQ(RunTool({"pdf", input_, "-o", input_}).exitCode, 2);
    ASSERT_TRUE(document.open(QIODevice::ReadOnly));
    EXPECT_EQ(document.readAll(), before);
    const ToolRun missing = RunTool({"pdf", dir_.filePath("missing.t58"), "-o", pdf});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("missing.t58"))) << qPrintable(missing.err);
    const ToolRun nowhere =
        RunTool({"pdf", input_, "-o", dir_.filePath(QStringLiteral("no/such/folder/out.pdf"))});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_FALSE(nowhere.err.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

// A write that fails half-way (the disk is full) leaves the previous PDF whole.
TEST_F(PdfCommandTest, AFailedWriteKeepsThePreviousPdf) {
    const QString pdf = dir_.filePath(QStringLiteral("kylrum.pdf"));
    ASSERT_EQ(RunTool({"pdf", input_, "-o", pdf, "--parts", "information"}).exitCode, 0);
    const QByteArray before = ReadAll(pdf);
    ASSERT_FALSE(before.isEmpty());

    // The disk "fills" after 4 KiB; the whole document's PDF takes far more.
    QProcess tool;
    tool.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 4; exec \"$0\" \"$@\""),
         QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"), QStringLiteral("pdf"), input_,
         QStringLiteral("-o"), pdf});
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 1) << tool.readAllStandardError().constData();
    EXPECT_EQ(ReadAll(pdf), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("kylrum.pdf"), QStringLiteral("kylrum.t58")}));
}
