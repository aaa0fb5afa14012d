// tr58 chart: a saved document drawn into a PNG by the command-line tool.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "ChartTestDocuments.h"
#include "document/DocumentFiles.h"
#include "support/SimProcess.h"

namespace {

int CountColour(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

TEST(ChartCommand, DrawsASavedDocumentIntoAPng) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto document = MakeDocument(500, 60, ClimateQuantities());
    const QString file = dir.filePath(QStringLiteral("climate.t58"));
    ASSERT_TRUE(SaveDocumentFile(*document, file, DocumentFileType::T58));

    const QString png = dir.filePath(QStringLiteral("climate.png"));
    const ToolRun run = RunTool({"chart", file, "-o", png, "--width", "640", "--height", "360"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.err.isEmpty()) << qPrintable(run.err);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 360));
    // The three quantities, in their colours.
    EXPECT_GT(CountColour(image, qRgb(255, 0, 0)), 100);
    EXPECT_GT(CountColour(image, qRgb(0, 192, 0)), 100);
    EXPECT_GT(CountColour(image, qRgb(0, 0, 255)), 100);
}

TEST(ChartCommand, RefusesWrongArgumentsAndFiles) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("out.png"));
    EXPECT_EQ(RunTool({"chart"}).exitCode, 2);
    EXPECT_EQ(RunTool({"chart", "a.t58"}).exitCode, 2);  // no -o
    EXPECT_EQ(RunTool({"chart", "a.t58", "-o", png, "--width", "abc"}).exitCode, 2);
    EXPECT_EQ(RunTool({"chart", "a.t58", "-o", png, "--height", "20"}).exitCode, 2);

    const ToolRun missing = RunTool({"chart", dir.filePath("missing.t58"), "-o", png});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("missing.t58"))) << qPrintable(missing.err);

    QFile bad(dir.filePath(QStringLiteral("bad.t58")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a data file\r\n");
    bad.close();
    EXPECT_EQ(RunTool({"chart", bad.fileName(), "-o", png}).exitCode, 1);
    // A picture never goes over a document: the output must be a .png.
    EXPECT_EQ(RunTool({"chart", bad.fileName(), "-o", bad.fileName()}).exitCode, 2);
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_EQ(bad.readAll(), QByteArray("not a data file\r\n"));
    EXPECT_FALSE(QFile::exists(png));
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Regression: the picture was written in place, so a write that failed half-way
// (a full disk) left a truncated PNG where the previous picture was.
TEST(ChartCommand, AFailedWriteKeepsThePreviousPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto document = MakeDocument(2000, 60, ClimateQuantities());
    const QString file = dir.filePath(QStringLiteral("climate.t58"));
    ASSERT_TRUE(SaveDocumentFile(*document, file, DocumentFileType::T58));
    const QString png = dir.filePath(QStringLiteral("climate.png"));
    ASSERT_EQ(RunTool({"chart", file, "-o", png, "--width", "300", "--height", "200"}).exitCode, 0);
    const QByteArray before = ReadAll(png);
    ASSERT_FALSE(before.isEmpty());

    // The disk "fills" after 4 KiB (a 1200 x 700 chart takes far more): the
    // tool may write no bigger file, and gets an error instead of the signal.
    QProcess tool;
    tool.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 4; exec \"$0\" \"$@\""),
         QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"), QStringLiteral("chart"), file,
         QStringLiteral("-o"), png});
    ASSERT_TRUE(tool.waitForFinished(120000));
    EXPECT_EQ(tool.exitCode(), 1) << tool.readAllStandardError().constData();
    EXPECT_EQ(ReadAll(png), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("climate.png"), QStringLiteral("climate.t58")}));
}

// A document without points (a saved empty download) draws as empty axes.
TEST(ChartCommand, DrawsADocumentWithoutPoints) {
    QTemporaryDir dir;
    auto document = MakeDocument(0, 60, ClimateQuantities());
    const QString file = dir.filePath(QStringLiteral("empty.t58"));
    ASSERT_TRUE(SaveDocumentFile(*document, file, DocumentFileType::T58));
    const QString png = dir.filePath(QStringLiteral("empty.png"));
    const ToolRun run = RunTool({"chart", file, "-o", png, "--width", "400", "--height", "300"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(QImage(png).size(), QSize(400, 300));
}
