// tr58 recover: the journal a killed recording left becomes the .t58 document
// the recording would have been saved as, never over a file that is there.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "realtime/RecordingJournal.h"
#include "support/SimProcess.h"

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A recording of points readings of two quantities, as the real-time window
// holds it.
void Fill(Document& document, int points) {
    document.SetQuantityCount(2);
    document.Property(QStringLiteral("\tT\tRH"));
    document.Unit(QStringLiteral("\tC\t%RH"));
    document.Title = QStringLiteral("Frysrum 2");
    document.IntervalUnit = 2;
    document.IntervalValue = 10;
    for (int i = 0; i < points; ++i)
        document.MeasToStruct(QStringLiteral("26-11-03 12:00:%1\t-18.%2\t%3")
                                  .arg(i * 10, 2, 10, QLatin1Char('0'))
                                  .arg(i)
                                  .arg(i == 2 ? QStringLiteral("-") : QString::number(60 + i)));
    document.Quantity(0).Decimals = 1;
    document.Quantity(1).Decimals = 0;
}

class RecoverTest : public ::testing::Test {
protected:
    // The journal of a killed run: five readings, the last cut mid-write.
    void SetUp() override {
        Document live;
        Fill(live, 5);
        RecordingJournal journal;
        QString problem;
        ASSERT_TRUE(journal.Begin(journalPath, live, &problem)) << qPrintable(problem);
        journal.Close();
        const QByteArray bytes = ReadAll(journalPath);
        WriteAll(journalPath, bytes.left(bytes.size() - 6));
        // What a normal save of the four whole readings writes.
        Document four;
        Fill(four, 4);
        ASSERT_TRUE(SaveDocumentFile(four, dir.filePath("expected.t58"), DocumentFileType::T58));
    }

    QTemporaryDir dir;
    const QString journalPath = dir.filePath("Frys.t58.part");
    const QString defaultOutput = dir.filePath("Frys.t58");
};

}  // namespace

TEST_F(RecoverTest, WritesTheDocumentBesideTheJournalWithEveryWholeReading) {
    const ToolRun run = RunTool({"recover", journalPath});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(ReadAll(defaultOutput), ReadAll(dir.filePath("expected.t58")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("4 readings recovered"))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 torn record dropped"))) << qPrintable(run.err);
    EXPECT_EQ(run.out, defaultOutput + u'\n');
    // The readings are in the document: the journal and its lock go.
    EXPECT_FALSE(QFile::exists(journalPath));
    EXPECT_FALSE(QFile::exists(journalPath + QStringLiteral(".lock")));
}

// Regression: notes typed in the program's real-time window are kept exactly in its journal; a
// recover wrote them into the document as '?' and removed the journal, the only exact copy.
TEST(Recover, KeepsTheJournalWhenTheDocumentCannotHoldItsTexts) {
    QTemporaryDir dir;
    const QString journalPath = dir.filePath("Lodz.t58.part");
    Document live;
    Fill(live, 3);
    live.Notes = QStringLiteral("Łódź, ≥5 °C");
    RecordingJournal journal;
    QString problem;
    ASSERT_TRUE(journal.Begin(journalPath, live, &problem)) << qPrintable(problem);
    journal.Close();

    const ToolRun run = RunTool({"recover", journalPath});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("3 readings recovered"))) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("is kept with the exact text")))
        << qPrintable(run.err);
    ASSERT_TRUE(QFile::exists(journalPath));
    Document kept;
    ASSERT_TRUE(ReadJournal(journalPath, kept, problem)) << qPrintable(problem);
    EXPECT_EQ(kept.Notes, live.Notes);
    EXPECT_TRUE(QFile::exists(dir.filePath("Lodz.t58")));
}

TEST_F(RecoverTest, NeverReplacesAFileWithoutForce) {
    WriteAll(defaultOutput, "the user's own file");
    ToolRun run = RunTool({"recover", journalPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << qPrintable(run.err);
    EXPECT_EQ(ReadAll(defaultOutput), "the user's own file");

    run = RunTool({"recover", journalPath, "--force"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(ReadAll(defaultOutput), ReadAll(dir.filePath("expected.t58")));
}

// Regression: -o naming the journal itself with --force wrote the document
// over the journal, then removed the journal as done: both were gone, and
// the tool said the readings were recovered.
TEST_F(RecoverTest, NeverWritesOverItsOwnJournal) {
    const QByteArray before = ReadAll(journalPath);
    const QString sameByAnotherName = dir.filePath("./") + QFileInfo(journalPath).fileName();
    for (const QString& output : {journalPath, sameByAnotherName}) {
        const ToolRun run = RunTool({"recover", journalPath, "-o", output, "--force"});
        EXPECT_EQ(run.exitCode, 2) << qPrintable(output);
        EXPECT_TRUE(run.err.contains(QStringLiteral("journal"))) << qPrintable(run.err);
        EXPECT_EQ(ReadAll(journalPath), before);
    }
}

TEST_F(RecoverTest, WritesTheNamedFile) {
    const QString named = dir.filePath("named.t58");
    const ToolRun run = RunTool({"recover", "-o", named, journalPath});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(ReadAll(named), ReadAll(dir.filePath("expected.t58")));
    EXPECT_FALSE(QFile::exists(defaultOutput));
}

TEST_F(RecoverTest, RefusesWhatIsNoJournalAndWrongCommandLines) {
    QByteArray bytes = ReadAll(journalPath);
    WriteAll(journalPath, bytes.replace("TR58-JOURNAL 1", "TR58-JOURNAL 7"));
    ToolRun run = RunTool({"recover", journalPath});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(StringTable::Text(Str::kJournalUnknownVersion).arg("7")))
        << qPrintable(run.err);
    EXPECT_FALSE(QFile::exists(defaultOutput));

    EXPECT_EQ(RunTool({"recover"}).exitCode, 2);
    EXPECT_EQ(RunTool({"recover", journalPath, "--bogus"}).exitCode, 2);
    EXPECT_EQ(RunTool({"recover", journalPath, "-o"}).exitCode, 2);
    run = RunTool({"recover", dir.filePath("Frys.journal")});
    EXPECT_EQ(run.exitCode, 2) << "no .part: the document's name must be given";
    EXPECT_TRUE(RunTool({"--help"}).out.contains(QStringLiteral("recover FILE.t58.part")));
}
