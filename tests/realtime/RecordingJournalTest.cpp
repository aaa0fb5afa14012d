// The real-time recording's journal: what a crash leaves behind reads back to
// exactly the readings the window held, a torn or garbled last record costs only
// itself, and journals of running programs are never offered.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <cmath>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/T58File.h"
#include "download/RecordedDataFill.h"
#include "link/LinkState.h"
#include "realtime/RecordingJournal.h"

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

class JournalTest : public ::testing::Test {
protected:
    // The program's journals go under the home folder in test mode: a home of
    // the test's own, so nothing of the user's is touched.
    void SetUp() override {
        oldHome_ = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("HOME", oldHome_); }

    QString Path(const QString& name) const { return home.filePath(name); }

    // The real-time window's first request: names, units and one reading of
    // three quantities; RH has no reading yet (its decimals come later).
    void FirstReply() {
        live.bRealTime = true;
        live.IntervalUnit = 2;
        live.IntervalValue = 5;
        const ReplyFill fill = FillDocumentFromReply(
            live,
            QStringLiteral("3\tT\tRH\tP\r\n\t\u00b0C\t%RH\thPa\r\n26-11-02 23:59:55\t21.5\t-\t"
                           "1013.2\r\n\x1A"),
            state);
        ASSERT_FALSE(fill.failed);
        ASSERT_EQ(live.PointCount(), 1);
    }
    // One poll's reply, at 5 s steps from the first reading (over midnight).
    void Poll(int n) {
        const QDateTime at = QDateTime(QDate(2026, 11, 2), QTime(23, 59, 55)).addSecs(5 * n);
        const QString values = n % 4 == 3 ? QStringLiteral("-\t-\t-")
                                          : QStringLiteral("%1\t%2\t%3")
                                                .arg(21.5 + std::sin(n) * 3, 0, 'f', 2)
                                                .arg(45.0 + n * 0.25, 0, 'f', 2)
                                                .arg(1013.2 - n * 0.1, 0, 'f', 1);
        const ReplyFill fill =
            FillDocumentFromReply(live,
                                  at.toString(QStringLiteral("yy-MM-dd HH:mm:ss")) + u'\t' +
                                      values + QStringLiteral("\r\n\x1A"),
                                  state);
        ASSERT_FALSE(fill.failed) << n;
    }
    // A recording of the first reply and n polls, each journaled as it came.
    void Record(RecordingJournal& journal, const QString& path, int polls) {
        FirstReply();
        QString problem;
        ASSERT_TRUE(journal.Begin(path, live, &problem)) << qPrintable(problem);
        for (int n = 1; n <= polls; ++n) {
            const qint32 before = live.PointCount();
            Poll(n);
            ASSERT_TRUE(journal.Append(live, before));
        }
    }

    QTemporaryDir home;
    Document live;
    LinkState state;

private:
    QByteArray oldHome_;
};

void ExpectSameReadings(const Document& a, const Document& b) {
    ASSERT_EQ(a.QuantityCount(), b.QuantityCount());
    ASSERT_EQ(a.PointCount(), b.PointCount());
    for (qint32 i = 0; i < a.PointCount(); ++i) {
        EXPECT_EQ(a.PointTime(i), b.PointTime(i)) << i;  // the identical double
        for (int q = 0; q < a.QuantityCount(); ++q) {
            EXPECT_EQ(a.Value(i, q).Valid, b.Value(i, q).Valid) << i << ' ' << q;
            EXPECT_EQ(a.Value(i, q).Value, b.Value(i, q).Value) << i << ' ' << q;
        }
    }
}

}  // namespace

