// tr58 chart: draws the chart of a .t58 file as TR58 Link shows it right after
// opening the file (the first three quantities, all points, automatic scales)
// and writes it as a PNG picture. Needs no screen: the tool runs on Qt's
// offscreen platform.
#include "ChartCommand.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstring>

#include "CliSession.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"

const char kChartSynopsis[] =
    "chart FILE.t58 -o FILE.png [--width W] [--height H]\n"
    "      Draws the chart of a saved document as TR58 Link shows it after opening\n"
    "      (the first three quantities, all points) into a PNG picture of W x H\n"
    "      pixels (default 1200 x 700). Needs no display.";

namespace {

constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 700;
constexpr int kLargestSide = 16000;

// A picture side from the command line: a whole number of pixels.
bool TakeSide(const QString& text, int& side) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 50 || value > kLargestSide) return false;
    side = value;
    return true;
}

}  // namespace

std::unique_ptr<QCoreApplication> MakeToolApplication(int& argc, char** argv) {
    // The commands that draw: the chart picture and the PDF.
    bool draws = false;
    for (int i = 1; i < argc; ++i)
        draws = draws || std::strcmp(argv[i], "chart") == 0 || std::strcmp(argv[i], "pdf") == 0;
    if (!draws) return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Created private (0700) and removed when the tool ends.
        static QTemporaryDir runtime;
        if (runtime.isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunChart(CliSession&, const QStringList& args) {
    QString input;
    QString output;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!hasValue)
                return CliSession::Usage(QStringLiteral("%1 needs a file name").arg(arg));
            output = args.at(++i);
        } else if (arg == QLatin1String("--width") || arg == QLatin1String("--height")) {
            int& side = arg == QLatin1String("--width") ? width : height;
            if (!hasValue || !TakeSide(args.at(++i), side))
                return CliSession::Usage(QStringLiteral("%1 needs a number of pixels from 50 to %2")
                                             .arg(arg)
                                             .arg(kLargestSide));
        } else if (input.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            input = arg;
        } else {
            return CliSession::Usage(QStringLiteral("chart: unexpected argument \"%1\"").arg(arg));
        }
    }
    if (input.isEmpty()) return CliSession::Usage(QStringLiteral("chart needs a .t58 file"));
    if (output.isEmpty()) return CliSession::Usage(QStringLiteral("chart needs -o FILE.png"));
    // A picture replaces only a picture: "-o run.t58" would put it over a recording.
    if (!output.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return CliSession::Usage(QStringLiteral("chart: -o takes a file ending in .png"));

    Document document;
    if (!CliSession::OpenDocumentFile(document, input)) return Exit::kFailed;

    ChartSlots chartSlots;
    chartSlots.Sync(document);
    ChartNavigator navigator(document);
    if (!navigator.ShowAll()) navigator.SetPoints(1, document.PointCount());

    const QImage image = RenderChartImage(document, chartSlots, QSize(width, height));
    // An existing picture is replaced only by a complete new one.
    if (!SaveFileAtomically(output, [&image](QIODevice& file) { return image.save(&file, "PNG"); }))
        return CliSession::Failure(QStringLiteral("cannot write %1").arg(output));
    return Exit::kOk;
}
