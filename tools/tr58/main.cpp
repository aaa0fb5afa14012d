// tr58: reads, downloads and converts TR58 data from the command line, on the
// same core as the TR58 Link program.
#include <QCoreApplication>
#include <cstdio>
#include <vector>

#include "ChartCommand.h"
#include "CliSession.h"
#include "DocumentCommands.h"
#include "MonitorCommand.h"
#include "PdfCommand.h"
#include "RecoverCommand.h"
#include "UnitsCommand.h"
#include "base/ProgramLanguage.h"
#include "base/UserLocale.h"
#include "tr58/Version.h"

namespace {

struct CliCommand {
    const char* name;
    const char* synopsis;
    int (*run)(CliSession&, const QStringList&);
};

// Every command of the tool, in the order --help lists them.
const std::vector<CliCommand>& Commands() {
    static const std::vector<CliCommand> commands = {
        {"dir",
         "dir\n      The instrument's recorded data files as a TAB-separated table with a header:\n"
         "      number (for download and delete), name, first point (yyyy-mm-dd hh:mm:ss),\n"
         "      points, deletable (yes/no), date/time range download (yes/no).",
         RunDir},
        {"info",
         "info\n      Instrument and probe type, software version, the two serial numbers and the\n"
         "      calibration date.",
         RunInfo},
        {"raw", "raw \"TEXT\"\n      Sends TEXT and a CR to the instrument and prints its reply.",
         RunRaw},
        {"units", kUnitsSynopsis, RunUnits},
        {"chart", kChartSynopsis, RunChart},
        {"pdf", kPdfSynopsis, RunPdf},
        {"monitor", kMonitorSynopsis, RunMonitor},
        {"download", kDownloadSynopsis, RunDownload},
        {"delete", kDeleteSynopsis, RunDelete},
        {"convert", kConvertSynopsis, RunConvert},
        {"stats", kStatsSynopsis, RunStats},
        {"recover", kRecoverSynopsis, RunRecover},
    };
    return commands;
}

void PrintHelp() {
    std::printf(
        "Usage: tr58 [CONNECTION] COMMAND [ARGUMENTS]\n"
        "       tr58 --help | --version\n\n"
        "Talks to a TR58 measurement indicator on a serial port or over TCP.\n\n"
        "Connection (without one, the choice stored by TR58 Link is used):\n"
        "  --host HOST[:PORT]  the LAN link to HOST (TCP port 23 unless given)\n"
        "  --port N            COM port N (1..16)\n"
        "  --device PATH       the serial device PATH (a USB cable, a pseudo-terminal)\n"
        "  --auto              find the instrument on COM1..COM16\n\n"
        "Commands:\n");
    for (const CliCommand& command : Commands()) std::printf("  %s\n\n", command.synopsis);
    std::printf(
        "COM1..COM16 are the USB serial devices (/dev/ttyUSB*, /dev/ttyACM*) in order,\n"
        "then /dev/ttyS*; entries COMn=PATH in the [Ports] group of the settings file\n"
        "(~/.config/TR58 Link.ini) come first.\n\n"
        "Exit status: 0 done, 1 the instrument or a file failed (the message says why),\n"
        "2 the command line was wrong, 3 done but not all: a file ended before the points\n"
        "dir lists, or files were kept that --delete named.\n"
        "Progress is shown on standard error when it is a terminal; Ctrl+C cancels the\n"
        "command in progress.\n\n"
        "Messages from the program's string table are in Swedish or English: TR58_LANG=sv\n"
        "or TR58_LANG=en, else Language=sv|en in the [Settings] group of the settings\n"
        "file, else the desktop's language (Swedish for Swedish, English otherwise).\n"
        "\n"
        "--version prints \"tr58 %s\", the version of the tool and of TR58 Link.\n",
        kTr58Version);
}

}  // namespace

int main(int argc, char** argv) {
    // A QGuiApplication on the offscreen platform for the chart and pdf commands.
    const std::unique_ptr<QCoreApplication> app = MakeToolApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tr58"));
    UserLocale::Init();

    QStringList args = app->arguments().mid(1);
    if (args.isEmpty() || args.contains(QLatin1String("--help")) ||
        args.contains(QLatin1String("-h"))) {
        PrintHelp();
        return args.isEmpty() ? Exit::kUsage : Exit::kOk;
    }
    if (args.contains(QLatin1String("--version"))) {
        std::printf("tr58 %s\n", kTr58Version);
        return Exit::kOk;
    }

    CliSession session;
    // The instrument's and the files' messages in the program's language.
    SelectProgramLanguage(&session.Settings());
    QString error;
    if (!session.TakeConnectionOptions(args, error)) return CliSession::Usage(error);
    if (args.isEmpty()) return CliSession::Usage(QStringLiteral("no command given"));
    const QString name = args.takeFirst();
    for (const CliCommand& command : Commands()) {
        if (name != QLatin1String(command.name)) continue;
        const int status = command.run(session, args);
        // A cancel shows no message of its own in the program; here the
        // user still learns why the command stopped.
        if (session.Interrupted() && status != Exit::kOk)
            return CliSession::Failure(QStringLiteral("%1 cancelled (Ctrl+C)").arg(name));
        return status;
    }
    return CliSession::Usage(QStringLiteral("unknown command or option \"%1\"").arg(name));
}
