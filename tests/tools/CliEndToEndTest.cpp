// tr58 against tr58sim over real TCP on loopback and a real pseudo-terminal
// through QSerialPort: the whole path a user takes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTemporaryDir>
#include <optional>

#include "base/ProgramLanguage.h"
#include "base/StringTable.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "link/SerialLinkPort.h"
#include "support/SimProcess.h"

namespace {

const QString kDirHeader = QStringLiteral("number\tname\tfirst point\tpoints\tdeletable\trange");

void ExpectDefaultDirectory(const ToolRun& run) {
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << qPrintable(run.out);
    EXPECT_EQ(lines.at(0), kDirHeader);
    EXPECT_EQ(lines.at(1), QStringLiteral("0\tLab 1\t2026-11-02 08:00:00\t1000\tyes\tyes"));
    EXPECT_EQ(lines.at(2),
              QStringLiteral("1\tKylrum Öst [I]\t2026-10-30 08:00:00\t2500\tyes\tyes"));
    EXPECT_EQ(lines.at(3), QStringLiteral("2\tManuell\t2026-10-23 09:00:00\t12\tno\tno"));
    EXPECT_EQ(lines.at(4), QStringLiteral("3\tLogg:2026/11\t2026-11-01 08:00:00\t70000\tyes\tyes"));
    EXPECT_EQ(lines.at(5), QStringLiteral("4\tLager\t2026-09-23 08:00:00\t720\tyes\tno"));
}

void ExpectInfo(const ToolRun& run) {
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, QStringLiteral("type\tTR58 PT-5\nversion\tSW 2.14\n"
                                      "instrument serial number\tT2640117\n"
                                      "probe serial number\tP5310862\n"
                                      "calibration date\t2026-03-14\n"));
}

// A saved document of one quantity: no points, or two.
QString SaveClimateFile(const QString& path, bool withPoints) {
    Document document;
    document.SetQuantityCount(1);
    document.Property(QStringLiteral("\tT"));
    document.Unit(QStringLiteral("\tC"));
    document.Title = QStringLiteral("Källare");
    if (withPoints) {
        document.MeasToStruct(QStringLiteral("26-11-02 08:00:00\t4.5"));
        document.MeasToStruct(QStringLiteral("26-11-02 08:01:00\t4.6"));
    }
    EXPECT_TRUE(SaveDocumentFile(document, path, DocumentFileType::T58));
    return path;
}

// The tool run by an ordinary user: root reads every file whatever its
// permissions. Nothing when that cannot be arranged here.
std::optional<ToolRun> RunToolAsOrdinaryUser(const QStringList& args) {
    QProcess tool;
    // In the language the test reads its texts in, as RunTool does.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kLanguageVariable), StringTable::Language());
    tool.setProcessEnvironment(env);
    if (geteuid() == 0) {
        if (!QFileInfo::exists(QStringLiteral("/usr/bin/setpriv"))) return std::nullopt;
        tool.start(QStringLiteral("/usr/bin/setpriv"),
                   QStringList{"--reuid=65534", "--regid=65534", "--clear-groups",
                               QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58")} +
                       args);
    } else {
        tool.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"), args);
    }
    if (!tool.waitForFinished(120000)) return std::nullopt;
    ToolRun run;
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

}  // namespace

TEST(CliEndToEnd, DirAndInfoOverTcp) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    ExpectDefaultDirectory(RunTool({"--host", sim.TcpAddress(), "dir"}));
    ExpectInfo(RunTool({"--host", sim.TcpAddress(), "info"}));
}

TEST(CliEndToEnd, DirAndInfoOverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    ExpectDefaultDirectory(RunTool({"--device", sim.PtyPath(), "dir"}));
    ExpectInfo(RunTool({"--device", sim.PtyPath(), "info"}));
}

TEST(CliEndToEnd, InfoWithoutAProbeShowsTheNoProbeText) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--no-probe"}));
    const ToolRun run = RunTool({"--host", sim.TcpAddress(), "info"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.contains(QStringLiteral("version\t(Ingen mätprob ansluten)\n")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("probe serial number\t\n")));
}

TEST(CliEndToEnd, SilentInstrumentOnAReachableHostIsNoWrongAddress) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--fault", "silent"}));
    const ToolRun run = RunTool({"--host", sim.TcpAddress(), "dir"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("the LAN host 127.0.0.1 accepted the connection")))
        << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QStringLiteral("IP address"))) << qPrintable(run.err);
    EXPECT_TRUE(run.out.isEmpty());
}

TEST(CliEndToEnd, RefusedHostIsTheAddressToCheck) {
    QTcpServer closed;  // a loopback port where nothing listens
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    const ToolRun run = RunTool({"--host", address, "dir"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot connect to the LAN host 127.0.0.1")))
        << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("IP address"))) << qPrintable(run.err);
}

