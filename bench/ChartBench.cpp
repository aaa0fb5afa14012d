// Chart redraw: a 65000-point document of three quantities drawn whole into a
// 1600 x 900 picture by the program's renderer, and the same data at the same
// size by Qt Charts (a QChartView with three QLineSeries and an axis per
// quantity), measured in the same run.
//
// Figures: the best and the median of the rounds, for a redraw of an
// unchanged chart and for a redraw after the range moved (what scrolling
// costs: Qt Charts recomputes its geometry then).
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "chart/ChartGestures.h"
#include "chart/ChartMetrics.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/Statistics.h"

#ifdef TR58_HAVE_QTCHARTS
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
using Application = QApplication;
#else
#include <QGuiApplication>
using Application = QGuiApplication;
#endif

namespace {

constexpr int kPoints = 65000;
constexpr int kQuantities = 3;
const QSize kSize(1600, 900);

// Readings as a climate logger gives them every 10 s: slow waves and noise.
double Reading(int q, int i, std::mt19937& random) {
    std::normal_distribution<double> noise(0.0, q == 1 ? 0.4 : 0.05);
    switch (q) {
        case 0:
            return 21.0 + 1.5 * std::sin(i / 4000.0) + noise(random);
        case 1:
            return 45.0 + 10.0 * std::sin(i / 9000.0 + 1.0) + noise(random);
        default:
            return 8.5 + 2.0 * std::sin(i / 2500.0) + noise(random);
    }
}

void Fill(Document& document) {
    std::mt19937 random(58);
    document.SetQuantityCount(kQuantities);
    const char* names[] = {"T", "RH", "Td"};
    const char* units[] = {"°C", "%RH", "°C"};
    for (int q = 0; q < kQuantities; ++q) {
        document.Quantity(q).Name = QString::fromUtf8(names[q]);
        document.Quantity(q).Unit = QString::fromUtf8(units[q]);
        document.Quantity(q).Decimals = q == 2 ? 2 : 1;
    }
    document.ReservePoints(kPoints);
    const double start = 46328.0 + 8.0 / 24.0;  // 2026-11-02 08:00
    for (int i = 0; i < kPoints; ++i) {
        const qint32 k = document.AppendPoint(start + i * 10.0 / 86400.0);
        for (int q = 0; q < kQuantities; ++q)
            document.SetValue(k, q, static_cast<float>(Reading(q, i, random)), true);
    }
    ComputeStatistics(document);
}

struct Figures {
    double best = 0.0;
    double median = 0.0;
};

Figures Measure(int rounds, const std::function<void(int)>& draw) {
    draw(0);  // warm-up: fonts, caches
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        draw(round + 1);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

void Print(const char* what, const Figures& figures) {
    std::printf("%-44s best %8.2f ms   median %8.2f ms\n", what, figures.best, figures.median);
}

#ifdef TR58_HAVE_QTCHARTS
// The same data in Qt Charts: one line series per quantity, its own value
// axis (two left, one right, as the program's chart), points by index.
struct QtChartsReference {
    explicit QtChartsReference(const Document& document) {
        auto* chart = new QChart;
        chart->legend()->hide();
        auto* xAxis = new QValueAxis;
        xAxis->setRange(1, kPoints);
        chart->addAxis(xAxis, Qt::AlignBottom);
        const Qt::Alignment sides[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignLeft};
        const QColor colours[] = {QColor(255, 0, 0), QColor(0, 192, 0), QColor(0, 0, 255)};
        for (int q = 0; q < kQuantities; ++q) {
            auto* series = new QLineSeries;
            QList<QPointF> points;
            points.reserve(kPoints);
            for (int i = 0; i < kPoints; ++i)
                points.append(QPointF(i + 1, document.Value(i, q).Value));
            series->replace(points);
            series->setPen(QPen(colours[q], 1));
            chart->addSeries(series);
            auto* yAxis = new QValueAxis;
            yAxis->setRange(document.Quantity(q).Minimum, document.Quantity(q).Maximum);
            chart->addAxis(yAxis, sides[q]);
            series->attachAxis(xAxis);
            series->attachAxis(yAxis);
        }
        this->xAxis = xAxis;
        view.setChart(chart);
        view.resize(kSize);
        view.setRenderHint(QPainter::Antialiasing, false);
        view.show();
    }
    void Draw(QImage& image) {
        QPainter painter(&image);
        view.render(&painter);
    }
    QChartView view;
    QValueAxis* xAxis = nullptr;
};
#endif

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int rounds = args.isEmpty() ? 30 : std::max(1, args.first().toInt());
    // --no-reference: the program's renderer alone (for profiling it).
    const bool reference = !args.contains(QStringLiteral("--no-reference"));

    Document document;
    Fill(document);
    ChartSlots chartSlots;
    chartSlots.Sync(document);
    ChartNavigator navigator(document);
    navigator.ShowAll();

    QImage image(kSize, QImage::Format_RGB32);
    const QFont font;
    const auto ours = [&](int) {
        QPainter painter(&image);
        DrawChart(painter, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(kSize)), font);
    };
    std::printf("chart redraw, %d points x %d quantities, %d x %d picture, %d rounds\n", kPoints,
                kQuantities, kSize.width(), kSize.height(), rounds);
    const Figures ourWhole = Measure(rounds, ours);
    Print("TR58 renderer, all points", ourWhole);
    // Scrolling: a window of 60000 points moved by 100 points each round.
    const auto oursScrolled = [&](int round) {
        navigator.SetPoints(1 + 100 * (round % 40), 60000 + 100 * (round % 40));
        ours(round);
    };
    const Figures ourScroll = Measure(rounds, oursScrolled);
    Print("TR58 renderer, range moved", ourScroll);
    // The direct gestures: a wheel notch in or out around the pointer, then
    // the redraw it asks for; the grid lines on; the crosshair's read-out
    // and the legend (drawn over the picture, no redraw).
    navigator.ShowAll();
    QPainter probe(&image);
    const ChartLayout whole =
        DrawChart(probe, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(kSize)), font);
    probe.end();
    const Figures ourWheel = Measure(rounds, [&](int round) {
        navigator.WheelZoomPoints(whole, whole.plot.center().x(), round % 2 == 0 ? 1.0 : -1.0);
        ours(round);
    });
    Print("TR58 renderer, wheel notch", ourWheel);
    navigator.ShowAll();
    const Figures ourGrid = Measure(rounds, [&](int) {
        QPainter painter(&image);
        DrawChart(painter, document, chartSlots, QRectF(QPointF(0, 0), QSizeF(kSize)), font,
                  ChartStyle{true});
    });
    Print("TR58 renderer, grid lines", ourGrid);
    const FontChartMetrics metrics(font, &image);
    const Figures ourReadout = Measure(rounds, [&](int round) {
        const double x = whole.plot.left() + (round * 37) % static_cast<int>(whole.plot.width());
        const std::optional<ChartReadout> readout = ReadoutAt(document, whole, x);
        const ChartLegend legend = ComputeLegend(document, whole, metrics);
        if (!readout || legend.entries.isEmpty()) std::abort();
    });
    Print("TR58 read-out and legend at the pointer", ourReadout);
    image.save(QStringLiteral("ChartBench-tr58.png"));

