// tr58 dir, info and raw: reading the instrument.
#include <QDateTime>

#include "CliSession.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "download/DirEntry.h"
#include "download/DirectoryReader.h"
#include "instrument/DeviceInformation.h"

namespace {

QString YesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

// The command code for a command line typed by hand: it chooses how long the
// reply may take.
Command::Code CodeFor(const QString& command) {
    const QStringList words = command.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString word = words.value(0).toUpper();
    if (word == QLatin1String("DIR")) return Command::kDir;
    if (word == QLatin1String("PLAY")) return Command::kPlay;
    if (word == QLatin1String("DEL")) return Command::kDel;
    if (word == QLatin1String("SEND"))
        return words.size() > 1 ? Command::kSendFirst : Command::kSendPoll;
    if (word == QLatin1String("UNIT"))
        return words.size() > 1 ? Command::kUnitChange : Command::kUnit;
    if (word == QLatin1String("SNUM")) return Command::kSnum;
    if (word == QLatin1String("CAL")) return Command::kCal;
    if (word == QLatin1String("TIME")) return Command::kTime;
    return Command::kVers;
}

}  // namespace

int RunDir(CliSession& session, const QStringList& args) {
    if (!args.isEmpty()) return CliSession::Usage(QStringLiteral("dir takes no arguments"));
    Link& link = session.GetLink();
    if (!link.WaitLinkIdle()) return Exit::kFailed;
    QList<DirEntry> entries;
    if (ReadDirectory(link, entries, true) == DirectoryResult::Failed) return Exit::kFailed;
    // No files is an empty table, not a failure.
    CliSession::Print(QStringLiteral("number\tname\tfirst point\tpoints\tdeletable\trange\n"));
    for (const DirEntry& entry : entries) {
        CliSession::Print(
            QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                .arg(entry.Index)
                .arg(entry.Name)
                .arg(entry.FirstPointTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                .arg(entry.PointTotal)
                .arg(YesNo(entry.Deletable()))
                .arg(YesNo(entry.RangeCapable())));
    }
    return Exit::kOk;
}

int RunInfo(CliSession& session, const QStringList& args) {
    if (!args.isEmpty()) return CliSession::Usage(QStringLiteral("info takes no arguments"));
    Link& link = session.GetLink();
    if (!link.WaitLinkIdle()) return Exit::kFailed;
    const DeviceInformation info = ReadDeviceInformation(link);
    if (!info.versRead) return Exit::kFailed;
    CliSession::Print(QStringLiteral("type\t%1\nversion\t%2\ninstrument serial number\t%3\n"
                                     "probe serial number\t%4\ncalibration date\t%5\n")
                          .arg(info.type, info.version, info.number, info.snumber, info.calib));
    return link.State().CommandFailed ? Exit::kFailed : Exit::kOk;
}

int RunRaw(CliSession& session, const QStringList& args) {
    if (args.size() != 1 || args.first().trimmed().isEmpty())
        return CliSession::Usage(
            QStringLiteral("raw takes one command text, e.g. tr58 raw \"VERS\""));
    Link& link = session.GetLink();
    QString reply;
    const bool ok = link.SendCommandAndReceive(args.first() + QLatin1Char('\r'),
                                               CodeFor(args.first()), reply, true);
    // A reply the engine refused (an "ERR") is still worth seeing.
    reply = CleanInstrumentText(reply).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    CliSession::Print(reply);
    if (!reply.isEmpty() && !reply.endsWith(QLatin1Char('\n')))
        CliSession::Print(QStringLiteral("\n"));
    return ok ? Exit::kOk : Exit::kFailed;
}