TEST_F(JournalTest, ARestoredRecordingSavesByteIdenticalToTheLiveOne) {
    RecordingJournal journal;
    const QString path = Path("run.t58.part");
    Record(journal, path, 40);
    // Edited while it records: the journal follows.
    live.EditTitle(QStringLiteral("K\u00e4llare\t50% \u00d6st"));
    live.EditNotes(QStringLiteral("rad 1\r\nrad 2"));
    for (int n = 41; n <= 60; ++n) {
        const qint32 before = live.PointCount();
        Poll(n);
        ASSERT_TRUE(journal.Append(live, before));
    }
    journal.Close();  // the program dies: the file stays
    ASSERT_TRUE(QFile::exists(path));

    live.bRealTime = false;  // the window stopped; its document is saved normally
    ASSERT_TRUE(SaveDocumentFile(live, Path("live.t58"), DocumentFileType::T58));

    Document restored;
    QString problem;
    int torn = -1;
    ASSERT_TRUE(ReadJournal(path, restored, problem, &torn)) << qPrintable(problem);
    EXPECT_EQ(torn, 0);
    ExpectSameReadings(live, restored);
    EXPECT_EQ(restored.Quantity(1).Decimals, 2) << "set by a poll after the journal began";
    EXPECT_FALSE(restored.bRealTime);
    EXPECT_EQ(restored.iSaved, Saved::kNever);
    EXPECT_EQ(restored.Info.RecordingKind, StringTable::Text(Str::kRealTimeData));
    EXPECT_EQ(restored.Info.Points, QStringLiteral("61"));
    EXPECT_FALSE(restored.Info.Stop.isEmpty());
    EXPECT_EQ(restored.Quantity(0).Maximum, live.Quantity(0).Maximum);
    EXPECT_EQ(restored.Quantity(2).Mean, live.Quantity(2).Mean);
    EXPECT_EQ(restored.Quantity(0).StatsValid, 1);

    ASSERT_TRUE(SaveDocumentFile(restored, Path("restored.t58"), DocumentFileType::T58));
    const QByteArray expected = ReadAll(Path("live.t58"));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(ReadAll(Path("restored.t58")), expected);
}

TEST_F(JournalTest, TimesThatAreNoWholeSecondAndOddValuesComeBackExactly) {
    FirstReply();
    Poll(1);
    Poll(2);
    live.SetPointTime(1, live.PointTime(1) + 0.123456789e-6);
    live.SetValue(2, 0, -0.0f, true);
    live.SetValue(2, 2, 1.0f / 3.0f, true);
    live.SetValue(0, 2, 3.4028235e38f, true);
    RecordingJournal journal;
    ASSERT_TRUE(journal.Begin(Path("odd.t58.part"), live));
    journal.Close();
    Document restored;
    QString problem;
    ASSERT_TRUE(ReadJournal(Path("odd.t58.part"), restored, problem)) << qPrintable(problem);
    ExpectSameReadings(live, restored);
    EXPECT_TRUE(std::signbit(restored.Value(2, 0).Value));
}

TEST_F(JournalTest, ReadingsTakeAboutTwentySevenBytes) {
    RecordingJournal journal;
    const QString path = Path("size.t58.part");
    FirstReply();
    ASSERT_TRUE(journal.Begin(path, live));
    const qint64 header = QFileInfo(path).size();
    for (int n = 1; n <= 1000; ++n) {
        const qint32 before = live.PointCount();
        Poll(n);
        ASSERT_TRUE(journal.Append(live, before));
    }
    const double perReading = double(QFileInfo(path).size() - header) / 1000;
    RecordProperty("bytes_per_reading", QString::number(perReading, 'f', 1).toStdString());
    std::printf("journal: %.1f bytes per reading of 3 quantities\n", perReading);
    EXPECT_LT(perReading, 30.0);
    journal.Finish();
}

TEST_F(JournalTest, ATornLastRecordCostsOnlyItself) {
    RecordingJournal journal;
    const QString path = Path("torn.t58.part");
    Record(journal, path, 5);
    journal.Close();
    const QByteArray whole = ReadAll(path);
    const qsizetype lastStart = whole.lastIndexOf('\n', whole.size() - 2) + 1;
    // Cut anywhere inside the last record, LF included.
    for (qsizetype cut = lastStart + 1; cut < whole.size(); ++cut) {
        WriteAll(path, whole.left(cut));
        Document restored;
        QString problem;
        int torn = -1;
        ASSERT_TRUE(ReadJournal(path, restored, problem, &torn)) << cut;
        EXPECT_EQ(restored.PointCount(), 5) << cut;
        EXPECT_EQ(torn, 1) << cut;
        EXPECT_EQ(restored.PointTime(4), live.PointTime(4)) << cut;
    }
}

