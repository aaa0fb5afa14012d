#include "chart/AxisForm.h"

#include <algorithm>
#include <cmath>

#include "base/TextHelpers.h"
#include "base/UserLocale.h"
#include "chart/ChartNavigator.h"
#include "document/Document.h"

namespace {

double UnitsPerValue(int decimals) {
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7};
    return kPowers[std::clamp(decimals, 0, 7)];
}

int ShownDecimals(int decimals) {
    return decimals < 0 ? 2 : std::min(decimals, 7);
}

bool BoundAccepted(const QString& text) {
    const std::optional<double> value = ParseBoundText(text);
    return value && *value >= Document::kLowestScale && *value <= Document::kHighestScale;
}

bool PointAccepted(const QString& text, qint32 count) {
    const std::optional<qint32> point = ParsePointText(text);
    return point && *point >= 1 && *point <= count;
}

}  // namespace

std::optional<double> ParseBoundText(const QString& text) {
    QString number = text.trimmed();
    const QString separator = UserLocale::DecimalSeparator();
    if (!separator.isEmpty() && separator != QStringLiteral("."))
        number.replace(separator, QStringLiteral("."));
    if (number.isEmpty()) return std::nullopt;
    // Only a plain decimal number: sign, digits, one decimal point, exponent.
    for (QChar c : number) {
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<qint32> ParsePointText(const QString& text) {
    const QString number = text.trimmed();
    if (number.isEmpty()) return std::nullopt;
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (!number.at(i).isDigit() && !(i == 0 && (number.at(i) == u'+' || number.at(i) == u'-')))
            return std::nullopt;
    }
    bool ok = false;
    const qint32 value = number.toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString BoundText(double value, int decimals) {
    return FormatDecimals(value, ShownDecimals(decimals));
}

double StepBound(double value, int decimals, bool up) {
    const double perValue = UnitsPerValue(ShownDecimals(decimals));
    const double units = std::round(value * perValue) + (up ? 10.0 : -10.0);
    const double stepped = units / perValue;
    return std::clamp(stepped, static_cast<double>(Document::kLowestScale),
                      static_cast<double>(Document::kHighestScale));
}

std::optional<QString> StepBoundText(const QString& text, int decimals, bool up) {
    const std::optional<double> value = ParseBoundText(text);
    if (!value) return std::nullopt;
    return BoundText(StepBound(*value, decimals, up), decimals);
}

qint32 StepPoint(qint32 point, qint32 count, bool up) {
    return std::clamp(point + (up ? 1 : -1), 1, std::max(count, 1));
}

std::optional<AxisBoxRef> FirstRefusedBox(const AxisEntries& entries, qint32 pointCount) {
    for (int row = 0; row < entries.rows.size(); ++row) {
        const AxisRowEntry& entry = entries.rows.at(row);
        if (entry.autoScale) continue;  // its boxes are disabled
        if (!BoundAccepted(entry.upper)) return AxisBoxRef{AxisBox::Upper, row};
        if (!BoundAccepted(entry.lower)) return AxisBoxRef{AxisBox::Lower, row};
    }
    if (!PointAccepted(entries.firstPoint, pointCount)) return AxisBoxRef{AxisBox::FirstPoint, 0};
    if (!PointAccepted(entries.lastPoint, pointCount)) return AxisBoxRef{AxisBox::LastPoint, 0};
    return std::nullopt;
}

void ApplyAxisEntries(const AxisEntries& entries, Document& document, ChartNavigator& navigator) {
    for (const AxisRowEntry& entry : entries.rows) {
        if (entry.quantity < 0 || entry.quantity >= document.QuantityCount()) continue;
        document.SetAutoScale(entry.quantity, entry.autoScale);
        if (entry.autoScale) continue;
        document.SetScaleValue(false, entry.quantity, ParseBoundText(entry.lower).value_or(0.0));
        document.SetScaleValue(true, entry.quantity, ParseBoundText(entry.upper).value_or(0.0));
    }
    const qint32 first = ParsePointText(entries.firstPoint).value_or(1);
    const qint32 last = ParsePointText(entries.lastPoint).value_or(document.PointCount());
    navigator.SetPoints(first, last);
}
