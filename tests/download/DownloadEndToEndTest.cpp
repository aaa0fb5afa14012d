// tr58 download, convert and delete against tr58sim over TCP: the files the
// tool saves hold exactly the data the simulator generated.
#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/T58File.h"
#include "sim/SimFile.h"
#include "support/SimProcess.h"

namespace {

// The simulated memory: a file with missing readings, a small one, and a
// second file of the same name (saved as "Frys (2).t58").
const QStringList kFiles = {"Frys:300:3:X", "Lager:40:2", "Frys:25:1:L"};

QStringList SimArguments() {
    QStringList args;
    for (const QString& file : kFiles) args << "--file" << file;
    return args;
}

SimFile Generated(int index) {
    SimFile file;
    QString error;
    EXPECT_TRUE(ParseSimFile(kFiles.at(index), index, file, error)) << qPrintable(error);
    return file;
}

// The CSV the tool must write for a generated file under a Swedish locale:
// ";" between fields, "," as decimal mark, an empty field for a missing reading.
QString ExpectedSwedishCsv(const SimFile& file) {
    QString text;
    for (const SimQuantity& quantity : file.quantities)
        text += QStringLiteral(";\"%1, %2\"")
                    .arg(CleanInstrumentText(DecodeInstrumentBytes(quantity.name)),
                         CleanInstrumentText(DecodeInstrumentBytes(quantity.unit)));
    text += QStringLiteral("\r\n");
    for (int i = 0; i < file.lines; ++i) {
        const QList<QByteArray> fields = file.DataLine(i).split('\t');
        text += file.PointTime(i).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        for (int q = 1; q < fields.size(); ++q) {
            text += u';';
            if (fields.at(q) != "----")
                text += QString::fromLatin1(fields.at(q)).replace(u'.', u',');
        }
        text += QStringLiteral("\r\n");
    }
    return text;
}

QString ReadWindows1252(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("(cannot open %1)").arg(path);
    return DecodeWindows1252(file.readAll());
}

// An export of the tool under a UTF-8 locale: UTF-8 after the byte-order mark.
QString ReadUtf8Csv(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("(cannot open %1)").arg(path);
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("\xEF\xBB\xBF")) return QStringLiteral("(no byte-order mark)");
    return QString::fromUtf8(bytes.mid(3));
}

// The tool runs under the locale of its environment.
class SwedishEnvironment {
public:
    SwedishEnvironment() : saved_(qgetenv("LC_ALL")) { qputenv("LC_ALL", "sv_SE.UTF-8"); }
    ~SwedishEnvironment() { qputenv("LC_ALL", saved_); }

private:
    QByteArray saved_;
};

}  // namespace

TEST(DownloadEndToEnd, DownloadsEveryFileAndConvertsToTheGeneratedData) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(SimArguments()));
    QTemporaryDir dir;
    {
        QFile taken(dir.filePath("Lager.t58"));  // never replaced
        ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
        taken.write("mine");
    }
    SwedishEnvironment swedish;
    const ToolRun download =
        RunTool({"--host", sim.TcpAddress(), "download", "--all", "-o", dir.path()});
    ASSERT_EQ(download.exitCode, 0) << qPrintable(download.err);
    EXPECT_EQ(download.out.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{dir.filePath("Frys.t58"), dir.filePath("Lager (2).t58"),
                           dir.filePath("Frys (2).t58")}));
    EXPECT_EQ(ReadWindows1252(dir.filePath("Lager.t58")), QStringLiteral("mine"));

    for (const auto& [index, name] :
         {std::pair{0, "Frys.t58"}, std::pair{1, "Lager (2).t58"}, std::pair{2, "Frys (2).t58"}}) {
        const QString csv = dir.filePath(QStringLiteral("%1.csv").arg(index));
        const ToolRun convert = RunTool({"convert", dir.filePath(name), csv});
        ASSERT_EQ(convert.exitCode, 0) << qPrintable(convert.err);
        EXPECT_EQ(ReadUtf8Csv(csv), ExpectedSwedishCsv(Generated(index))) << name;
    }

    const ToolRun stats = RunTool({"stats", dir.filePath("Lager (2).t58")});
    ASSERT_EQ(stats.exitCode, 0) << qPrintable(stats.err);
    EXPECT_TRUE(stats.out.startsWith(QStringLiteral("Namn: Lager\n"))) << qPrintable(stats.out);
    EXPECT_TRUE(stats.out.contains(QStringLiteral("Datapunkter:   40\n"))) << qPrintable(stats.out);
    EXPECT_TRUE(stats.out.contains(QStringLiteral("Intervall:     10 s\n")));
}

