// The folders tr58 writes into: download -o DIR and convert ... -o DIR make a
// missing folder, refuse one that is a file before any work, and convert takes
// several documents at once, naming every one it could not convert.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/T58File.h"
#include "support/SimProcess.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
}

// A saved document of one quantity with points at 08:00 and 08:01.
QString SaveDocument(const QString& path, const QString& title, double first) {
    Document document;
    document.SetQuantityCount(1);
    document.Property(QStringLiteral("\tT"));
    document.Unit(QStringLiteral("\tC"));
    document.Title = title;
    document.MeasToStruct(QStringLiteral("26-11-02 08:00:00\t%1").arg(first));
    document.MeasToStruct(QStringLiteral("26-11-02 08:01:00\t%1").arg(first + 0.5));
    EXPECT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
    return path;
}

// What the one-file form writes for input as type (the reference).
QByteArray SingleConversion(const QTemporaryDir& dir, const QString& input, const QString& ext) {
    const QString out = dir.filePath(QStringLiteral("reference.") + ext);
    const ToolRun run = RunTool({"convert", input, out, "--force"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    return ReadAll(out);
}

}  // namespace

TEST(OutputFolder, DownloadMakesAMissingFolderWithItsParents) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--file", "Lab 1:20:2"}));
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("2026/november/lab"));
    ASSERT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("2026"))));
    const ToolRun run = RunTool({"--host", sim.TcpAddress(), "download", "0", "-o", folder});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QString saved = QDir(folder).filePath(QStringLiteral("Lab 1.t58"));
    EXPECT_EQ(run.out, saved + QLatin1Char('\n'));
    Document document;
    ASSERT_TRUE(t58FormatOpen(document, saved));
    EXPECT_EQ(document.PointCount(), 20);
}

TEST(OutputFolder, DownloadIntoAFileOrAnImpossibleFolderFailsBeforeAskingTheInstrument) {
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("notes.txt"));
    WriteFile(plain, "mine");
    const QString under = plain + QStringLiteral("/lab");  // a folder inside a file
    for (const QString& folder : {plain, under}) {
        SCOPED_TRACE(qPrintable(folder));
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--verbose"}));
        const ToolRun run =
            RunTool({"--host", sim.TcpAddress(), "download", "--all", "-o", folder});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(
            folder == plain ? QStringLiteral("%1 is a file, not a folder").arg(plain)
                            : QStringLiteral("cannot create the folder %1: ").arg(under)))
            << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty());
        // Not a word to the instrument, not even the wake-up.
        EXPECT_FALSE(sim.Stop().contains(QStringLiteral("<-")));
    }
    EXPECT_EQ(ReadAll(plain), QByteArray("mine"));
}

TEST(OutputFolder, ConvertWritesSeveralDocumentsIntoANewFolder) {
    QTemporaryDir dir;
    const QString cellar = SaveDocument(dir.filePath(QStringLiteral("cellar.t58")), "Källare", 4.5);
    const QString attic = SaveDocument(dir.filePath(QStringLiteral("attic.t58")), "Vind", 21.0);
    const QString folder = dir.filePath(QStringLiteral("export/txt"));

    const ToolRun run = RunTool({"convert", cellar, attic, "-o", folder, "--format", "txt"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QString cellarTxt = QDir(folder).filePath(QStringLiteral("cellar.txt"));
    const QString atticTxt = QDir(folder).filePath(QStringLiteral("attic.txt"));
    EXPECT_EQ(run.out, cellarTxt + QLatin1Char('\n') + atticTxt + QLatin1Char('\n'));
    // Each as the one-file form writes it.
    EXPECT_EQ(ReadAll(cellarTxt), SingleConversion(dir, cellar, QStringLiteral("txt")));
    EXPECT_EQ(ReadAll(atticTxt), SingleConversion(dir, attic, QStringLiteral("txt")));
    EXPECT_NE(ReadAll(cellarTxt), ReadAll(atticTxt));

    // CSV unless told otherwise; a .t58 copy reads back as the document.
    const ToolRun csv = RunTool({"convert", cellar, "-o", folder});
    ASSERT_EQ(csv.exitCode, 0) << qPrintable(csv.err);
    EXPECT_EQ(ReadAll(QDir(folder).filePath(QStringLiteral("cellar.csv"))),
              SingleConversion(dir, cellar, QStringLiteral("csv")));
    const ToolRun t58 = RunTool({"convert", attic, "--format", "t58", "-o", folder});
    ASSERT_EQ(t58.exitCode, 0) << qPrintable(t58.err);
    Document copy;
    ASSERT_TRUE(t58FormatOpen(copy, QDir(folder).filePath(QStringLiteral("attic.t58"))));
    EXPECT_EQ(copy.Title, QStringLiteral("Vind"));
    EXPECT_EQ(copy.PointCount(), 2);
}

TEST(OutputFolder, ConvertNamesEveryFailureAndStillConvertsTheOthers) {
    QTemporaryDir dir;
    const QString cellar = SaveDocument(dir.filePath(QStringLiteral("cellar.t58")), "Källare", 4.5);
    const QString attic = SaveDocument(dir.filePath(QStringLiteral("attic.t58")), "Vind", 21.0);
    const QString missing = dir.filePath(QStringLiteral("missing.t58"));
    const QString broken = dir.filePath(QStringLiteral("broken.t58"));
    WriteFile(broken, "no document at all\r\n");
    const QString folder = dir.filePath(QStringLiteral("out"));

    const ToolRun run = RunTool({"convert", missing, cellar, broken, attic, "-o", folder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("tr58: %1: ").arg(missing))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("tr58: %1: ").arg(broken))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("2 of 4 files not converted")))
        << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(cellar)) << qPrintable(run.err);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              QStringList({"attic.csv", "cellar.csv"}));
}