TEST(CliEndToEnd, DeviceThatIsNoSerialPortSaysWhatTheSystemSaid) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("notes.txt"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString& path : {file, QStringLiteral("/dev/null"), folder.path()}) {
        const ToolRun run = RunTool({"--device", path, "dir"});
        EXPECT_EQ(run.exitCode, 1) << qPrintable(path);
        EXPECT_TRUE(run.err.contains(QStringLiteral("cannot open %1: ").arg(path)))
            << qPrintable(run.err);
        EXPECT_FALSE(run.err.contains(QStringLiteral("COM1"))) << qPrintable(run.err);
    }
}

TEST(CliEndToEnd, BusyDeviceIsNamedByItsPath) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start());
    SerialLinkPort holder;  // another program has the port
    ASSERT_EQ(holder.Open(PortTarget{1, sim.PtyPath(), {}, 23}), PortError::kNone);
    const ToolRun run = RunTool({"--device", sim.PtyPath(), "dir"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot use %1").arg(sim.PtyPath())))
        << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(QStringLiteral("another program"))) << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QStringLiteral("COM1"))) << qPrintable(run.err);
}

TEST(CliEndToEnd, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunTool({"--port", "0", "dir"}).exitCode, 2);
    EXPECT_EQ(RunTool({"--host"}).exitCode, 2);
    EXPECT_EQ(RunTool({"--port", "3", "frobnicate"}).exitCode, 2);
    EXPECT_EQ(RunTool({"dir", "extra"}).exitCode, 2);
    // A file number is digits: a negative number hidden behind white space is no file.
    EXPECT_EQ(RunTool({"--port", "3", "download", "\f-8"}).exitCode, 2);
    EXPECT_EQ(RunTool({"--port", "3", "delete", "+1"}).exitCode, 2);
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"dir", "info", "raw"})
        EXPECT_TRUE(help.out.contains(QStringLiteral("  %1").arg(command))) << command;
}

// Regression: "ERR" replies were printed as the type and the calibration
// date with exit status 0, and a reply that never came ended the tool with
// exit status 1 and no word.
TEST(CliEndToEnd, InfoFromARefusingOrSilentInstrumentFailsWithAMessage) {
    for (const char* fault : {"err", "silent-after=2"}) {
        SCOPED_TRACE(fault);
        SimProcess sim;
        ASSERT_TRUE(sim.Start({"--fault", fault}));
        const ToolRun run = RunTool({"--host", sim.TcpAddress(), "info"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.out.contains(QStringLiteral("ERR"))) << qPrintable(run.out);
        EXPECT_TRUE(run.err.contains(QStringLiteral("tr58: "))) << qPrintable(run.err);
    }
}

// Regression: a folder or a file the user may not read was reported as a file
// that cannot be found.
TEST(CliEndToEnd, StatsAndConvertSayWhyAFileCannotBeRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folderText = StringTable::Text(6047);
    for (const QString& command : {QStringLiteral("stats"), QStringLiteral("convert")}) {
        QStringList args{command, dir.path()};
        if (command == QLatin1String("convert")) args << dir.filePath(QStringLiteral("out.csv"));
        const ToolRun folder = RunTool(args);
        EXPECT_EQ(folder.exitCode, 1);
        EXPECT_TRUE(folder.err.contains(folderText)) << qPrintable(folder.err);
    }

    // Readable by its owner only, in a folder everybody may look into.
    const QString locked = SaveClimateFile(dir.filePath(QStringLiteral("locked.t58")), true);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    QFile::setPermissions(locked, geteuid() == 0 ? QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                 : QFileDevice::Permissions());
    const std::optional<ToolRun> unreadable = RunToolAsOrdinaryUser({"stats", locked});
    if (!unreadable) GTEST_SKIP() << "no way to run the tool as an ordinary user";
    EXPECT_EQ(unreadable->exitCode, 1);
    EXPECT_TRUE(unreadable->err.contains(StringTable::Text(6046))) << qPrintable(unreadable->err);
    EXPECT_FALSE(unreadable->err.contains(StringTable::Text(5093)));
}

// A document without points (a saved empty download) opens for stats and
// convert like any other.
TEST(CliEndToEnd, StatsAndConvertOfADocumentWithoutPoints) {
    QTemporaryDir dir;
    const QString file = SaveClimateFile(dir.filePath(QStringLiteral("empty.t58")), false);
    const ToolRun stats = RunTool({"stats", file});
    ASSERT_EQ(stats.exitCode, 0) << qPrintable(stats.err);
    EXPECT_TRUE(stats.out.contains(QStringLiteral("Källare"))) << qPrintable(stats.out);
    const QString txt = dir.filePath(QStringLiteral("empty.txt"));
    const ToolRun convert = RunTool({"convert", file, txt});
    ASSERT_EQ(convert.exitCode, 0) << qPrintable(convert.err);
    QFile exported(txt);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(), QByteArray("\tT, C\r\n"));
}