// Regression: --delete after a range download deleted the whole file, losing
// every reading outside the range.
TEST(DownloadEndToEnd, RangeDownloadKeepsTheFilesAndAWholeDownloadDeletesThem) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(SimArguments()));
    QTemporaryDir dir;
    const SimFile frys = Generated(0);
    const QString from = frys.PointTime(10).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QString to = frys.PointTime(19).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const ToolRun range = RunTool({"--host", sim.TcpAddress(), "download", "0", "1", "--from", from,
                                   "--to", to, "--delete", "-o", dir.path()});
    EXPECT_EQ(range.exitCode, 3) << "not everything asked for was done";
    EXPECT_EQ(range.err.count(QStringLiteral("kept in the instrument")), 2)
        << qPrintable(range.err);
    const ToolRun convert =
        RunTool({"convert", dir.filePath("Frys.t58"), dir.filePath("frys.txt")});
    ASSERT_EQ(convert.exitCode, 0) << qPrintable(convert.err);
    // Ten points of the range, and the header line.
    EXPECT_EQ(ReadWindows1252(dir.filePath("frys.txt")).count(QStringLiteral("\r\n")), 11);
    const ToolRun kept = RunTool({"--host", sim.TcpAddress(), "dir"});
    ASSERT_EQ(kept.exitCode, 0) << qPrintable(kept.err);
    EXPECT_EQ(kept.out.split(u'\n', Qt::SkipEmptyParts).size(), 4) << qPrintable(kept.out);

    // Read whole, the first file goes and the others move down.
    const ToolRun whole =
        RunTool({"--host", sim.TcpAddress(), "download", "0", "--delete", "-o", dir.path()});
    ASSERT_EQ(whole.exitCode, 0) << qPrintable(whole.err);
    const ToolRun dir1 = RunTool({"--host", sim.TcpAddress(), "dir"});
    ASSERT_EQ(dir1.exitCode, 0) << qPrintable(dir1.err);
    const QStringList lines = dir1.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << qPrintable(dir1.out);
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("0\tLager\t"))) << qPrintable(lines.at(1));
    EXPECT_TRUE(lines.at(2).startsWith(QStringLiteral("1\tFrys\t"))) << qPrintable(lines.at(2));
    EXPECT_TRUE(lines.at(2).endsWith(QStringLiteral("\t25\tno\tyes")));

    const ToolRun refused = RunTool({"--host", sim.TcpAddress(), "delete", "1"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("cannot be deleted")));
}

// Regression: --delete after a download cut at 65000 points deleted the file
// with the 10 readings that were never downloaded.
TEST(DownloadEndToEnd, AFileCutAt65000PointsIsKeptWithDelete) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--file", "Big:65010:1", "--file", "Small:5:1"}));
    QTemporaryDir dir;
    const ToolRun download =
        RunTool({"--host", sim.TcpAddress(), "download", "--all", "--delete", "-o", dir.path()});
    EXPECT_EQ(download.exitCode, 3) << qPrintable(download.err);
    EXPECT_TRUE(download.err.contains(QStringLiteral("file 0 (Big) was not downloaded whole")))
        << qPrintable(download.err);
    const ToolRun listed = RunTool({"--host", sim.TcpAddress(), "dir"});
    ASSERT_EQ(listed.exitCode, 0) << qPrintable(listed.err);
    const QStringList lines = listed.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(listed.out);
    EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("0\tBig\t")));
}

