#include "document/Statistics.h"

#include <QStringList>

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "document/Document.h"
#include "document/DocumentHost.h"
#include "document/DocumentTexts.h"

namespace {

// Points between two turns of the user interface.
constexpr qint32 kYieldEvery = 4096;

float ShownValue(const QuantityInfo& quantity, float value) {
    return PointDecimalText(value, quantity.Decimals).toFloat();
}

}  // namespace

QString PlainCaption(int id) {
    return StringTable::Text(id).remove(QLatin1Char('&'));
}

QList<QStringList> SummaryTable(const Document& document) {
    QList<QStringList> table;
    table << QStringList{PlainCaption(Str::kInfoQuantity), PlainCaption(Str::kInfoUnit),
                         PlainCaption(Str::kInfoMinimum), PlainCaption(Str::kInfoMaximum),
                         PlainCaption(Str::kInfoMean)};
    for (int q = 0; q < document.QuantityCount(); ++q) {
        const QuantityInfo& quantity = document.Quantity(q);
        table << QStringList{CleanInstrumentText(quantity.Name.trimmed()),
                             CleanInstrumentText(quantity.Unit.trimmed()),
                             StatisticText(document, q, StatisticKind::Minimum),
                             StatisticText(document, q, StatisticKind::Maximum),
                             StatisticText(document, q, StatisticKind::Mean)};
    }
    return table;
}

bool ComputeStatistics(Document& document, DocumentHost* host) {
    const qint32 count = document.PointCount();
    for (int q = 0; q < document.QuantityCount(); ++q) {
        qint32 i = 0;
        while (i < count && !document.Value(i, q).Valid) ++i;
        if (i == count) continue;  // no reading: nothing is stored, the boxes stay empty
        float minimum = document.Value(i, q).Value;
        float maximum = minimum;
        double sum = 0.0;
        qint32 valid = 0;
        for (; i < count; ++i) {
            if (host && i % kYieldEvery == 0) {
                host->Yield();
                if (document.bExit) return false;
            }
            const PointValue point = document.Value(i, q);
            if (!point.Valid) continue;
            sum += point.Value;
            if (point.Value < minimum) minimum = point.Value;
            if (point.Value > maximum) maximum = point.Value;
            ++valid;
        }
        QuantityInfo& quantity = document.Quantity(q);
        quantity.StatsValid = 1;
        quantity.Minimum = minimum;
        quantity.Maximum = maximum;
        quantity.Mean = static_cast<float>(sum / valid);
    }

    if (document.FirstStatistics) {
        document.FirstStatistics = false;
        for (int q = 0; q < document.QuantityCount(); ++q) {
            const QuantityInfo& quantity = document.Quantity(q);
            if (quantity.StatsValid != 1) continue;
            document.SetScaleValue(true, q, ShownValue(quantity, quantity.Maximum));
            document.SetScaleValue(false, q, ShownValue(quantity, quantity.Minimum));
        }
        // Scales taken from the data are the full view, not a zoom.
        document.bZoomOut = false;
        for (int q = 0; q < document.QuantityCount(); ++q) {
            document.SetAutoScale(q, true);
            document.SetCharted(q, true);  // refused after the third
        }
    }
    document.NotifyStatisticsChanged();
    return true;
}

QString StatisticText(const Document& document, int q, StatisticKind kind) {
    const QuantityInfo& quantity = document.Quantity(q);
    if (quantity.StatsValid != 1) return QString();
    const float value = kind == StatisticKind::Minimum   ? quantity.Minimum
                        : kind == StatisticKind::Maximum ? quantity.Maximum
                                                         : quantity.Mean;
    return PointDecimalText(value, quantity.Decimals);
}

void UpdateFilledInformation(Document& document, bool realTime) {
    InformationTexts& info = document.Info;
    if (document.IntervalValue < 1) {
        info.Interval.clear();
        info.RecordingKind = StringTable::Text(Str::kManuallyRecorded);
    } else {
        info.Interval = IntervalText(document.IntervalValue, document.IntervalUnit);
        if (realTime) info.RecordingKind = StringTable::Text(Str::kRealTimeData);
    }
    const qint32 count = document.PointCount();
    if (count > 0) {
        document.StartTime = document.PointTime(0);
        document.StopTime = document.PointTime(count - 1);
    } else {
        document.StopTime = document.StartTime;
    }
    // A document without points whose start nobody told (a saved empty
    // download) has no start, stop or duration to show.
    const bool timeless = count == 0 && document.StartTime == 0.0;
    info.Start = timeless ? QString() : FormatDateTimeLocal(FromOleDate(document.StartTime));
    if (!realTime)
        info.Stop = timeless ? QString() : FormatDateTimeLocal(FromOleDate(document.StopTime));
    info.Duration = document.IntervalValue < 1 || timeless
                        ? QString()
                        : DurationText(WholeSeconds(document.StartTime, document.StopTime));
    info.Points = QString::number(count);
    document.NotifyInformationChanged();
}

QString InformationPageText(const Document& document) {
    const InformationTexts& info = document.Info;
    QStringList lines;
    lines << PlainCaption(Str::kInfoName) + u' ' + document.Title;
    lines << QString();
    lines << PlainCaption(Str::kInfoRecording);
    lines << QStringLiteral("  ") + info.RecordingKind;
    const auto row = [&lines](int id, const QString& value) {
        lines << QStringLiteral("  %1 %2")
                     .arg(PlainCaption(id).leftJustified(14), value)
                     .trimmed()
                     .prepend(QStringLiteral("  "));
    };
    row(Str::kInfoTime, info.Duration);
    row(Str::kInfoInterval, info.Interval);
    row(Str::kInfoPoints, info.Points);
    row(Str::kInfoStartTime, info.Start);
    row(Str::kInfoStopTime, info.Stop);
    lines << QString();
    lines << PlainCaption(Str::kInfoSummary);
    const QList<QStringList> table = SummaryTable(document);
    QList<qsizetype> widths(5, 0);
    for (const QStringList& cells : table)
        for (int c = 0; c < 5; ++c) widths[c] = std::max(widths[c], cells.at(c).size());
    for (const QStringList& cells : table) {
        QString line = QStringLiteral(" ");
        for (int c = 0; c < 5; ++c) {
            // Names and units to the left, numbers to the right.
            line += u' ';
            line += c < 2 ? cells.at(c).leftJustified(widths[c])
                          : cells.at(c).rightJustified(widths[c]);
        }
        while (line.endsWith(u' ')) line.chop(1);
        lines << line;
    }
    lines << QString();
    lines << PlainCaption(Str::kInfoNotes);
    QString notes = document.Notes;
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString& line : notes.split(u'\n'))
        lines << (line.isEmpty() ? QString() : QStringLiteral("  ") + line);
    return lines.join(u'\n') + u'\n';
}
