// Printing a download of 65000 points of 8 quantities into a PDF: the three
// parts (information, chart, data table), in process (PrintDocument through
// WritePdf) and as the user runs it (tr58 pdf, a process of its own that also
// reads the .t58 file). Reference: saving the same document as a tab-delimited
// text export, the least any writer of the table as text must do.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/DocumentFiles.h"
#include "download/RecordedDataFill.h"
#include "link/LinkState.h"
#include "print/PrintJob.h"
#include "sim/Instrument.h"

namespace {

double Best(int rounds, const std::function<void()>& action) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    // Fonts need a QGuiApplication; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    UserLocale::Init();

    SimFile file;
    QString error;
    if (!ParseSimFile(QStringLiteral("Bench:65000:8:X"), 0, file, error)) return 1;
    const Instrument instrument({file});
    Document document;
    document.bKapula = true;
    LinkState state;
    if (FillDocumentFromReply(document, DecodeInstrumentBytes(instrument.PlayReply(0)), state)
            .failed)
        return 1;
    document.Title = QStringLiteral("Bench");
    ChartSlots chartSlots;
    chartSlots.Sync(document);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bench.pdf"));
    const QString txt = dir.filePath(QStringLiteral("bench.txt"));
    const QString t58 = dir.filePath(QStringLiteral("bench.t58"));
    const QString toolPdf = dir.filePath(QStringLiteral("tool.pdf"));
    if (!SaveDocumentFile(document, t58, DocumentFileType::T58)) return 1;

    const PrintChoice all{true, true, true, false};
    const double print = Best(rounds, [&] {
        if (!WritePdf(pdf, document, chartSlots, all, error)) std::abort();
    });
    const double text = Best(rounds, [&] {
        if (!SaveDocumentFile(document, txt, DocumentFileType::Txt)) std::abort();
    });
    const double tool = Best(rounds, [&] {
        QProcess process;
        process.start(QStringLiteral(TR58_BIN_DIR "/tools/tr58/tr58"),
                      {QStringLiteral("pdf"), t58, QStringLiteral("-o"), toolPdf});
        if (!process.waitForFinished(120000) || process.exitCode() != 0) std::abort();
    });

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    const QString pages = QString::fromUtf8(info.readAllStandardOutput())
                              .section(QStringLiteral("Pages:"), 1)
                              .section(QLatin1Char('\n'), 0, 0)
                              .trimmed();
    const double megabytes = QFileInfo(pdf).size() / 1e6;
    std::printf("document                  65000 points x 8 quantities\n");
    std::printf("pdf, in process           %.2f s  %s pages  %.2f MB  (goal < 2 s, < 10 MB)\n",
                print, qPrintable(pages), megabytes);
    std::printf("tr58 pdf, whole process   %.2f s  %.2f MB\n", tool,
                QFileInfo(toolPdf).size() / 1e6);
    std::printf("text export (reference)   %.2f s  %.2f MB  pdf/text ratio %.1fx\n", text,
                QFileInfo(txt).size() / 1e6, print / text);
    return 0;
}