TEST(OutputFolder, ConvertReplacesAFileOnlyWithForceAndNeverTwiceInOneRun) {
    QTemporaryDir dir;
    const QString cellar = SaveDocument(dir.filePath(QStringLiteral("cellar.t58")), "Källare", 4.5);
    const QString attic = SaveDocument(dir.filePath(QStringLiteral("attic.t58")), "Vind", 21.0);
    const QString folder = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString taken = QDir(folder).filePath(QStringLiteral("cellar.csv"));
    WriteFile(taken, "mine");

    const ToolRun kept = RunTool({"convert", cellar, attic, "-o", folder});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.err.contains(QStringLiteral("%1 exists; give --force").arg(taken)))
        << qPrintable(kept.err);
    EXPECT_EQ(ReadAll(taken), QByteArray("mine"));
    EXPECT_TRUE(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("attic.csv"))));

    const ToolRun forced = RunTool({"convert", cellar, "-o", folder, "--force"});
    EXPECT_EQ(forced.exitCode, 0) << qPrintable(forced.err);
    EXPECT_EQ(ReadAll(taken), SingleConversion(dir, cellar, QStringLiteral("csv")));

    // Two documents of the same name from two folders: the second would
    // replace what the first just wrote, --force or not.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("upstairs"))));
    const QString second =
        SaveDocument(dir.filePath(QStringLiteral("upstairs/cellar.t58")), "Annat", 9.0);
    const QString fresh = dir.filePath(QStringLiteral("fresh"));
    const ToolRun twice = RunTool({"convert", cellar, second, "-o", fresh, "--force"});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_TRUE(twice.err.contains(second)) << qPrintable(twice.err);
    EXPECT_EQ(ReadAll(QDir(fresh).filePath(QStringLiteral("cellar.csv"))),
              SingleConversion(dir, cellar, QStringLiteral("csv")));
}

// Regression: --force replaced a document that was itself one of the inputs, before it was
// read, and then reported it as merely "not converted".
TEST(OutputFolder, ConvertWithForceNeverReplacesAnotherInput) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("a"))));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("out"))));
    const QString first = SaveDocument(dir.filePath(QStringLiteral("a/run.t58")), "Först", 4.5);
    const QString second = SaveDocument(dir.filePath(QStringLiteral("out/run.t58")), "Sen", 9.0);
    const QByteArray secondBefore = ReadAll(second);
    const ToolRun run = RunTool({"convert", "-o", dir.filePath(QStringLiteral("out")), "--format",
                                 "t58", "--force", first, second});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("one of the files to convert")))
        << qPrintable(run.err);
    EXPECT_EQ(ReadAll(second), secondBefore) << "the second input is untouched";
}

// Regression: the one-file form replaced an existing OUT without a word, also
// a recording of its own.
TEST(OutputFolder, ConvertOfOneFileReplacesAnExistingFileOnlyWithForce) {
    QTemporaryDir dir;
    const QString cellar = SaveDocument(dir.filePath(QStringLiteral("cellar.t58")), "Källare", 4.5);
    const QString attic = SaveDocument(dir.filePath(QStringLiteral("attic.t58")), "Vind", 21.0);
    const QByteArray atticBefore = ReadAll(attic);
    const ToolRun kept = RunTool({"convert", cellar, attic});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.err.contains(QStringLiteral("%1 exists; give --force").arg(attic)))
        << qPrintable(kept.err);
    EXPECT_EQ(ReadAll(attic), atticBefore);
    const ToolRun forced = RunTool({"convert", cellar, attic, "--force"});
    EXPECT_EQ(forced.exitCode, 0) << qPrintable(forced.err);
    EXPECT_EQ(ReadAll(attic), ReadAll(cellar));
}

TEST(OutputFolder, ConvertIntoAFileThatIsNoFolderConvertsNothing) {
    QTemporaryDir dir;
    const QString cellar = SaveDocument(dir.filePath(QStringLiteral("cellar.t58")), "Källare", 4.5);
    const QString plain = dir.filePath(QStringLiteral("notes.txt"));
    WriteFile(plain, "mine");
    const ToolRun run = RunTool({"convert", cellar, "-o", plain});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("%1 is a file, not a folder").arg(plain)))
        << qPrintable(run.err);
    EXPECT_EQ(ReadAll(plain), QByteArray("mine"));
}

TEST(OutputFolder, ConvertCommandLineMistakesExitWithTwo) {
    // Several inputs need a folder; a folder needs inputs; formats are the three.
    EXPECT_EQ(RunTool({"convert", "a.t58", "b.t58", "c.csv"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "-o", "out"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58", "-o"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58", "-o", "out", "--format", "xls"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58", "b.csv", "--format", "txt"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58", "-o", "out", "--frobnicate"}).exitCode, 2);
}
