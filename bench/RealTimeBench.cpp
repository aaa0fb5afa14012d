// One real-time poll in a long recording: the poll's reply parsed and
// appended to the document, the reading journaled (with the flush to the disk
// that must come before the next poll), and the chart redrawn at 1600 x 900
// while it follows the newest data. Measured with the document already
// holding 1000 and 64999 points; the parse-and-append part must not grow
// with the points held. Also the journal's bytes per reading.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "chart/ChartNavigator.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/Statistics.h"
#include "download/RecordedDataFill.h"
#include "download/RecordedDataParser.h"
#include "link/LinkState.h"
#include "realtime/RecordingJournal.h"

namespace {

const QSize kSize(1600, 900);
constexpr double kSecond = 1.0 / 86400.0;
const double kStart = 46328.0 + 8.0 / 24.0;  // 2026-11-02 08:00

// A poll's reply as the instrument sends it: one reading of T, RH and Td.
QString PollReply(int i) {
    const QDateTime time =
        QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0)).addSecs(static_cast<qint64>(i) * 5);
    return QStringLiteral("%1\t%2\t%3\t%4\r\n\x1A")
        .arg(time.toString(QStringLiteral("yy-MM-dd hh:mm:ss")))
        .arg(21.0 + std::sin(i / 400.0), 0, 'f', 2)
        .arg(45.0 + 5 * std::sin(i / 900.0), 0, 'f', 1)
        .arg(9.0 + std::sin(i / 250.0), 0, 'f', 2);
}

// A real-time document that has run for a while: its first reply read as
// the window reads it, then held points added in one go.
void Prepare(Document& document, qint32 held) {
    document.bRealTime = true;
    LinkState state;
    const QString first = QStringLiteral("3\tT\tRH\tTd\r\n\t\u00B0C\t%RH\t\u00B0C\r\n") +
                          PollReply(0).chopped(1) + QStringLiteral("\x1A");
    FillDocumentFromReply(document, first, state);
    document.ReservePoints(65000);
    for (qint32 i = 1; i < held; ++i) {
        const qint32 k = document.AppendPoint(kStart + i * 5 * kSecond);
        document.SetValue(k, 0, static_cast<float>(21.0 + std::sin(i / 400.0)), true);
        document.SetValue(k, 1, static_cast<float>(45.0 + 5 * std::sin(i / 900.0)), true);
        document.SetValue(k, 2, static_cast<float>(9.0 + std::sin(i / 250.0)), true);
    }
    document.NotifyPointsAdded(1, held - 1);
    ComputeStatistics(document);
}

struct PollFigures {
    double parseAppend = 0;  // parse of the reply and the point appended
    double statistics = 0;   // the information page's figures brought up to date
    double journal = 0;      // one record written and flushed to the disk
    double chart = 0;        // the chart following the newest point, redrawn
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

PollFigures MeasurePolls(qint32 held, int polls, const QString& folder, double* bytesPerReading) {
    Document document;
    Prepare(document, held);
    RecordingJournal journal;
    const QString path = folder + QStringLiteral("/bench-%1.journal").arg(held);
    QString problem;
    if (!journal.Begin(path, document, &problem)) {
        std::fprintf(stderr, "journal: %s\n", qPrintable(problem));
        std::exit(1);
    }
    const qint64 sizeBefore = QFileInfo(path).size();
    ChartSlots chartSlots;
    chartSlots.Sync(document);
    ChartNavigator navigator(document);
    navigator.ShowAll();
    QImage image(kSize, QImage::Format_RGB32);
    const QFont font;

    std::vector<double> parse, stats, write, chart;
    for (int p = 0; p < polls; ++p) {
        const QString reply = PollReply(held + p);
        const qint32 before = document.PointCount();
        QElapsedTimer t;
        t.start();
        ReplyShape shape;
        shape.form = ReplyForm::RealTimePoll;
        shape.quantities = document.QuantityCount();
        shape.pointsHeld = document.PointCount();
        RecordedData data = ParseRecordedData(reply, shape);
        document.AppendPoints(std::move(data.points));
        parse.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        UpdateFilledInformation(document, true);
        ComputeStatistics(document);
        stats.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        journal.Append(document, before);
        write.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        navigator.PointsAdded();
        {
            QPainter painter(&image);
            DrawChart(painter, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(kSize)), font);
        }
        chart.push_back(t.nsecsElapsed() / 1e6);
        if (document.PointCount() >= 65000) break;
    }
    if (bytesPerReading)
        *bytesPerReading = static_cast<double>(QFileInfo(path).size() - sizeBefore) /
                           (document.PointCount() - held);
    journal.Finish();
    return {Median(parse), Median(stats), Median(write), Median(chart)};
}

void Print(qint32 held, const PollFigures& f) {
    std::printf(
        "%6d points held: parse+append %7.3f ms  statistics %6.3f ms  journal+flush %6.3f ms  "
        "chart %6.2f ms  total %6.2f ms\n",
        held, f.parseAppend, f.statistics, f.journal, f.chart,
        f.parseAppend + f.statistics + f.journal + f.chart);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int polls = args.isEmpty() ? 200 : std::max(1, args.first().toInt());
    // The journal goes where the program keeps it unless a folder is named
    // (--dir DIR: to compare disks).
    QTemporaryDir scratch;
    QString folder = scratch.path();
    const int dirAt = static_cast<int>(args.indexOf(QStringLiteral("--dir")));
    if (dirAt >= 0 && dirAt + 1 < args.size()) folder = args.at(dirAt + 1);

    std::printf("one real-time poll (3 quantities), median of %d polls, chart %d x %d\n", polls,
                kSize.width(), kSize.height());
    double bytes = 0;
    Print(1000, MeasurePolls(1000, polls, folder, &bytes));
    // 64999 held: the poll brings the 65000th point, the last one there is.
    Print(64999, MeasurePolls(64999, 1, folder, nullptr));
    // Held just below the limit, many polls: 64000 points and up.
    Print(64000, MeasurePolls(64000, polls, folder, nullptr));
    std::printf("journal: %.1f bytes per reading\n", bytes);
    return 0;
}
