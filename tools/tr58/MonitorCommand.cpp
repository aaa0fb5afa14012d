// tr58 monitor: the real-time window on the command line. It polls the
// instrument as the program does ("SEND n" once, then "SEND" on the same
// timer rules), prints each reading, and with -o keeps every reading in a
// journal (FILE.t58.part, flushed to the disk before the next poll) until the
// run ends and FILE.t58 is written.
#include "MonitorCommand.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "CliSession.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "document/DocumentTexts.h"
#include "document/PointTime.h"
#include "realtime/RealTimeSession.h"
#include "realtime/RealTimeTimer.h"
#include "realtime/RecordingJournal.h"

namespace {

// The interval's unit as the settings dialog groups its intervals: seconds
// below a minute, minutes below an hour, hours from there.
qint16 UnitOfSeconds(qint32 seconds) {
    if (seconds < 60) return 2;
    return seconds < 3600 ? 4 : 8;
}

QString ReadingLine(const Document& document, qint32 i) {
    QString line = FullTimeText(document.PointTime(i));
    for (int q = 0; q < document.QuantityCount(); ++q) {
        const PointValue value = document.Value(i, q);
        line += QLatin1Char('\t');
        if (value.Valid) line += PointDecimalText(value.Value, document.GetDecs(q));
    }
    return line + QLatin1Char('\n');
}

QString HeaderLine(const Document& document) {
    QString line = QStringLiteral("time");
    for (const QuantityInfo& quantity : document.Quantities())
        line += QStringLiteral("\t%1 [%2]").arg(quantity.Name, quantity.Unit);
    return line + QLatin1Char('\n');
}

}  // namespace

const char kMonitorSynopsis[] =
    "monitor [--interval SECONDS] [--count N] [-o FILE.t58 [--force]]\n"
    "      Polls the instrument like the real-time window (\"SEND SECONDS\", then \"SEND\")\n"
    "      and prints one TAB-separated line per reading: the time, then the quantities\n"
    "      shown (choose them with units set). Stops after N readings, at Ctrl+C, or when\n"
    "      the instrument stops answering (exit 1). SECONDS defaults to TR58 Link's\n"
    "      real-time interval. With -o every reading is first kept in FILE.t58.part,\n"
    "      flushed to the disk before the next poll; at the end FILE.t58 is written and\n"
    "      the .part file removed. A run that is killed leaves FILE.t58.part: see recover.\n"
    "      Example: tr58 --host 10.0.0.5 monitor --interval 60 -o coldroom.t58";

bool ParseMonitorArguments(const QStringList& args, MonitorRequest& request, QString& error) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const auto value = [&](qint32 low, qint32 high, qint32& into) {
            bool ok = false;
            into = args.value(++i).toInt(&ok);
            return ok && into >= low && into <= high;
        };
        if (arg == QLatin1String("--interval")) {
            if (!value(1, kLongestInterval, request.interval)) {
                error = QStringLiteral("--interval takes whole seconds from 1 to %1")
                            .arg(kLongestInterval);
                return false;
            }
        } else if (arg == QLatin1String("--count")) {
            if (!value(1, kMaxPoints, request.count)) {
                error = QStringLiteral("--count takes a number of readings from 1 to %1")
                            .arg(kMaxPoints);
                return false;
            }
        } else if (arg == QLatin1String("-o") && i + 1 < args.size()) {
            request.output = args.at(++i);
        } else if (arg == QLatin1String("--force")) {
            request.force = true;
        } else {
            error = QStringLiteral("monitor: unexpected \"%1\"").arg(arg);
            return false;
        }
    }
    if (!request.output.isEmpty() &&
        !request.output.endsWith(QLatin1String(".t58"), Qt::CaseInsensitive)) {
        error = QStringLiteral("-o names a .t58 file");
        return false;
    }
    return true;
}