TEST_F(JournalTest, AGarbledLastRecordFailsItsCheckAndIsDropped) {
    RecordingJournal journal;
    const QString path = Path("garbled.t58.part");
    Record(journal, path, 5);
    journal.Close();
    QByteArray bytes = ReadAll(path);
    // A digit of the last reading's pressure changed: still a number, wrong CRC.
    const qsizetype at = bytes.lastIndexOf("1012.7");
    ASSERT_GT(at, 0);
    bytes[at + 3] = '3';
    WriteAll(path, bytes);
    Document restored;
    QString problem;
    int torn = -1;
    ASSERT_TRUE(ReadJournal(path, restored, problem, &torn));
    EXPECT_EQ(restored.PointCount(), 5);
    EXPECT_EQ(torn, 1);
    for (qint32 i = 0; i < restored.PointCount(); ++i)
        EXPECT_NE(restored.Value(i, 2).Value, 1013.7f) << "the garbled value was taken";

    // Zeros where a power cut left the file's last block unwritten.
    WriteAll(path, ReadAll(path) + QByteArray(300, '\0') + '\n');
    Document again;
    ASSERT_TRUE(ReadJournal(path, again, problem, &torn));
    EXPECT_EQ(again.PointCount(), 5);
    EXPECT_EQ(torn, 2);
}

// A record with a right checksum whose time no instrument can have sent (one
// damaged before its checksum was made, or a file not of this program): the
// record is dropped like a garbled one, and the document's texts stay sane.
TEST_F(JournalTest, ARecordWithAnImpossibleTimeIsDropped) {
    RecordingJournal journal;
    const QString path = Path("impossible.t58.part");
    Record(journal, path, 3);
    journal.Close();
    const auto sealed = [](const QByteArray& body) {
        return body + '\t' + QByteArray::number(qChecksum(body), 16).rightJustified(4, '0') + '\n';
    };
    WriteAll(path, ReadAll(path) + sealed("@4632875001157407.41\t1\t2\t3") +
                       sealed("9223372036854775807\t1\t2\t3") + sealed("@nan\t1\t2\t3") +
                       sealed("@1e308\t1\t2\t3"));
    Document restored;
    QString problem;
    int torn = -1;
    ASSERT_TRUE(ReadJournal(path, restored, problem, &torn)) << qPrintable(problem);
    EXPECT_EQ(restored.PointCount(), 4);
    EXPECT_EQ(torn, 4);
    EXPECT_EQ(restored.PointTime(3), live.PointTime(3));
    EXPECT_FALSE(restored.Info.Duration.startsWith(u'-'));
}

// Found by fuzzing: a journal whose quantity name held a TAB (escaped, or an
// escape of no hex digits such as "%@9") gave a document whose saved file
// had one column too many in its names line; the file did not open again
// with its points.
TEST_F(JournalTest, ANameWithATabStillSavesAFileThatOpensWithItsPoints) {
    const auto sealed = [](const QByteArray& body) {
        return body + '\t' + QByteArray::number(qChecksum(body), 16).rightJustified(4, '0') + '\n';
    };
    for (const QByteArray& name : {QByteArray("Temp%09inne"), QByteArray("-%@926")}) {
        SCOPED_TRACE(name.constData());
        const QString path = Path("tab.t58.part");
        WriteAll(path, "TR58-JOURNAL 1\n" + sealed("Q\t0\t2\t" + name + "\tC\tRH\t%25") +
                           sealed("@46000.5\t20.5\t40") + sealed("@46000.75\t20.6\t41"));
        Document restored;
        QString problem;
        ASSERT_TRUE(ReadJournal(path, restored, problem)) << qPrintable(problem);
        ASSERT_EQ(restored.QuantityCount(), 2);
        EXPECT_FALSE(restored.Quantity(0).Name.contains(u'\t'));
        EXPECT_EQ(restored.Quantity(1).Unit, QStringLiteral("%"));
        ASSERT_EQ(restored.PointCount(), 2);
        ASSERT_TRUE(SaveDocumentFile(restored, Path("tab.t58"), DocumentFileType::T58));
        Document reopened;
        QString key;
        ASSERT_TRUE(t58FormatOpen(reopened, Path("tab.t58"), nullptr, &key)) << qPrintable(key);
        EXPECT_EQ(reopened.QuantityCount(), 2);
        EXPECT_EQ(reopened.PointCount(), 2);
        EXPECT_EQ(reopened.Quantity(0).Name, restored.Quantity(0).Name);
    }
}

