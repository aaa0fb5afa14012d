// The fault matrix: every fault tr58sim can inject against every tr58 command
// that talks to the instrument, over real TCP, each cell with a simulator of
// its own. A cell passes when the tool ends within the time the protocol
// allows, its exit status tells the truth, a failure says why on standard
// error, every file it leaves holds the whole of its instrument file, and the
// instrument lost no file that was not saved whole first.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "document/Document.h"
#include "document/T58File.h"
#include "support/LinkTimeBounds.h"
#include "support/SimProcess.h"

namespace {

using namespace LinkTimeBounds;

// Starting the tool and the simulator, and the work of the tool itself
// (parsing, saving) on a machine whose two cores the other cells share.
constexpr double kProcessMargin = 10.0;

// The simulator's memory for the matrix: three small files, every one
// deletable, so that "download --all --delete" can succeed; one with missing
// values and eight quantities, one without date/time range support.
const QStringList kMemory = {"--file",         "Lab 1:400:3", "--file",
                             "Kylrum:900:8:X", "--file",      "Lager:300:2:N"};
constexpr int kFileCount = 3;
constexpr int kMonitorReadings = 3;
constexpr int kMonitorInterval = 1;  // seconds

enum class Kind { Info, Dir, Download, Delete, Monitor };

struct MatrixCommand {
    const char* label;
    Kind kind;
    QStringList args;
    // The command the late-reply fault delays: the first the tool sends
    // after opening (TIME comes before DIR and SEND n).
    const char* lateCommand;
    int shortCommands;  // TIME, DIR, VERS, SNUM, CAL
    int longCommands;   // PLAY, DEL, SEND n
    int polls;          // SEND polls (monitor)
    bool all = false;
    bool deleteAfter = false;
};

// A command's whole time: its commands on one opening (the link's times, see
// LinkTimeBounds.h). The monitor's polls come on top: a poll that fails closes
// the link and the next poll opens it again, so every poll may cost an
// opening, its reply time and an EXIT; between polls the interval passes.
double BoundSeconds(const MatrixCommand& c) {
    double bound = Sequence(c.shortCommands, c.longCommands);
    bound += c.polls * (kOpen + kLongCommand + kExit + kMonitorInterval);
    return bound + kProcessMargin;
}

const std::vector<MatrixCommand>& Commands() {
    static const std::vector<MatrixCommand> commands = {
        {"info", Kind::Info, {"info"}, "VERS", 3, 0, 0},
        {"dir", Kind::Dir, {"dir"}, "TIME", 2, 0, 0},
        {"download 1", Kind::Download, {"download", "1"}, "TIME", 2, 1, 0},
        {"download --all", Kind::Download, {"download", "--all"}, "TIME", 2, kFileCount, 0, true},
        // Deleting after the download: one DEL per file at most.
        {"download --all --delete",
         Kind::Download,
         {"download", "--all", "--delete"},
         "TIME",
         2,
         2 * kFileCount,
         0,
         true,
         true},
        {"delete 1", Kind::Delete, {"delete", "1"}, "TIME", 2, 1, 0},
        // TIME, SEND n, then the polls after the first reading.
        {"monitor --count 3",
         Kind::Monitor,
         {"monitor", "--interval", QString::number(kMonitorInterval), "--count",
          QString::number(kMonitorReadings)},
         "TIME",
         1,
         1,
         kMonitorReadings - 1},
    };
    return commands;
}

struct MatrixFault {
    const char* label;
    QStringList args;  // "%LATE" stands for the command the late reply delays
};

const std::vector<MatrixFault>& Faults() {
    static const std::vector<MatrixFault> faults = {
        {"none", {}},
        {"silent", {"--fault", "silent"}},
        {"silent-after=3", {"--fault", "silent-after=3"}},
        {"err", {"--fault", "err"}},
        {"gone", {"--fault", "gone"}},
        {"garble=5", {"--fault", "garble=5"}},
        {"no-end-mark", {"--fault", "no-end-mark"}},
        {"drop=100", {"--fault", "drop=100"}},
        // The connection closes in the middle of the first PLAY reply.
        {"closed mid-PLAY", {"--fault", "drop=3000"}},
        {"recording", {"--fault", "recording"}},
        {"idle-close=1", {"--fault", "idle-close=1"}},
        {"send-err-after=1", {"--fault", "send-err-after=1"}},
        {"send-silent-after=1", {"--fault", "send-silent-after=1"}},
        {"--no-probe", {"--no-probe"}},
        {"--delay 1500", {"--delay", "1500"}},
        {"--delay 2500", {"--delay", "2500"}},
        {"late=CMD:3000", {"--fault", "late=%LATE:3000"}},
    };
    return faults;
}

// What a clean simulator holds: "tr58 dir" and "tr58 info" on it.
struct Reference {
    QString dirOut;
    QString infoOut;
    QStringList names;          // by file number
    QMap<QString, int> points;  // by name
};

struct Cell {
    const MatrixFault* fault = nullptr;
    const MatrixCommand* command = nullptr;
    ToolRun run;
    double seconds = 0;
    double bound = 0;
    bool timedOut = false;
    QStringList memoryAfter;
    QStringList problems;
};

// The files the simulator holds after the cell: the last "files" line of its
// --verbose log, or the whole memory when nothing was deleted.
QStringList MemoryAfter(const QString& log, const QStringList& before) {
    QStringList memory = before;
    for (const QString& line : log.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("tr58sim: files"))) continue;
        memory = line.mid(QStringLiteral("tr58sim: files").size())
                     .split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    }
    return memory;
}