#ifdef TR58_HAVE_QTCHARTS
    if (!reference) return 0;
    QtChartsReference chartView(document);
    QImage referenceImage(kSize, QImage::Format_RGB32);
    const Figures theirWhole = Measure(rounds, [&](int) {
        referenceImage.fill(Qt::white);
        chartView.Draw(referenceImage);
    });
    Print("Qt Charts QChartView, all points", theirWhole);
    const Figures theirScroll = Measure(rounds, [&](int round) {
        chartView.xAxis->setRange(1 + 100 * (round % 40), 60000 + 100 * (round % 40));
        referenceImage.fill(Qt::white);
        chartView.Draw(referenceImage);
    });
    Print("Qt Charts QChartView, range moved", theirScroll);
    referenceImage.save(QStringLiteral("ChartBench-qtcharts.png"));
    std::printf("ratio Qt Charts / TR58, all points            best %6.1f x   median %6.1f x\n",
                theirWhole.best / ourWhole.best, theirWhole.median / ourWhole.median);
    std::printf("ratio Qt Charts / TR58, range moved           best %6.1f x   median %6.1f x\n",
                theirScroll.best / ourScroll.best, theirScroll.median / ourScroll.median);
#else
    (void)reference;
    std::printf("Qt Charts not found at configure time: no reference measured\n");
#endif
    return 0;
}
