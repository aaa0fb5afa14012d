// tr58sim: the TR58 instrument simulator, served over TCP and a pseudo-terminal.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "sim/Instrument.h"
#include "sim/SimServer.h"

namespace {

const char* kDescription =
    R"(Simulates a TR58 measurement indicator for TR58 Link and the tr58 tool.

The instrument is served over TCP (a LAN-attached TR58) and/or on a
pseudo-terminal (a TR58 on a serial cable). On start it prints one line per
channel on standard output:
  TCP 127.0.0.1:2323
  PTY /dev/pts/7
and then serves until it is stopped (Ctrl+C).

Point the program or the tool at it:
  tr58 --host 127.0.0.1:2323 dir
  tr58 --device /dev/pts/7 info

The simulated memory holds six recorded data files: "Lab 1" (1000 points of
3 quantities every 10 s), "Kylrum Öst [I]" (2500 points of 8 quantities with
missing values and the instrument's symbol characters), "Manuell" (12 manually
recorded points, undeletable, no date/time range), "Logg:2026/11" (70000
points of 8 quantities, more than one download takes), "Lager" (hourly, no
date/time range) and "Tom" (no points). --file replaces them.

The instrument speaks its whole command set: the wake-up burst and the
"line opened for operator commands" announcement, ECHO OFF, TIME, DIR, PLAY
(whole file or a date/time range; ESC stops it), DEL and DEL n (files after n
move down), UNIT and UNIT n ..., SEND n and SEND, VERS, SNUM, CAL and EXIT.
Reply grammar (every reply but EXIT's ends with CTRL-Z):
  VERS   type CR LF version, a blank, CR LF (no probe: the type line only)
  SNUM   "Instrument" TAB number CR LF "Probe" TAB number CR LF
  CAL    "Calibrated" TAB yyyy-mm-dd CR LF
  TIME, ECHO OFF, DEL               "OK" CR LF, or "ERR" CR LF
  UNIT   one line per probe quantity, in the probe's order:
           index TAB name TAB chosen TAB unit 1 TAB unit 2 ... CR LF
         index counts from 1; chosen is the unit shown (1-based), 0 when the
         quantity is not shown; a line with k TABs offers k - 2 units.
         No probe: CTRL-Z alone. The probe has T (°C, °F), RH (%RH),
         Td (°C, °F), a (g/m³, gr/ft³), x (g/kg, gr/lb) and Tw (°C, °F);
         T and RH are shown in their first unit. ³ is the instrument's byte
         0x8F (² would be 0x8D); ° is 0xB0.
  UNIT a b ...
         one number per quantity in UNIT's order: the unit to show (1-based)
         or 0 to hide it; quantities left out at the end are hidden. At most
         three may be shown. "OK" CR LF; "ERR" CR LF for a number out of range,
         more than three shown, or while recording (--fault recording).
  SEND n starts real-time output (n: the poll interval in seconds):
           count TAB name TAB name ... CR LF
           TAB unit TAB unit ... CR LF
           yy-mm-dd hh:mm:ss TAB value TAB value ... CR LF
         count is the number of lines (3); one name, unit and value per shown
         quantity, in UNIT's order. "ERR" CR LF when no quantity is shown.
  SEND   one reading of the shown quantities:
           yy-mm-dd hh:mm:ss TAB value TAB value ... CR LF
         "ERR" CR LF before SEND n and after UNIT a b ... (EXIT between polls
         does not stop the output). Readings follow the instrument's clock
         (TIME sets it) and drift slowly: each value swings by up to 0.8 around
         its quantity's level over about six minutes; °F values are converted.
  No probe (--no-probe): UNIT, SEND n and SEND answer CTRL-Z alone.
Until ECHO OFF every command line is echoed before its reply.)";

bool ApplyFault(const QString& fault, SimFaults& faults, QString& error) {
    const QString name = fault.section(QLatin1Char('='), 0, 0).trimmed();
    const QString value = fault.section(QLatin1Char('='), 1);
    bool ok = true;
    if (name == QLatin1String("silent"))
        faults.silent = true;
    else if (name == QLatin1String("silent-after"))
        faults.silentAfter = value.toInt(&ok);
    else if (name == QLatin1String("err") && value.isEmpty())
        faults.errReplies = true;
    else if (name == QLatin1String("err"))
        faults.errCommands.insert(value.trimmed().toUpper().toLatin1());
    else if (name == QLatin1String("late")) {
        // late=COMMAND:MS
        const QByteArray command =
            value.section(QLatin1Char(':'), 0, 0).trimmed().toUpper().toLatin1();
        const int ms = value.section(QLatin1Char(':'), 1).toInt(&ok);
        ok = ok && !command.isEmpty() && ms >= 0;
        if (ok) faults.lateReplies.insert(command, ms);
        if (!ok) {
            error = QStringLiteral("fault \"late\" takes COMMAND:MS, e.g. late=TIME:3000");
            return false;
        }
    } else if (name == QLatin1String("no-probe"))
        faults.noProbe = true;
    else if (name == QLatin1String("gone"))
        faults.filesGone = true;
    else if (name == QLatin1String("garble"))
        faults.garbleLine = value.toInt(&ok);
    else if (name == QLatin1String("short"))
        faults.shortBy = value.toInt(&ok);
    else if (name == QLatin1String("no-end-mark"))
        faults.noEndMark = true;
    else if (name == QLatin1String("drop"))
        faults.dropAfterBytes = value.toLongLong(&ok);
    else if (name == QLatin1String("recording"))
        faults.recording = true;
    else if (name == QLatin1String("idle-close"))
        faults.idleCloseSeconds = value.toInt(&ok);
    else if (name == QLatin1String("send-err-after"))
        faults.sendErrAfter = value.toInt(&ok);
    else if (name == QLatin1String("send-silent-after"))
        faults.sendSilentAfter = value.toInt(&ok);
    else {
        error = QStringLiteral("unknown fault \"%1\"").arg(name);
        return false;
    }
    if (!ok) error = QStringLiteral("fault \"%1\" needs a number").arg(name);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tr58sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.addHelpOption();
    parser.addOptions({
        {"tcp", "Serve on TCP <port> (0: any free port).", "port"},
        {"bind", "Address to listen on (default 127.0.0.1).", "address", "127.0.0.1"},
        {"pty", "Serve on a new pseudo-terminal."},
        {"baud", "Throttle replies to <rate> baud, as on the serial line (19200).", "rate", "0"},
        {"file",
         "Replace the memory with a file NAME:LINES:QUANTITIES[:FLAGS] (repeatable). "
         "FLAGS: L undeletable, N no date/time range, M manual data, X missing values.",
         "description"},
        {"no-probe", "No probe is attached (UNIT and SEND answer CTRL-Z, VERS has no version)."},
        {"fault",
         "Inject a fault (repeatable): silent, silent-after=N (commands), err (every command "
         "answers ERR), err=CMD (CMD answers ERR, e.g. err=DIR), late=CMD:MS (the reply to CMD "
         "comes MS ms later than the others, e.g. late=TIME:3000), gone (PLAY finds no file), "
         "garble=N (data line N of PLAY is broken), short=N (PLAY of a whole file ends N "
         "points before the count DIR lists), "
         "no-end-mark (replies lack CTRL-Z), drop=N (the connection drops after N bytes), "
         "recording (UNIT changes refused), idle-close=S (the line closes after S s idle), "
         "send-err-after=N (the probe is pulled while polling: after N SEND polls every poll "
         "answers ERR), send-silent-after=N (the same, but later polls get no answer at all).",
         "fault"},
        {"delay", "Milliseconds before each reply (default 20).", "ms", "20"},
        {"verbose",
         "Print every command received on standard error, and after a command that "
         "deleted files \"files\" and a TAB before each name the memory still holds."},
    });
    parser.process(app);

    auto fail = [](const QString& message) {
        std::fprintf(stderr, "tr58sim: %s\n", qPrintable(message));
        return 2;
    };
    if (!parser.isSet("tcp") && !parser.isSet("pty"))
        return fail(QStringLiteral("say where to serve: --tcp PORT and/or --pty (see --help)"));

    QList<SimFile> files = DefaultSimFiles();
    if (parser.isSet("file")) {
        files.clear();
        const QStringList specs = parser.values("file");
        for (int i = 0; i < specs.size(); ++i) {
            SimFile file;
            QString error;
            if (!ParseSimFile(specs.at(i), i, file, error)) return fail(error);
            files << file;
        }
    }
    Instrument instrument(files);
    if (parser.isSet("no-probe")) instrument.Faults().noProbe = true;
    for (const QString& fault : parser.values("fault")) {
        QString error;
        if (!ApplyFault(fault, instrument.Faults(), error)) return fail(error);
    }
    bool ok = false;
    const int delay = parser.value("delay").toInt(&ok);
    if (!ok || delay < 0) return fail(QStringLiteral("--delay takes milliseconds"));
    instrument.SetResponseDelay(delay);
    const int baud = parser.value("baud").toInt(&ok);
    if (!ok || baud < 0) return fail(QStringLiteral("--baud takes a rate such as 19200"));

    SimServer server(instrument);
    server.SetBaud(baud);
    server.SetVerbose(parser.isSet("verbose"));
    if (parser.isSet("tcp")) {
        const int port = parser.value("tcp").toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            return fail(QStringLiteral("--tcp takes a port number"));
        QString error;
        if (!server.ListenTcp(parser.value("bind"), static_cast<quint16>(port), error))
            return fail(QStringLiteral("cannot listen on TCP port %1: %2").arg(port).arg(error));
        std::printf("TCP %s:%u\n", qPrintable(parser.value("bind")), server.TcpPort());
    }
    if (parser.isSet("pty")) {
        QString path, error;
        if (!server.OpenPty(path, error))
            return fail(QStringLiteral("cannot open a pseudo-terminal: %1").arg(error));
        std::printf("PTY %s\n", qPrintable(path));
    }
    std::fflush(stdout);
    return app.exec();
}