qint32 PointsInFile(const QString& path, bool& readable) {
    Document document;
    readable = t58FormatOpen(document, path);
    return readable ? document.PointCount() : -1;
}

// The verdict: every way the cell's outcome could be untrue.
void Judge(Cell& cell, const Reference& ref, const QDir& out) {
    const MatrixCommand& c = *cell.command;
    const ToolRun& run = cell.run;
    QStringList& problems = cell.problems;
    const int status = run.exitCode;
    if (cell.timedOut) {
        problems << QStringLiteral("no end within %1 s").arg(cell.bound, 0, 'f', 0);
        return;
    }
    if (status < 0) {
        problems << QStringLiteral("crashed");
        return;
    }
    const bool mayBePartial = c.kind == Kind::Download && c.deleteAfter;
    if (status != 0 && status != 1 && !(status == 3 && mayBePartial))
        problems << QStringLiteral("status %1 means nothing here").arg(status);
    if (status != 0 && !run.err.contains(QLatin1String("tr58: ")))
        problems << QStringLiteral("status %1 without a message").arg(status);

    // Every file left in the output folder must be whole.
    QMap<QString, qint32> saved;  // name -> points, of the whole files
    for (const QFileInfo& file : out.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (c.kind == Kind::Monitor) {
            if (file.fileName() != QLatin1String("monitor.t58")) {
                if (status == 0 || !file.fileName().endsWith(QLatin1String(".part")))
                    problems << QStringLiteral("stray file %1").arg(file.fileName());
            }
            continue;
        }
        bool readable = false;
        const qint32 points = PointsInFile(file.filePath(), readable);
        const QString name = file.completeBaseName();
        if (!readable)
            problems << QStringLiteral("unreadable file %1").arg(file.fileName());
        else if (!ref.points.contains(name))
            problems << QStringLiteral("stray file %1").arg(file.fileName());
        else if (points != ref.points.value(name))
            problems << QStringLiteral("%1 holds %2 of %3 points")
                            .arg(file.fileName())
                            .arg(points)
                            .arg(ref.points.value(name));
        else
            saved.insert(name, points);
    }
    // A path the tool printed is a file it saved.
    if (c.kind == Kind::Download) {
        for (const QString& line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (!saved.contains(QFileInfo(line).completeBaseName()))
                problems << QStringLiteral("printed %1 but saved no whole file").arg(line);
        }
    }

    // The instrument lost only what it was told to lose, and only after it
    // was saved whole.
    QStringList deleted;
    for (const QString& name : ref.names)
        if (!cell.memoryAfter.contains(name)) deleted << name;
    for (const QString& name : deleted) {
        const bool asked = c.kind == Kind::Delete && name == ref.names.value(1);
        const bool downloadedWhole = c.deleteAfter && saved.contains(name);
        if (!asked && !downloadedWhole)
            problems << QStringLiteral("%1 deleted in the instrument").arg(name);
    }

    // Status 0: everything asked for was done.
    if (status == 0) {
        switch (c.kind) {
            case Kind::Info: {
                // Without a probe the type, the version and the probe's
                // number differ; the instrument's number and calibration not.
                const QStringList want = ref.infoOut.split(QLatin1Char('\n'));
                const QStringList got = run.out.split(QLatin1Char('\n'));
                const bool noProbe = cell.fault->args.contains(QLatin1String("--no-probe"));
                if (want.size() != got.size() || want.value(2) != got.value(2) ||
                    want.value(4) != got.value(4) || (!noProbe && run.out != ref.infoOut))
                    problems << QStringLiteral("status 0 with other information");
                break;
            }
            case Kind::Dir:
                if (run.out != ref.dirOut) problems << QStringLiteral("status 0 with another list");
                break;
            case Kind::Download: {
                const QStringList wanted = c.all ? ref.names : QStringList{ref.names.value(1)};
                for (const QString& name : wanted)
                    if (!saved.contains(name))
                        problems << QStringLiteral("status 0 but %1 not saved").arg(name);
                if (c.deleteAfter && !cell.memoryAfter.isEmpty())
                    problems << QStringLiteral("status 0 but %1 kept")
                                    .arg(cell.memoryAfter.join(QLatin1String(", ")));
                break;
            }
            case Kind::Delete:
                if (deleted != QStringList{ref.names.value(1)})
                    problems << QStringLiteral("status 0 but deleted: %1")
                                    .arg(deleted.join(QLatin1String(", ")));
                break;
            case Kind::Monitor: {
                const qsizetype lines = run.out.count(QLatin1Char('\n'));
                bool readable = false;
                const qint32 points = PointsInFile(out.filePath("monitor.t58"), readable);
                if (lines != kMonitorReadings + 1 || points != kMonitorReadings)
                    problems << QStringLiteral("status 0 with %1 lines, %2 points saved")
                                    .arg(lines)
                                    .arg(points);
                break;
            }
        }
    }
    // Status 3: a file was kept in the instrument, and the tool says which.
    if (status == 3 && cell.memoryAfter.isEmpty())
        problems << QStringLiteral("status 3 but every file deleted");
    // A monitor that stopped keeps exactly the readings it printed.
    if (c.kind == Kind::Monitor && status != 0 && out.exists("monitor.t58")) {
        bool readable = false;
        const qint32 points = PointsInFile(out.filePath("monitor.t58"), readable);
        const qsizetype printed = std::max<qsizetype>(0, run.out.count(QLatin1Char('\n')) - 1);
        if (points != printed)
            problems << QStringLiteral("%1 readings printed, %2 saved").arg(printed).arg(points);
    }
}