int RunMonitor(CliSession& session, const QStringList& args) {
    MonitorRequest request;
    request.interval = session.Settings().ReadInt(QStringLiteral("LastInterval"), 5);
    if (request.interval < 1 || request.interval > kLongestInterval) request.interval = 5;
    QString error;
    if (!ParseMonitorArguments(args, request, error)) return CliSession::Usage(error);
    const qint32 interval = request.interval;
    const qint32 count = request.count;
    const QString& output = request.output;
    const bool force = request.force;

    const QString journalPath = output + QStringLiteral(".part");
    if (!output.isEmpty()) {
        if (QFileInfo::exists(journalPath))
            return CliSession::Failure(
                QStringLiteral("%1 holds the readings of an earlier run that did not end; "
                               "turn it into a file with \"tr58 recover %1\" first")
                    .arg(journalPath));
        if (QFileInfo::exists(output) && !force)
            return CliSession::Failure(
                QStringLiteral("%1 exists; --force writes over it").arg(output));
    }

    Link& link = session.GetLink();
    if (!link.WaitLinkIdle()) return Exit::kFailed;
    Document document;
    QtRealTimeTimer timer;
    RealTimeWindow window;
    RealTimeSession monitor(link, document, timer, window);
    monitor.SetInterval(interval, UnitOfSeconds(interval));

    RecordingJournal journal;
    bool journalFailed = false;  // a write failed at some time (said; the status says it too)
    bool journalBehind = false;  // the last write failed: the newest readings are on no disk
    qint32 readings = 0;
    monitor.onPointsAdded = [&](qint32 from) {
        // Onto the disk first: a reading the user has seen is never one a
        // killed run loses. A write that failed is tried again with every
        // reading: a disk full for a moment must not leave days of readings
        // out of the journal. The journal catches up with all it missed.
        if (!output.isEmpty()) {
            QString problem;
            const bool kept = journal.IsOpen() ? journal.Append(document, from)
                                               : journal.Begin(journalPath, document, &problem);
            if (!kept && !journalBehind) {
                // The readings still reach the screen; the user must know they
                // are no longer safe on the disk.
                CliSession::Failure(QStringLiteral("the readings cannot be kept in %1%2")
                                        .arg(journalPath, problem.isEmpty()
                                                              ? QString()
                                                              : QStringLiteral(": ") + problem));
            } else if (kept && journalBehind) {
                std::fprintf(stderr, "tr58: the readings are kept in %s again, all of them\n",
                             qUtf8Printable(journalPath));
            }
            journalBehind = !kept;
            journalFailed = journalFailed || !kept;
        }
        if (from == 0) CliSession::Print(HeaderLine(document));
        for (qint32 i = from; i < document.PointCount(); ++i)
            CliSession::Print(ReadingLine(document, i));
        // Each reading as it comes, also into a pipe or a file.
        std::fflush(stdout);
        readings = document.PointCount();
    };

    // The program's window keeps polling an instrument that stopped
    // answering; the tool ends, as its help says, after the first poll that
    // got no answer in its whole time.
    bool unanswered = false;
    monitor.onPollUnanswered = [&] { unanswered = true; };

    if (!monitor.Open()) return Exit::kFailed;

    // Runs until the count is reached, Ctrl+C, or the instrument stops it.
    QEventLoop loop;
    QTimer watch;
    bool stoppedByUs = false;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (document.bCommunicate) return;  // never in the middle of a poll
        const bool done = count > 0 && readings >= count;
        if (document.bRealTime && (done || unanswered || session.Interrupted())) {
            stoppedByUs = true;
            monitor.StopReal();
        }
        if (!document.bRealTime) loop.quit();
    });
    watch.start(50);
    loop.exec();
    watch.stop();
    if (link.State().OpenPort != 0) link.CloseLink();

    int status = stoppedByUs || document.PointCount() >= kMaxPoints ? Exit::kOk : Exit::kFailed;
    if (unanswered && !(count > 0 && readings >= count) && !session.Interrupted()) {
        CliSession::Failure(
            QStringLiteral("the instrument did not answer a poll; monitoring stopped"));
        status = Exit::kFailed;
    }
    if (!output.isEmpty()) {
        if (!SaveDocumentFile(document, output, DocumentFileType::T58)) {
            journal.Close();
            // The journal holds every reading unless its last write failed.
            return CliSession::Failure(
                journalBehind
                    ? QStringLiteral("%1 cannot be written, and the readings could not be kept "
                                     "in %2 either; they are only in the lines printed above")
                          .arg(output, journalPath)
                    : QStringLiteral("%1 cannot be written; the readings are kept in %2")
                          .arg(output, journalPath));
        }
        // The file holds every reading: the journal has done its work.
        if (journal.IsOpen()) journal.Finish();
        std::fprintf(stderr, "tr58: %d readings saved in %s\n", document.PointCount(),
                     qUtf8Printable(output));
    }
    if (journalFailed) status = Exit::kFailed;
    return status;
}