// Regression: a file that the instrument ended before the points dir lists was saved as if it
// were whole, without a word and with status 0.
TEST(DownloadEndToEnd, AFileThatEndsEarlyIsNamedSavedAndKept) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--file", "Frys:300:1", "--fault", "short=100"}));
    for (const bool withDelete : {false, true}) {
        SCOPED_TRACE(withDelete ? "--delete" : "no --delete");
        QTemporaryDir dir;
        QStringList args{"--host", sim.TcpAddress(), "download", "0", "-o", dir.path()};
        if (withDelete) args << "--delete";
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 3) << qPrintable(run.err);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Frys")) && run.err.contains(u"200") &&
                    run.err.contains(u"300"))
            << qPrintable(run.err);
        EXPECT_EQ(run.err.count(QStringLiteral("Frys")), 1) << "named once" << qPrintable(run.err);
        Document saved;
        ASSERT_TRUE(t58FormatOpen(saved, dir.filePath(QStringLiteral("Frys.t58"))));
        EXPECT_EQ(saved.PointCount(), 200);
        const ToolRun listed = RunTool({"--host", sim.TcpAddress(), "dir"});
        EXPECT_TRUE(listed.out.contains(QStringLiteral("0\tFrys\t"))) << qPrintable(listed.out);
    }
}

// Regression: with a slow clock reply, "OK" was read as the directory (one
// file), "delete 0" counted that as every file and the bulk DEL wiped the
// instrument, with exit status 0.
TEST(DownloadEndToEnd, ALateReplyNeverTurnsADeleteIntoABulkDelete) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--file", "A:5:1", "--file", "B:5:1", "--file", "C:5:1", "--fault", "late=TIME:3000"}));
    const ToolRun deleted = RunTool({"--host", sim.TcpAddress(), "delete", "0"});
    ASSERT_EQ(deleted.exitCode, 0) << qPrintable(deleted.err);
    SimProcess failing;
    ASSERT_TRUE(failing.Start({"--file", "A:5:1", "--file", "B:5:1", "--fault", "err=DIR"}));
    for (const QStringList& command : {QStringList{"dir"}, QStringList{"delete", "0"}}) {
        const ToolRun run = RunTool(QStringList{"--host", failing.TcpAddress()} + command);
        EXPECT_EQ(run.exitCode, 1) << qPrintable(command.join(' '));
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_TRUE(run.out.isEmpty()) << qPrintable(run.out);
    }
    // The other two files are still there.
    const ToolRun listed = RunTool({"--host", sim.TcpAddress(), "dir"});
    EXPECT_EQ(listed.out.split(u'\n', Qt::SkipEmptyParts).size(), 3) << qPrintable(listed.out);
}

// Regression: a range time inside the hour the clocks skip in spring was
// refused as a usage error; the instrument's clock knows no such gap.
TEST(DownloadEndToEnd, RangeTimesInsideTheSpringForwardHourAreAccepted) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start(SimArguments()));
    QTemporaryDir dir;
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Stockholm");  // for the tool
    const ToolRun download =
        RunTool({"--host", sim.TcpAddress(), "download", "0", "--from", "2026-03-29 02:30:00",
                 "--to", "2026-03-29 02:59:59", "-o", dir.path()});
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    EXPECT_EQ(download.exitCode, 0) << qPrintable(download.err);
}

TEST(DownloadEndToEnd, CommandLineMistakesExitWithTwo) {
    EXPECT_EQ(RunTool({"download"}).exitCode, 2);
    EXPECT_EQ(RunTool({"download", "1", "--all"}).exitCode, 2);
    EXPECT_EQ(RunTool({"download", "--all", "--from", "2026-01-01 00:00:00"}).exitCode, 2);
    EXPECT_EQ(RunTool({"download", "--all", "--from", "yesterday", "--to", "today"}).exitCode, 2);
    EXPECT_EQ(RunTool({"delete"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58"}).exitCode, 2);
    EXPECT_EQ(RunTool({"convert", "a.t58", "b.xls"}).exitCode, 2);
    const ToolRun missing = RunTool({"stats", "/nonexistent/a.t58"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty());
}

// Regression: Ctrl+C during a download ended the tool with exit status 1 and
// no word about why.
TEST(DownloadEndToEnd, CtrlCDuringADownloadSaysItWasCancelled) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--baud", "19200"}));  // the 70000-point file takes many minutes
    QTemporaryDir dir;
    QProcess tool;
    tool.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"),
               {"--host", sim.TcpAddress(), "download", "3", "-o", dir.path()});
    ASSERT_TRUE(tool.waitForStarted());
    QThread::sleep(6);  // well into the transfer
    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_TRUE(
        QString::fromUtf8(tool.readAllStandardError()).contains(QStringLiteral("cancelled")));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "nothing half-saved";
}
