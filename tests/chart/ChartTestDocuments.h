#pragma once
// Documents for the chart tests, built point by point as the parsers build
// them: readings at a fixed interval from 2026-11-02 08:00:00, statistics
// computed (which charts the first three quantities with automatic scales).

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "base/TextHelpers.h"
#include "chart/ChartLayout.h"
#include "chart/ChartMetrics.h"
#include "chart/ChartSlots.h"
#include "document/Document.h"
#include "document/Statistics.h"

struct TestQuantity {
    QString name;
    QString unit;
    int decimals = 1;
    std::function<double(int)> value;  // the reading of point i (0-based)
    std::function<bool(int)> valid;    // empty: every reading is valid
};

inline double TestStartTime() {
    return ToOleDate(QDateTime(QDate(2026, 11, 2), QTime(8, 0, 0)));
}

// n points, stepSeconds apart.
inline std::unique_ptr<Document> MakeDocument(int n, double stepSeconds,
                                              const QList<TestQuantity>& quantities) {
    auto document = std::make_unique<Document>();
    document->SetQuantityCount(static_cast<int>(quantities.size()));
    for (int q = 0; q < quantities.size(); ++q) {
        QuantityInfo& info = document->Quantity(q);
        info.Name = quantities.at(q).name;
        info.Unit = quantities.at(q).unit;
        info.Decimals = static_cast<qint16>(quantities.at(q).decimals);
    }
    document->ReservePoints(n);
    const double start = TestStartTime();
    for (int i = 0; i < n; ++i) {
        const qint32 k = document->AppendPoint(start + i * stepSeconds / 86400.0);
        for (int q = 0; q < quantities.size(); ++q) {
            const TestQuantity& quantity = quantities.at(q);
            const bool valid = !quantity.valid || quantity.valid(i);
            document->SetValue(k, q, valid ? static_cast<float>(quantity.value(i)) : 0.0f, valid);
        }
    }
    ComputeStatistics(*document);
    document->FirstPoint = 1;
    document->LastPoint = n;
    document->bShowAll = true;
    return document;
}

inline TestQuantity Constant(const QString& name, double value, int decimals = 1) {
    return {name, QStringLiteral("u"), decimals, [value](int) { return value; }, {}};
}

inline TestQuantity Ramp(const QString& name, double from, double to, int n, int decimals = 1) {
    return {name,
            QStringLiteral("u"),
            decimals,
            [from, to, n](int i) { return from + (to - from) * i / std::max(1, n - 1); },
            {}};
}

// Three quantities as a climate logger records them.
inline QList<TestQuantity> ClimateQuantities() {
    return {
        {QStringLiteral("T"),
         QStringLiteral("°C"),
         1,
         [](int i) { return 21.0 + 1.5 * std::sin(i / 60.0); },
         {}},
        {QStringLiteral("RH"),
         QStringLiteral("%RH"),
         1,
         [](int i) { return 45.0 + 10.0 * std::sin(i / 90.0 + 1.0); },
         {}},
        {QStringLiteral("Td"),
         QStringLiteral("°C"),
         2,
         [](int i) { return 8.5 + 2.0 * std::sin(i / 50.0); },
         {}},
    };
}

// Every character 7 units wide, lines 14 high, one unit a pixel.
class FakeMetrics : public ChartMetrics {
public:
    double TextWidth(const QString& text) const override { return 7.0 * text.size(); }
    double TextHeight() const override { return 14.0; }
    double Unit() const override { return 1.0; }
};

inline ChartSlots SlotsOf(const Document& document) {
    ChartSlots chartSlots;
    chartSlots.Sync(document);
    return chartSlots;
}

// The layout of document's chart on an 800 x 400 picture, measured with
// FakeMetrics.
inline ChartLayout FakeLayout(const Document& document,
                              const QRectF& area = QRectF(0, 0, 800, 400)) {
    const FakeMetrics metrics;
    return ComputeChartLayout(document, SlotsOf(document), metrics, area);
}