void RunCell(Cell& cell, const Reference& ref) {
    QStringList simArgs = kMemory + QStringList{"--verbose"};
    for (const QString& arg : cell.fault->args)
        simArgs << QString(arg).replace(QLatin1String("%LATE"),
                                        QLatin1String(cell.command->lateCommand));
    cell.bound = BoundSeconds(*cell.command);
    SimProcess sim;
    if (!sim.Start(simArgs)) {
        cell.problems << QStringLiteral("the simulator did not start");
        return;
    }
    QTemporaryDir dir;
    const QDir out(dir.path());
    QStringList args = QStringList{"--host", sim.TcpAddress()} + cell.command->args;
    if (cell.command->kind == Kind::Download) args << "-o" << dir.path();
    if (cell.command->kind == Kind::Monitor) args << "-o" << out.filePath("monitor.t58");

    QElapsedTimer timer;
    timer.start();
    cell.run = RunTool(args, static_cast<int>(cell.bound * 1000), dir.path());
    cell.seconds = timer.elapsed() / 1000.0;
    cell.timedOut = cell.run.exitCode == -1 && cell.run.err == QLatin1String("timed out");
    cell.memoryAfter = MemoryAfter(sim.Stop(), ref.names);
    Judge(cell, ref, out);
}

bool ReadReference(Reference& ref) {
    SimProcess sim;
    if (!sim.Start(kMemory)) return false;
    const ToolRun dir = RunTool({"--host", sim.TcpAddress(), "dir"});
    const ToolRun info = RunTool({"--host", sim.TcpAddress(), "info"});
    if (dir.exitCode != 0 || info.exitCode != 0) return false;
    ref.dirOut = dir.out;
    ref.infoOut = info.out;
    const QStringList lines = dir.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char('\t'));
        ref.names << fields.value(1);
        ref.points.insert(fields.value(1), fields.value(3).toInt());
    }
    return ref.names.size() == kFileCount;
}

}  // namespace

TEST(FaultMatrix, EveryFaultAgainstEveryCommand) {
    Reference ref;
    ASSERT_TRUE(ReadReference(ref)) << "a clean simulator does not list its files";

    std::vector<Cell> cells;
    for (const MatrixFault& fault : Faults())
        for (const MatrixCommand& command : Commands()) {
            Cell cell;
            cell.fault = &fault;
            cell.command = &command;
            cells.push_back(cell);
        }

    // Eight cells at a time: they spend their time waiting for the protocol's
    // times, not computing.
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 8; ++w) {
        workers.emplace_back([&] {
            for (size_t i = next++; i < cells.size(); i = next++) RunCell(cells[i], ref);
        });
    }
    for (std::thread& worker : workers) worker.join();

    std::printf("\n%-20s %-24s %6s %7s %7s  %s\n", "fault", "command", "status", "seconds", "bound",
                "verdict");
    for (const Cell& cell : cells) {
        std::printf("%-20s %-24s %6d %7.1f %7.0f  %s\n", cell.fault->label, cell.command->label,
                    cell.run.exitCode, cell.seconds, cell.bound,
                    cell.problems.isEmpty() ? "ok" : qPrintable(cell.problems.join("; ")));
    }
    std::fflush(stdout);
    for (const Cell& cell : cells) {
        EXPECT_TRUE(cell.problems.isEmpty())
            << cell.fault->label << " x " << cell.command->label << ": "
            << qPrintable(cell.problems.join(QLatin1String("; ")))
            << "\nstderr: " << qPrintable(cell.run.err);
    }
    // The matrix is no matrix if the instrument without faults fails.
    for (const Cell& cell : cells) {
        if (cell.fault->args.isEmpty()) {
            EXPECT_EQ(cell.run.exitCode, 0) << cell.command->label;
        }
    }
}