TEST_F(JournalTest, AnUnknownVersionOrNoJournalIsRefusedWithAClearText) {
    RecordingJournal journal;
    const QString path = Path("v.t58.part");
    Record(journal, path, 2);
    journal.Close();
    QByteArray bytes = ReadAll(path);
    bytes.replace(0, bytes.indexOf('\n'), "TR58-JOURNAL 2");
    WriteAll(path, bytes);
    Document document;
    QString problem;
    EXPECT_FALSE(ReadJournal(path, document, problem));
    EXPECT_EQ(problem, StringTable::Text(Str::kJournalUnknownVersion).arg("2"));
    EXPECT_EQ(document.PointCount(), 0) << "nothing guessed at";

    EXPECT_FALSE(ReadJournal(Path("missing.t58.part"), document, problem));
    EXPECT_EQ(problem, StringTable::Text(Str::kJournalMissing));

    live.bRealTime = false;
    ASSERT_TRUE(SaveDocumentFile(live, Path("a.t58"), DocumentFileType::T58));
    EXPECT_FALSE(ReadJournal(Path("a.t58"), document, problem));
    EXPECT_EQ(problem, StringTable::Text(Str::kJournalNotAJournal));

    // The quantities' record damaged: no reading can be placed.
    bytes = ReadAll(path);
    bytes.replace("TR58-JOURNAL 2", "TR58-JOURNAL 1");
    bytes[bytes.indexOf("\nQ\t") + 4] = 'x';
    WriteAll(path, bytes);
    EXPECT_FALSE(ReadJournal(path, document, problem));
    EXPECT_EQ(problem, StringTable::Text(Str::kJournalNotAJournal));
}

TEST_F(JournalTest, AppendWritesEveryPointOnceAndAFinishedJournalIsGone) {
    RecordingJournal journal;
    const QString path = Path("once.t58.part");
    Record(journal, path, 3);
    ASSERT_TRUE(journal.Append(live, 0)) << "asked again from the start";
    const qint32 before = live.PointCount();
    Poll(4);
    Poll(5);
    ASSERT_TRUE(journal.Append(live, before + 1)) << "a point left out is written too";
    Document restored;
    QString problem;
    ASSERT_TRUE(ReadJournal(path, restored, problem));
    ExpectSameReadings(live, restored);

    EXPECT_TRUE(QFile::exists(JournalLockPath(path)));
    journal.Finish();
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(JournalLockPath(path)));
}

TEST_F(JournalTest, BeginNeverWritesOverAJournalLeftBehind) {
    const QString path = Path("left.t58.part");
    WriteAll(path, "TR58-JOURNAL 1\nreadings of a run that was never recovered\n");
    FirstReply();
    RecordingJournal journal;
    QString problem;
    EXPECT_FALSE(journal.Begin(path, live, &problem));
    EXPECT_EQ(problem, StringTable::Text(Str::kJournalExists).arg(QDir::toNativeSeparators(path)));
    EXPECT_FALSE(journal.IsOpen());
    EXPECT_EQ(ReadAll(path), "TR58-JOURNAL 1\nreadings of a run that was never recovered\n");
    EXPECT_FALSE(QFile::exists(JournalLockPath(path))) << "the lock is given back";
}

TEST_F(JournalTest, UnfinishedJournalsAreThoseNoRunningProgramHolds) {
    FirstReply();
    EXPECT_TRUE(UnfinishedJournals().isEmpty());
    EXPECT_TRUE(JournalFolder().startsWith(home.path())) << qPrintable(JournalFolder());

    RecordingJournal running;
    const QString held = NewJournalPath();
    ASSERT_TRUE(running.Begin(held, live));
    EXPECT_NE(NewJournalPath(), held);
    EXPECT_TRUE(UnfinishedJournals().isEmpty()) << "recorded into by this live program";

    // A program killed while recording: its lock names a process that is gone.
    const QString killed = QDir(JournalFolder()).filePath("killed.t58.part");
    {
        RecordingJournal other;
        ASSERT_TRUE(other.Begin(killed, live));
        other.Close();
    }
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    WriteAll(JournalLockPath(killed), QByteArray::number(deadPid) + "\ntr58link\n" +
                                          QSysInfo::machineHostName().toUtf8() + '\n');
    EXPECT_EQ(UnfinishedJournals(), QStringList{killed});

    // Taken over by the window that shows it: no longer offered.
    RecordingJournal restored;
    ASSERT_TRUE(restored.Reopen(killed));
    EXPECT_TRUE(UnfinishedJournals().isEmpty());
    restored.Close();
    EXPECT_EQ(UnfinishedJournals(), QStringList{killed});
    restored.Reopen(killed);
    restored.Finish();
    EXPECT_FALSE(QFile::exists(killed));

    running.Close();
    EXPECT_EQ(UnfinishedJournals(), QStringList{held});
}
