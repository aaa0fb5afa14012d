// tr58 pdf: prints a .t58 file's information page, chart and data table into
// a PDF, as TR58 Link prints them right after opening the file (the first
// three quantities on the chart, all points). Needs no screen or printer.
#include "PdfCommand.h"

#include "CliSession.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "print/PrintJob.h"

const char kPdfSynopsis[] =
    "pdf FILE.t58 -o FILE.pdf [--parts information,chart,table] [--landscape]\n"
    "      Prints a saved document into a PDF on A4 as TR58 Link prints it: the\n"
    "      information page, the chart (the first three quantities, all points) and\n"
    "      the data table, each from a new page, or only the parts named by --parts\n"
    "      (comma-separated, always printed in that order). Portrait unless\n"
    "      --landscape. An existing FILE.pdf is replaced only by a complete new one.";

namespace {

// The parts named on the command line; false on an unknown or empty list.
bool TakeParts(const QString& text, PrintChoice& choice) {
    choice.information = choice.chart = choice.table = false;
    const QStringList names = text.split(QLatin1Char(','));
    for (const QString& name : names) {
        if (name == QLatin1String("information"))
            choice.information = true;
        else if (name == QLatin1String("chart"))
            choice.chart = true;
        else if (name == QLatin1String("table"))
            choice.table = true;
        else
            return false;
    }
    return true;
}

}  // namespace

int RunPdf(CliSession&, const QStringList& args) {
    QString input;
    QString output;
    PrintChoice choice;
    choice.information = choice.chart = choice.table = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!hasValue)
                return CliSession::Usage(QStringLiteral("%1 needs a file name").arg(arg));
            output = args.at(++i);
        } else if (arg == QLatin1String("--parts")) {
            if (!hasValue || !TakeParts(args.at(++i), choice))
                return CliSession::Usage(QStringLiteral(
                    "--parts needs a comma-separated list of information, chart, table"));
        } else if (arg == QLatin1String("--landscape")) {
            choice.landscape = true;
        } else if (input.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            input = arg;
        } else {
            return CliSession::Usage(QStringLiteral("pdf: unexpected argument \"%1\"").arg(arg));
        }
    }
    if (input.isEmpty()) return CliSession::Usage(QStringLiteral("pdf needs a .t58 file"));
    if (output.isEmpty()) return CliSession::Usage(QStringLiteral("pdf needs -o FILE.pdf"));
    // A PDF replaces only a PDF: "-o run.t58" would put it over a recording.
    if (!output.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return CliSession::Usage(QStringLiteral("pdf: -o takes a file ending in .pdf"));

    Document document;
    if (!CliSession::OpenDocumentFile(document, input)) return Exit::kFailed;
    ChartSlots chartSlots;
    chartSlots.Sync(document);

    QString error;
    if (!WritePdf(output, document, chartSlots, choice, error)) return CliSession::Failure(error);
    return Exit::kOk;
}
